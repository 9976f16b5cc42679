// Writes UDP datagrams between ports of 127.0.0.1 into a classic pcap file that any
// capture reader opens: raw IPv4 frames (LINKTYPE_RAW) with an IPv4 header whose checksum
// is right and a UDP header without a checksum (zero, which IPv4 allows). One thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>

class PcapWriter {
 public:
  // The largest payload one IPv4 UDP datagram carries.
  static constexpr std::size_t kMaxPayload = 65507;

  // Creates or empties the file and writes its header. This and Write throw
  // std::runtime_error when the file cannot be written.
  explicit PcapWriter(const std::filesystem::path& path);

  // One datagram from 127.0.0.1:fromPort to 127.0.0.1:toPort, seen at `time`. Throws
  // std::length_error for a payload above kMaxPayload.
  void Write(std::chrono::system_clock::time_point time, std::uint16_t fromPort,
             std::uint16_t toPort, std::span<const std::uint8_t> payload);

 private:
  void Put(std::span<const std::uint8_t> bytes);

  std::ofstream file_;
};
