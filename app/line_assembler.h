// Cuts a byte stream read in pieces into lines, keeping at most a set number of bytes
// of the line being read, so input without line breaks cannot make it grow without
// bound. A line longer than the limit is dropped whole, through its line break. One
// reader thread per assembler.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

class LineAssembler {
 public:
  explicit LineAssembler(std::size_t limit) : limit_(limit) {}

  // Hands every line completed by `bytes` (without its '\n') to onLine, in order.
  void Feed(std::string_view bytes, const std::function<void(const std::string&)>& onLine);
  // Lines dropped for their length so far.
  std::size_t Dropped() const { return dropped_; }

 private:
  std::size_t limit_;
  std::string pending_;
  bool overlong_ = false;
  std::size_t dropped_ = 0;
};
