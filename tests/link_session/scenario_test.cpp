// The scenario language of console-sim: the bytes each line makes, the timing, and
// every error reported with its line number.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tools/console_sim/demo_scenario.h"
#include "tools/console_sim/options.h"
#include "tools/console_sim/packet_text.h"
#include "tools/console_sim/scenario.h"

namespace {

using namespace console_sim;
using Bytes = std::vector<std::uint8_t>;

float FloatAt(const Bytes& payload, std::size_t offset) {
  float value = 0;
  std::memcpy(&value, payload.data() + offset, sizeof value);
  return value;
}

Bytes OnePacket(const std::string& line) {
  const ParsedScenario parsed = ParseScenario(line);
  EXPECT_TRUE(parsed.errors.empty()) << (parsed.errors.empty() ? "" : Describe(parsed.errors[0]));
  EXPECT_EQ(parsed.scenario.flight.size(), 1u);
  return parsed.scenario.flight.empty() ? Bytes{} : parsed.scenario.flight[0].payload;
}

TEST(ScenarioPacketTest, EventFieldsLandAtTheirOffsets) {
  const Bytes event = OnePacket("event dock index=9 reserved=258 a=4 b=1 c=-0.5 d=1e3");
  ASSERT_EQ(event.size(), 20u);
  EXPECT_EQ(event[0], 2);
  EXPECT_EQ(event[1], 9);
  EXPECT_EQ(event[2], 2);
  EXPECT_EQ(event[3], 1);
  EXPECT_EQ(FloatAt(event, 4), 4.0f);
  EXPECT_EQ(FloatAt(event, 8), 1.0f);
  EXPECT_EQ(FloatAt(event, 12), -0.5f);
  EXPECT_EQ(FloatAt(event, 16), 1000.0f);
  EXPECT_EQ(OnePacket("event 14 c=3")[0], 14);

  const Bytes ship = OnePacket("ship engine c=-500 d=8000");
  EXPECT_EQ(ship[0], 10);
  EXPECT_EQ(FloatAt(ship, 4), 3.0f);
  EXPECT_EQ(FloatAt(OnePacket("ship 26"), 4), 26.0f);
}

TEST(ScenarioPacketTest, StateWeaponAndNoticeFields) {
  const Bytes state = OnePacket("state slot=200 pos=2940,1.5,-2 vel=0.1,0,0 raw@60=abcd");
  ASSERT_EQ(state.size(), 64u);
  EXPECT_EQ(state[0], 200);
  EXPECT_EQ(FloatAt(state, 8), 1.5f);
  EXPECT_EQ(FloatAt(state, 16), 0.1f);
  EXPECT_EQ(state[56], 0xFF);  // ref -1 unless given
  EXPECT_EQ(state[60], 0xAB);
  EXPECT_EQ(state[61], 0xCD);
  EXPECT_EQ(OnePacket("state slot=1 ref=-128")[56], 0x80);

  const Bytes weapon = OnePacket("weapon kind=explosion weapon=sinker pos=1,2,3 launcher=513 target=65535");
  ASSERT_EQ(weapon.size(), 36u);
  EXPECT_EQ(FloatAt(weapon, 12), 3.0f);
  EXPECT_EQ(weapon[30], 1);
  EXPECT_EQ(weapon[31], 2);
  EXPECT_EQ(weapon[32], 0xFF);
  EXPECT_EQ(weapon[33], 0xFF);
  EXPECT_EQ(weapon[34], 3);
  EXPECT_EQ(weapon[35], 2);

  const Bytes roster = OnePacket("roster slot=5 text=\"ABC123,Name, 3,0,0,0,0,4711,0,0,rest\"");
  ASSERT_EQ(roster.size(), 82u);
  EXPECT_EQ(roster[0], 9);
  EXPECT_EQ(roster[1], 5);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&roster[2])), "ABC123,Name, 3,0,0,0,0,4711,0,0,rest");
  EXPECT_EQ(roster[81], 0);
  EXPECT_EQ(OnePacket("chat from=4")[1], 4);
  EXPECT_EQ(OnePacket("cargo kind=2")[0], 2);
  // A text of the full 80 characters has no terminator, as the packet allows.
  EXPECT_EQ(OnePacket("notice subtype=9 text=" + std::string(80, 'x'))[81], 'x');
}

