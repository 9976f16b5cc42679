// Little-endian reading and writing of the frames' fixed-size fields. A reader never
// passes the end of its bytes: a read that does not fit fails and reads nothing.
// Pure; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace dpnet {

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  // Reads an unsigned integer of sizeof(T) bytes; false (nothing read) past the end.
  template <typename T>
  bool Read(T& value) {
    if (bytes_.size() - used_ < sizeof(T)) return false;
    value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
      value = static_cast<T>(value | static_cast<T>(static_cast<T>(bytes_[used_ + i]) << (8 * i)));
    }
    used_ += sizeof(T);
    return true;
  }
  std::span<const std::uint8_t> Rest() const { return bytes_.subspan(used_); }
  std::size_t Left() const { return bytes_.size() - used_; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t used_ = 0;
};

template <typename T>
void PutLittleEndian(std::vector<std::uint8_t>& out, T value) {
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
}

}  // namespace dpnet
