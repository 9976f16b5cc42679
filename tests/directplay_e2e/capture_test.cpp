// A real session between the module and console-sim, captured by the relay and read by
// an independent decoder of the protocol (tshark's dpnet): nothing malformed, and the
// handshake and acknowledgements as the protocol has them.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "tests/directplay_e2e/wire_run.h"

namespace {

constexpr const char* kShortSession =
    "configuration:\n"
    "event config-complete\n"
    "flight:\n"
    "@1 chat from=1\n"
    "@2 end\n";

struct Frame {
  std::string from, command, opcode, version, session, received, malformed, expert;
};

std::vector<Frame> Decode(const std::vector<std::string>& lines) {
  std::vector<Frame> frames;
  for (const std::string& line : lines) {
    std::istringstream fields(line);
    Frame f;
    for (std::string* field : {&f.from, &f.command, &f.opcode, &f.version, &f.session, &f.received,
                               &f.malformed, &f.expert}) {
      std::getline(fields, *field, '|');
    }
    frames.push_back(f);
  }
  return frames;
}

class CaptureTest : public WireRunTest {};

TEST_F(CaptureTest, TsharkDecodesTheHandshakeAndAcknowledgementsAndNothingMalformed) {
  RelayOptions options;
  options.pcap = folder_ / "session.pcap";
  RunSession(WriteFile("short.scenario", kShortSession), options);

  std::vector<std::string> lines;
  ASSERT_EQ(RunToEnd(TSHARK,
                     {"-r", "session.pcap", "-d", "udp.port==2400,dpnet", "-T", "fields", "-E", "separator=|",
                      "-e", "udp.srcport", "-e", "dpnet.command", "-e", "dpnet.cframe.control", "-e",
                      "dpnet.cframe.protocol", "-e", "dpnet.cframe.session", "-e", "dpnet.cframe.nrcv", "-e",
                      "_ws.malformed", "-e", "_ws.expert"},
                     folder_.string(), &lines),
            0);
  const std::vector<Frame> frames = Decode(lines);
  ASSERT_GT(frames.size(), 6u);
  std::set<std::string> seen;  // "who command opcode" of the command frames
  std::string session;
  for (const Frame& f : frames) {
    SCOPED_TRACE(f.from + " " + f.command + " " + f.opcode);
    EXPECT_FALSE(f.command.empty()) << "not decoded";
    EXPECT_EQ(f.malformed + f.expert, "");
    const std::string who = f.from == "2400" ? "host" : "module";
    if (f.opcode.empty()) continue;
    seen.insert(who + " " + f.command + " " + f.opcode);
    if (f.opcode == "0x01") {
      EXPECT_EQ(f.version, "0x00010005");
      session = f.session;
    }
    if (f.opcode == "0x02") {
      EXPECT_EQ(f.session, session) << "not the CONNECT's session";
    }
    if (f.opcode == "0x06") {
      EXPECT_FALSE(f.received.empty());
    }
  }
  EXPECT_FALSE(session.empty());
  for (const char* expected : {"module 0x88 0x01", "host 0x88 0x02", "module 0x80 0x02"}) {
    EXPECT_TRUE(seen.contains(expected)) << expected;
  }
  EXPECT_TRUE(seen.contains("module 0x80 0x06") || seen.contains("host 0x80 0x06")) << "no SACK";
}

}  // namespace