TEST(ScenarioTimingTest, TimesRepeatsAndMotion) {
  const ParsedScenario parsed = ParseScenario(
      "@2 chat from=1\n"
      "+0.5 chat from=2          # 2.5\n"
      "chat from=3               # still 2.5, after the line above\n"
      "@1 repeat 3 every 0.25: ship touchdown\n"
      "@10 move slot=4 from=0,0,0 to=10,0,0 over=2 every=0.5\n"
      "@20 end\n");
  ASSERT_TRUE(parsed.errors.empty());
  const auto& flight = parsed.scenario.flight;
  ASSERT_EQ(flight.size(), 3u + 3u + 5u);
  std::vector<double> times;
  for (const ScheduledPacket& packet : flight) {
    times.push_back(packet.time);
  }
  EXPECT_EQ(times, (std::vector<double>{1, 1.25, 1.5, 2, 2.5, 2.5, 10, 10.5, 11, 11.5, 12}));
  EXPECT_EQ(flight[4].payload[1], 2);
  EXPECT_EQ(flight[5].payload[1], 3);
  EXPECT_EQ(FloatAt(flight[6].payload, 4), 0.0f);
  EXPECT_EQ(FloatAt(flight[8].payload, 4), 5.0f);
  EXPECT_EQ(FloatAt(flight[10].payload, 4), 10.0f);
  EXPECT_EQ(FloatAt(flight[8].payload, 16), 5.0f);  // the velocity of the motion
  EXPECT_EQ(flight[8].line, 5);
  EXPECT_EQ(parsed.scenario.endTime, 20.0);

  const ParsedScenario given = ParseScenario("move slot=1 from=0,0,0 to=1,0,0 over=1 vel=7,7,7");
  ASSERT_TRUE(given.errors.empty());
  EXPECT_EQ(given.scenario.flight.size(), 5u);  // every 0.25 s unless told
  EXPECT_EQ(FloatAt(given.scenario.flight[2].payload, 16), 7.0f);
  EXPECT_EQ(given.scenario.endTime, 1.0);
}

TEST(ScenarioTimingTest, ConfigurationBurstKeepsItsOrder) {
  const ParsedScenario parsed = ParseScenario(
      "configuration:\n event slot index=3 b=3 d=7\n roster slot=3 text=\"A,B,3,0,0,0,0,9,0,0,x\"\n"
      " event config-complete\nflight:\n@1 chat from=1\n");
  ASSERT_TRUE(parsed.errors.empty());
  ASSERT_EQ(parsed.scenario.configuration.size(), 3u);
  EXPECT_EQ(parsed.scenario.configuration[0][0], 0);
  EXPECT_EQ(parsed.scenario.configuration[1].size(), 82u);
  EXPECT_EQ(parsed.scenario.configuration[2][0], 3);
  EXPECT_EQ(parsed.scenario.flight.size(), 1u);
}

TEST(ScenarioErrorTest, EveryBadLineIsReportedWithItsNumber) {
  const std::vector<std::string> bad = {
      "launch missiles",                      // unknown command
      "event",                                // no code
      "event warp",                           // unknown code name
      "event 256",                            // code out of range
      "ship engine volume=3",                 // no such field
      "ship engine c=1 c=2",                  // field twice
      "state slot=-1",                        // below range
      "state pos=1,2",                        // two numbers for a vector
      "state pos=1,2,3,4",                    // four
      "weapon launcher=65536",                // above u16
      "weapon kind=fire",                     // unknown name
      "event dock a=nan",                     // not a finite number
      "notice text=" + std::string(81, 'x'),  // longer than the field
      "chat from=1 \"open",                   // quote left open
      "state raw@63=abcd",                    // past the end
      "state raw@1=abc",                      // odd hex
      "chat index",                           // not name=value
      "@-1 chat from=1",                      // negative time
      "@5",                                   // time without command
      "repeat 0 every 1: chat from=1",        // no repeats
      "repeat 2 each 1: chat from=1",         // malformed repeat
      "repeat 200000 every 1: chat from=1",   // too many packets
      "move slot=1 from=0,0,0 to=1,1,1",      // no duration
      "move slot=1 from=0,0,0 to=1,1,1 over=1 every=0",
      "move slot=1 from=0,0,0 to=1,1,1 over=1 pos=1,1,1",
      "end now",
  };
  std::string text = "chat from=1\n";
  for (const std::string& line : bad) {
    text += line + "\n# a comment between\n";
  }
  text += "configuration:\n@1 chat from=2\nmove slot=1 from=0,0,0 to=1,1,1 over=1\n";
  text += "flight:\nend\nend\n";
  const ParsedScenario parsed = ParseScenario(text);
  ASSERT_EQ(parsed.errors.size(), bad.size() + 3);
  for (std::size_t i = 0; i < bad.size(); ++i) {
    EXPECT_EQ(parsed.errors[i].line, static_cast<int>(2 + 2 * i)) << bad[i];
    EXPECT_FALSE(parsed.errors[i].message.empty());
  }
  const int afterBad = static_cast<int>(2 + 2 * bad.size());
  EXPECT_EQ(parsed.errors[bad.size()].line, afterBad + 1);      // time in the burst
  EXPECT_EQ(parsed.errors[bad.size() + 1].line, afterBad + 2);  // move in the burst
  EXPECT_EQ(parsed.errors[bad.size() + 2].line, afterBad + 5);  // second end
  EXPECT_EQ(Describe(parsed.errors[0]), "line 2: unknown command: launch");
}

