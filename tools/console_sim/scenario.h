// Scenarios: text a person writes, turned into the configuration burst and the timed
// packets of a flight. See SCENARIOS.md for the format. Pure; any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace console_sim {

struct ScheduledPacket {
  double time = 0.0;  // seconds from the start of the flight (or from now, typed lines)
  std::vector<std::uint8_t> payload;
  int line = 0;
};

struct Scenario {
  // Sent at once, in this order, in answer to the configuration request.
  std::vector<std::vector<std::uint8_t>> configuration;
  // In time order; packets of equal time keep the order of the text.
  std::vector<ScheduledPacket> flight;
  // When the session is ended: the `end` line, else the last packet's time.
  double endTime = 0.0;
};

struct ScenarioError {
  int line = 0;
  std::string message;
};

struct ParsedScenario {
  Scenario scenario;
  std::vector<ScenarioError> errors;  // every bad line, in order; empty when good
};

ParsedScenario ParseScenario(std::string_view text);

// One line typed while the flight runs: its packets with times counted from now. A
// time prefix delays it; `end`, sections and errors give no packets and set `error`.
std::vector<ScheduledPacket> ParseTypedLine(std::string_view line, std::string& error);

// "line N: message".
std::string Describe(const ScenarioError& error);

}  // namespace console_sim
