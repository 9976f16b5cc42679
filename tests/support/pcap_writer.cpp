#include "tests/support/pcap_writer.h"

#include <stdexcept>
#include <vector>

namespace {

constexpr std::uint32_t kLinkTypeRaw = 101;  // the frame starts with its IPv4 header
constexpr std::size_t kIpHeaderSize = 20;
constexpr std::size_t kUdpHeaderSize = 8;
constexpr std::uint8_t kLoopback[4] = {127, 0, 0, 1};

class Bytes {
 public:
  void Little32(std::uint32_t value) {
    Little16(static_cast<std::uint16_t>(value));
    Little16(static_cast<std::uint16_t>(value >> 16));
  }
  void Little16(std::uint16_t value) {
    bytes_.push_back(static_cast<std::uint8_t>(value));
    bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
  }
  void Big16(std::uint16_t value) {
    bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
    bytes_.push_back(static_cast<std::uint8_t>(value));
  }
  void Append(std::span<const std::uint8_t> more) { bytes_.insert(bytes_.end(), more.begin(), more.end()); }
  std::vector<std::uint8_t>& Vector() { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

// The internet checksum: the ones' complement of the ones' complement sum of 16-bit words.
std::uint16_t InternetChecksum(std::span<const std::uint8_t> header) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i + 1 < header.size(); i += 2) {
    sum += static_cast<std::uint32_t>(header[i] << 8 | header[i + 1]);
  }
  while (sum > 0xFFFF) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<std::uint16_t>(~sum);
}

std::vector<std::uint8_t> IpUdpFrame(std::uint16_t fromPort, std::uint16_t toPort,
                                     std::span<const std::uint8_t> payload) {
  const auto udpLength = static_cast<std::uint16_t>(kUdpHeaderSize + payload.size());
  Bytes frame;
  frame.Append(std::vector<std::uint8_t>{0x45, 0});  // version 4, 5 words of header
  frame.Big16(static_cast<std::uint16_t>(kIpHeaderSize + udpLength));
  frame.Append(std::vector<std::uint8_t>{0, 0, 0x40, 0, 64, 17, 0, 0});  // DF, TTL 64, UDP
  frame.Append(kLoopback);
  frame.Append(kLoopback);
  const std::uint16_t checksum = InternetChecksum(std::span(frame.Vector()).first(kIpHeaderSize));
  frame.Vector()[10] = static_cast<std::uint8_t>(checksum >> 8);
  frame.Vector()[11] = static_cast<std::uint8_t>(checksum);
  frame.Big16(fromPort);
  frame.Big16(toPort);
  frame.Big16(udpLength);
  frame.Big16(0);  // no checksum
  frame.Append(payload);
  return std::move(frame.Vector());
}

}  // namespace

PcapWriter::PcapWriter(const std::filesystem::path& path)
    : file_(path, std::ios::binary | std::ios::trunc) {
  Bytes header;
  header.Little32(0xA1B2C3D4);  // microsecond timestamps
  header.Little16(2);
  header.Little16(4);
  header.Little32(0);  // times are UTC
  header.Little32(0);
  header.Little32(65535);  // snapshot length: every frame whole
  header.Little32(kLinkTypeRaw);
  Put(header.Vector());
}

void PcapWriter::Write(std::chrono::system_clock::time_point time, std::uint16_t fromPort,
                       std::uint16_t toPort, std::span<const std::uint8_t> payload) {
  if (payload.size() > kMaxPayload) throw std::length_error("a UDP payload above 65507 bytes");
  const std::vector<std::uint8_t> frame = IpUdpFrame(fromPort, toPort, payload);
  const auto micros =
      std::chrono::duration_cast<std::chrono::microseconds>(time.time_since_epoch()).count();
  Bytes record;
  record.Little32(static_cast<std::uint32_t>(micros / 1000000));
  record.Little32(static_cast<std::uint32_t>(micros % 1000000));
  record.Little32(static_cast<std::uint32_t>(frame.size()));  // captured whole
  record.Little32(static_cast<std::uint32_t>(frame.size()));
  record.Append(frame);
  Put(record.Vector());
}

void PcapWriter::Put(std::span<const std::uint8_t> bytes) {
  file_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  file_.flush();
  if (!file_) throw std::runtime_error("the capture file cannot be written");
}
