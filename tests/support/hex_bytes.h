// Bytes written as a hex dump ("7F 00 01 ..."), as protocol documents print frames.
// Test thread.
#pragma once

#include <cstdint>
#include <sstream>
#include <string_view>
#include <vector>

inline std::vector<std::uint8_t> HexBytes(std::string_view dump) {
  std::vector<std::uint8_t> bytes;
  std::istringstream in{std::string(dump)};
  unsigned value = 0;
  while (in >> std::hex >> value) bytes.push_back(static_cast<std::uint8_t>(value));
  return bytes;
}