// Each line stays under its own limit, but together they would hold the reader's
// memory without bound: the flight stops taking packets at a million.
TEST(ScenarioErrorTest, AFlightOfMoreThanAMillionPacketsIsRefusedLineByLine) {
  std::string text;
  for (int i = 0; i < 12; ++i) {
    text += "repeat 100000 every 0.001: chat from=1\n";
  }
  const ParsedScenario parsed = ParseScenario(text);
  EXPECT_EQ(parsed.scenario.flight.size(), 1000000u);
  ASSERT_EQ(parsed.errors.size(), 2u);
  EXPECT_EQ(Describe(parsed.errors[0]), "line 11: the flight makes more than 1000000 packets");
  EXPECT_EQ(parsed.errors[1].line, 12);
}

TEST(ScenarioTextTest, PrintedPacketsReadBackAsTheSameBytes) {
  const std::vector<std::string> lines = {
      "ship lightning b=3.5 c=-600",
      "state slot=3 pos=2940.2,0.3,-7 vel=0.1,0,1e-05 ref=-2 raw@1=0102",
      "weapon kind=launch weapon=fuzer launcher=1004 header=77 spare=9",
      "roster slot=4 text=\"KES004,Kestrel,1,0,0,0,0,1004,0,0,wing\"",
  };
  std::vector<Bytes> payloads;
  for (const std::string& line : lines) {
    payloads.push_back(OnePacket(line));
  }
  // Payloads of no packet kind's size, as a recorded session may hold.
  for (const std::size_t size : {0u, 5u, 65u, 65536u}) {
    Bytes odd(size);
    for (std::size_t i = 0; i < size; ++i) odd[i] = static_cast<std::uint8_t>(i * 37 + 11);
    payloads.push_back(odd);
  }
  for (const Bytes& payload : payloads) {
    std::string error;
    const auto typed = ParseTypedLine(DescribePacket(payload), error);
    ASSERT_TRUE(error.empty()) << DescribePacket(payload) << ": " << error;
    ASSERT_EQ(typed.size(), 1u);
    EXPECT_EQ(typed[0].payload, payload) << DescribePacket(payload);
  }
  EXPECT_EQ(DescribePacket(OnePacket("ship engine c=-500")).substr(0, 20), "event code=10 index=");
  EXPECT_NE(DescribePacket(OnePacket("ship engine c=-500")).find("# ship engine"), std::string::npos);
}

TEST(ScenarioTextTest, TypedLinesAreSentNowOrAfterTheirDelay) {
  std::string error;
  EXPECT_EQ(ParseTypedLine("chat from=3", error).at(0).time, 0.0);
  EXPECT_EQ(ParseTypedLine("+2 chat from=3", error).at(0).time, 2.0);
  EXPECT_TRUE(ParseTypedLine("end", error).empty());
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(ParseTypedLine("state slot=999", error).empty());
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(ParseTypedLine("   # nothing", error).empty());
  EXPECT_TRUE(error.empty());
}

TEST(DemoScenarioTest, ConfiguresThenFliesForAboutThreeMinutesWithEveryPacketKind) {
  const ParsedScenario demo = ParseScenario(DemoScenario());
  ASSERT_TRUE(demo.errors.empty()) << Describe(demo.errors[0]);
  const auto& burst = demo.scenario.configuration;
  ASSERT_GE(burst.size(), 2u);
  EXPECT_EQ(burst.front().size(), 20u);
  EXPECT_EQ(burst.front()[0], 0);  // slot assignment first
  const float shipType = FloatAt(burst.front(), 8);
  EXPECT_TRUE(shipType == 1 || shipType == 3 || shipType == 4 || shipType == 5 || shipType == 6);
  EXPECT_EQ(burst.back()[0], 3);  // configuration complete last
  EXPECT_GE(demo.scenario.endTime, 150.0);
  EXPECT_LE(demo.scenario.endTime, 240.0);
  std::set<std::size_t> sizes;
  for (const ScheduledPacket& packet : demo.scenario.flight) {
    sizes.insert(packet.payload.size());
  }
  EXPECT_EQ(sizes, (std::set<std::size_t>{20, 36, 64, 82}));
}

TEST(OptionsTest, PortScenarioAndQuiet) {
  const std::vector<std::string> good = {"--port", "2401", "--scenario", "f.txt", "--quiet"};
  const OptionsResult parsed = ParseOptions(good);
  EXPECT_TRUE(parsed.error.empty());
  EXPECT_EQ(parsed.options.port, 2401);
  EXPECT_EQ(parsed.options.scenarioPath, "f.txt");
  EXPECT_TRUE(parsed.options.quiet);
  EXPECT_EQ(ParseOptions(std::vector<std::string>{}).options.port, 2400);
  EXPECT_EQ(ParseOptions(std::vector<std::string>{}).options.link, LinkKind::kDirectPlay);
  EXPECT_EQ(ParseOptions(std::vector<std::string>{"--link", "tcp"}).options.link, LinkKind::kTcp);
  for (const auto& bad : std::vector<std::vector<std::string>>{{"--port", "-1"},
                                                               {"--port", "65536"},
                                                               {"--port", "x"},
                                                               {"--port"},
                                                               {"--loud"},
                                                               {"--link", "udp"},
                                                               {"--link"}}) {
    EXPECT_FALSE(ParseOptions(bad).error.empty()) << bad[0];
  }
}

}  // namespace
