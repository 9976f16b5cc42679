// The soundmodule program headless against console-sim, both as processes in a folder
// prepared by make-sound-pack: it reaches "Ready!", reacts to the packets in its log and
// its sound trace, and when the simulator ends the session it closes and exits with
// code 0.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "tests/frontends/module_run.h"

namespace {

class EndToEndTest : public ModuleRunTest {};

TEST_F(EndToEndTest, ReachesReadyAndClosesWhenTheSimulatorEndsTheSession) {
  const auto simulator = StartSimulator(SCENARIO);
  ChildProcess module(SOUNDMODULE, {"--link", "tcp", "--headless", "--audio-out", "null"}, folder_.string());
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadUntil(module, "Ready!", lines, std::chrono::seconds(60)))
      << "no Ready! ; stderr: " << module.ErrorOutput();
  const std::vector<std::string> startup{"Loading barycentrics data...", "Connecting to client...",
                                         "Connected, getting configuration...", "Loading sound files...",
                                         "Ready!"};
  auto next = lines.begin();
  for (const std::string& step : startup) {
    next = std::find(next, lines.end(), step);
    EXPECT_NE(next, lines.end()) << "missing or out of order: " << step;
  }

  ASSERT_TRUE(ReadUntil(module, "Closing connection...", lines, std::chrono::seconds(240)))
      << "the module did not close; stderr: " << module.ErrorOutput();
  const auto closing = Clock::now();
  EXPECT_EQ(module.Wait(Clock::now() + std::chrono::seconds(30)), 0);
  const auto pause = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - closing);
  RecordProperty("close_to_exit_ms", static_cast<int>(pause.count()));
  const std::string errors = module.ErrorOutput();
  EXPECT_NE(errors.find("[end] 2"), std::string::npos) << errors;
  EXPECT_EQ(simulator->Wait(Clock::now() + std::chrono::seconds(30)), 0);
}

// One packet of each reaction group, heard in the log and the sound trace.
TEST_F(EndToEndTest, EachGroupOfReactionsShowsInTheLogAndTheTrace) {
  const auto simulator = StartSimulator(REACTIONS_SCENARIO);
  const auto tracePath = folder_ / "trace.jsonl";
  ChildProcess module(SOUNDMODULE,
                      {"--link", "tcp", "--headless", "--audio-out", "null", "--trace", tracePath.string()},
                      folder_.string());
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadUntil(module, "Closing connection...", lines, std::chrono::seconds(120)))
      << "the module did not close; stderr: " << module.ErrorOutput();
  EXPECT_EQ(module.Wait(Clock::now() + std::chrono::seconds(30)), 0);
  const std::vector<std::string> expected{"Our slot number as assigned:  P5V2T3",
                                          "Client docked to port 4...",
                                          "Ready!",
                                          "Client undocked...",
                                          "Computer phrase 1...",
                                          "In transit!",
                                          "Weapon launched!",
                                          "Weapon detected!",
                                          "Explosion!  Distance: 0.200",
                                          "Dock announcement 3...",
                                          "Lightning!  Distance: 0.500  Intensity: -1000.000",
                                          "Precipitation intensity changed to 13",
                                          "Hull ionization detected!",
                                          "Incoming chat message...",
                                          "There was a disturbance in the cargo bay...",
                                          "Touchdown!",
                                          "Self destructed!",
                                          "Transferred to slot 3",
                                          "Propulsion shut down..."};
  auto next = lines.begin();
  for (const std::string& line : expected) {
    next = std::find(next, lines.end(), line);
    EXPECT_NE(next, lines.end()) << "missing or out of order: " << line;
    if (next == lines.end()) next = lines.begin();
  }

  std::ifstream trace(tracePath);
  std::string traced((std::istreambuf_iterator<char>(trace)), std::istreambuf_iterator<char>());
  for (const char* entry :
       {R"("op":"create","file":"AlienFreighter.wav","flags":32928)",
        R"("op":"play","file":"startup40.wav")",
        R"("op":"play","file":"AlienFreighter.wav","priority":0,"flags":1,"volume":-800,"frequency":9100)",
        R"("op":"play","file":"RELEASE.wav")",
        R"("op":"play","file":"GEARDOWN.wav")",
        R"("op":"play","file":"CHIME_A.wav")",
        R"("op":"play","file":"TURGRND3.wav")",
        R"("op":"play","file":"voxen-hid.wav")",
        R"("op":"play","file":"mining.wav","priority":0,"flags":1,"volume":-1625)",
        R"("op":"play","file":"beep32.wav")",
        R"("op":"play","file":"voxen-tiaditcb.wav")",
        R"("op":"play","file":"touchlb.wav")",
        R"("op":"play","file":"37.wav")",
        R"("op":"delete","file":"AlienFreighter.wav")",
        R"("op":"create","file":"AlienEng1.wav")",
        R"("op":"stop","file":"AlienEng1.wav")",
        R"("op":"play","file":"voxen-amc.wav")",
        R"("op":"play","file":"c5wind3.wav")",
        R"("op":"play","file":"GEARAERO.wav")",
        R"("op":"play","file":"fuzerfire.wav")",
        R"("op":"play","file":"sinkerLaunch.wav")",
        R"("op":"play","file":"sinkerhit.wav")",
        R"("op":"play","file":"doppler.wav")",
        R"("op":"play","file":"c2prec4.wav")"}) {
    EXPECT_NE(traced.find(entry), std::string::npos) << "not traced: " << entry;
  }
  EXPECT_NE(traced.find(R"("op":"play","file":"c2thun)"), std::string::npos) << "no thunder";
  EXPECT_EQ(simulator->Wait(Clock::now() + std::chrono::seconds(30)), 0);
}

}  // namespace
