#include "tests/directplay_e2e/wire_run.h"

#include <algorithm>
#include <fstream>
#include <regex>
#include <set>

namespace {

using namespace std::chrono_literals;

// The sound trace as the set of its operations, one per line, so that two runs of one
// scenario compare: without times; without the Doppler loop, which the 250 ms tick plays
// whatever arrives; with the thunder clap's file, which is picked at random, left open.
// The module's own clock (the tick, distance-delayed sounds) interleaves with the
// packets, so the lines are sorted; the log keeps the packets' order.
std::string ComparableTrace(const std::filesystem::path& path) {
  static const std::regex time(R"("t":[0-9.eE+-]+,)");
  static const std::regex thunder(R"(c2thun[0-9][a-z]\.wav)");
  std::vector<std::string> lines;
  std::ifstream trace(path);
  for (std::string line; std::getline(trace, line);) {
    if (line.find("\"doppler.wav\"") != std::string::npos) continue;
    lines.push_back(std::regex_replace(std::regex_replace(line, time, ""), thunder, "c2thun?.wav"));
  }
  std::sort(lines.begin(), lines.end());
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// The log without the start-up steps' lines: the 250 ms tick paces those, so a
// configuration burst that a lossy path delays lands on either side of them.
std::vector<std::string> PacketLines(std::vector<std::string> log) {
  static const std::set<std::string> steps{"Loading barycentrics data...", "Connecting to client...",
                                           "Connected, getting configuration...", "Loading sound files...",
                                           "Ready!"};
  std::erase_if(log, [](const std::string& line) { return steps.contains(line); });
  return log;
}

}  // namespace

std::unique_ptr<ChildProcess> WireRunTest::StartHost(const std::string& scenario, std::uint16_t& port) {
  auto host = std::make_unique<ChildProcess>(
      CONSOLE_SIM, std::vector<std::string>{"--quiet", "--port", "0", "--scenario", scenario}, folder_.string());
  const auto line = host->ReadLine(Clock::now() + 20s);
  const std::string prefix = "Listening on 127.0.0.1:";
  EXPECT_TRUE(line && line->starts_with(prefix)) << line.value_or("(no line)");
  port = line && line->starts_with(prefix) ? static_cast<std::uint16_t>(std::stoi(line->substr(prefix.size()))) : 0;
  return host;
}

std::unique_ptr<ChildProcess> WireRunTest::StartModule(const std::string& trace) {
  return std::make_unique<ChildProcess>(
      SOUNDMODULE, std::vector<std::string>{"--headless", "--audio-out", "null", "--trace", trace}, folder_.string());
}

SessionRecord WireRunTest::RunSession(const std::string& scenario, RelayOptions relayOptions,
                                      const DuringSession& whileReady) {
  SessionRecord record;
  std::vector<std::string> log;
  const auto host = StartHost(scenario, relayOptions.hostPort);
  UdpRelay relay(relayOptions);
  const std::string trace = "trace" + std::to_string(++runs_) + ".jsonl";
  const auto module = StartModule(trace);
  EXPECT_TRUE(ReadUntil(*module, "Ready!", log, 60s)) << module->ErrorOutput();
  if (whileReady) whileReady(relay, relayOptions.hostPort);
  EXPECT_TRUE(ReadUntil(*module, "Closing connection...", log, 120s)) << module->ErrorOutput();
  EXPECT_EQ(module->Wait(Clock::now() + 30s), 0);
  const std::string errors = module->ErrorOutput();
  EXPECT_NE(errors.find("[end] 2"), std::string::npos) << errors;
  EXPECT_EQ(host->Wait(Clock::now() + 30s), 0);
  record.log = PacketLines(std::move(log));
  record.trace = ComparableTrace(folder_ / trace);
  record.faults = relay.Counts();
  return record;
}

std::string WireRunTest::WriteFile(const std::string& name, const std::string& text) {
  std::ofstream(folder_ / name) << text;
  return name;
}
