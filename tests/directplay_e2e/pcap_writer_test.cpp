// The capture writer against an independent reader: tshark finds every datagram with its
// time, addresses, ports, lengths and bytes, and the IPv4 header checksum right.
#include "tests/support/pcap_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "tests/directplay/test_seed.h"
#include "tests/frontends/child_process.h"
#include "tests/support/scratch_folder.h"

namespace {

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  char digits[3];
  for (const std::uint8_t byte : bytes) {
    std::snprintf(digits, sizeof digits, "%02x", byte);
    text += digits;
  }
  return text;
}

TEST(PcapWriterTest, TsharkReadsEveryDatagramAsWritten) {
  const std::uint32_t seed = TestSeed();
  SCOPED_TRACE(SeedTrace(seed));
  std::mt19937 random(seed);
  ScratchFolder folder;
  std::vector<std::string> expected;
  {
    PcapWriter writer(folder.Path() / "capture.pcap");
    for (int i = 0; i < 4; ++i) {
      std::vector<std::uint8_t> payload(i == 0 ? 0 : random() % 300);
      for (auto& byte : payload) byte = static_cast<std::uint8_t>(random());
      const auto port = static_cast<std::uint16_t>(40000 + random() % 20000);
      const std::chrono::system_clock::time_point time{std::chrono::microseconds(1765400000123456 + i * 1000001)};
      writer.Write(time, port, 40000, payload);
      char line[128];
      std::snprintf(line, sizeof line, "%d.%06d000,127.0.0.1,127.0.0.1,%d,40000,%zu,%zu,1,", 1765400000 + i,
                    123456 + i, port, 28 + payload.size(), 8 + payload.size());
      expected.push_back(line + Hex(payload));
    }
  }
  std::vector<std::string> lines;
  ASSERT_EQ(RunToEnd(TSHARK,
                     {"-r", "capture.pcap", "-o", "ip.check_checksum:TRUE", "-T", "fields", "-E",
                      "separator=,", "-e", "frame.time_epoch", "-e", "ip.src", "-e", "ip.dst", "-e",
                      "udp.srcport", "-e", "udp.dstport", "-e", "ip.len", "-e", "udp.length", "-e",
                      "ip.checksum.status", "-e", "data"},
                     folder.Path().string(), &lines),
            0);
  EXPECT_EQ(lines, expected);
}

}  // namespace
