#include "tools/console_sim/scenario.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>

#include "tools/console_sim/packet_command.h"
#include "tools/console_sim/packet_layout.h"
#include "tools/console_sim/scenario_tokens.h"

namespace console_sim {

namespace {

using Words = std::span<const std::string>;

// No single line may expand to more packets than this, nor a whole flight to more than
// the second: the reader holds every packet of the flight at once.
constexpr double kMaxPacketsPerLine = 100000;
constexpr std::size_t kMaxFlightPackets = 1000000;
constexpr double kDefaultStep = 0.25;

struct LineContext {
  double time = 0.0;
  int line = 0;
};

// The packets of one command line, or why there are none.
struct Expansion {
  std::vector<ScheduledPacket> packets;
  std::string error;
};

Expansion Single(Words words, const LineContext& at) {
  CommandResult built = BuildPacket(words);
  if (!built.error.empty()) {
    return {{}, built.error};
  }
  return {{ScheduledPacket{at.time, std::move(built.payload), at.line}}, {}};
}

// Takes `key=value` out of the words of a move and reads its value; the rest stay for
// the state packet. Nullopt when the key is missing or its value unreadable.
template <typename Reader>
auto Take(std::vector<std::string>& words, std::string_view key, Reader read)
    -> decltype(read(std::string_view())) {
  const std::string prefix = std::string(key) + "=";
  const auto found = std::find_if(words.begin(), words.end(),
                                  [&](const std::string& w) { return w.starts_with(prefix); });
  if (found == words.end()) {
    return std::nullopt;
  }
  auto value = read(std::string_view(*found).substr(prefix.size()));
  words.erase(found);
  return value;
}

bool Has(const std::vector<std::string>& words, std::string_view prefix) {
  return std::any_of(words.begin(), words.end(),
                     [&](const std::string& w) { return w.starts_with(prefix); });
}

// move from=X,Y,Z to=X,Y,Z over=S [every=S] [state fields]: one state packet per step,
// the position going in a straight line, the velocity that of the motion unless given.
Expansion Move(Words words, const LineContext& at) {
  std::vector<std::string> rest(words.begin() + 1, words.end());
  const std::optional<std::vector<float>> from = Take(rest, "from", ReadVector);
  const std::optional<std::vector<float>> to = Take(rest, "to", ReadVector);
  const std::optional<double> over = Take(rest, "over", ReadNumber);
  const std::optional<double> every =
      Has(rest, "every=") ? Take(rest, "every", ReadNumber) : kDefaultStep;
  if (!from || !to || !over || *over <= 0 || !every || *every <= 0) {
    return {{}, "move needs from=x,y,z to=x,y,z over=seconds (above 0) and every=seconds (above 0)"};
  }
  if (Has(rest, "pos=")) {
    return {{}, "move sets pos itself"};
  }
  if (*over / *every > kMaxPacketsPerLine) {
    return {{}, "move makes too many packets; use a larger every="};
  }
  const bool velocityGiven = Has(rest, "vel=");
  rest.insert(rest.begin(), "state");
  CommandResult base = BuildPacket(rest);
  if (!base.error.empty()) {
    return {{}, base.error};
  }
  const Field& pos = *FindField(StateLayout(), "pos");
  const Field& vel = *FindField(StateLayout(), "vel");
  std::vector<float> velocity(3);
  for (std::size_t i = 0; i < 3; ++i) {
    velocity[i] = static_cast<float>(((*to)[i] - (*from)[i]) / *over);
  }
  Expansion expansion;
  const auto steps = static_cast<int>(std::floor(*over / *every + 1e-9));
  for (int step = 0; step <= steps; ++step) {
    const double t = std::min(step * *every, *over);
    std::vector<float> position(3);
    for (std::size_t i = 0; i < 3; ++i) {
      position[i] = static_cast<float>((*from)[i] + ((*to)[i] - (*from)[i]) * (t / *over));
    }
    std::vector<std::uint8_t> payload = base.payload;
    StoreFloats(payload, pos, position);
    if (!velocityGiven) {
      StoreFloats(payload, vel, velocity);
    }
    expansion.packets.push_back({at.time + t, std::move(payload), at.line});
  }
  return expansion;
}

Expansion Command(Words words, const LineContext& at);

// repeat COUNT every SECONDS: COMMAND
Expansion Repeat(Words words, const LineContext& at) {
  const char* usage = "repeat needs: repeat COUNT every SECONDS: command";
  if (words.size() < 5 || words[2] != "every") {
    return {{}, usage};
  }
  std::string step = words[3];
  std::size_t commandStart = 4;
  if (step.ends_with(':')) {
    step.pop_back();
  } else if (words[4] == ":") {
    commandStart = 5;
  } else {
    return {{}, usage};
  }
  const std::optional<std::int64_t> count = ReadInteger(words[1]);
  const std::optional<double> every = ReadNumber(step);
  if (!count || *count < 1 || !every || *every <= 0 || commandStart >= words.size()) {
    return {{}, usage};
  }
  const Expansion once = Command(words.subspan(commandStart), at);
  if (!once.error.empty()) {
    return once;
  }
  if (static_cast<double>(*count) * static_cast<double>(once.packets.size()) > kMaxPacketsPerLine) {
    return {{}, "repeat makes too many packets"};
  }
  Expansion expansion;
  for (std::int64_t i = 0; i < *count; ++i) {
    for (const ScheduledPacket& packet : once.packets) {
      expansion.packets.push_back(
          {packet.time + static_cast<double>(i) * *every, packet.payload, packet.line});
    }
  }
  return expansion;
}

Expansion Command(Words words, const LineContext& at) {
  if (words[0] == "repeat") {
    return Repeat(words, at);
  }
  if (words[0] == "move") {
    return Move(words, at);
  }
  return Single(words, at);
}

// Reads an `@seconds` or `+seconds` prefix into `time`; false with an error if bad.
bool ReadTimePrefix(Words& words, double previous, double& time, std::string& error) {
  const std::string& first = words[0];
  if (first.empty() || (first[0] != '@' && first[0] != '+')) {
    time = previous;
    return true;
  }
  const std::optional<double> value = ReadNumber(std::string_view(first).substr(1));
  if (!value || *value < 0) {
    error = "bad time: " + first + " (write @SECONDS or +SECONDS)";
    return false;
  }
  time = first[0] == '@' ? *value : previous + *value;
  words = words.subspan(1);
  if (words.empty()) {
    error = "a time needs a command after it";
    return false;
  }
  return true;
}

enum class Section { kConfiguration, kFlight };

class ScenarioReader {
 public:
  void Line(std::string_view text, int number) {
    const std::optional<std::vector<std::string>> split = SplitWords(text);
    if (!split) {
      Fail(number, "a quote is not closed");
      return;
    }
    if (split->empty()) {
      return;
    }
    Words words = *split;
    if (words.size() == 1 && (words[0] == "configuration:" || words[0] == "flight:")) {
      section_ = words[0] == "flight:" ? Section::kFlight : Section::kConfiguration;
      return;
    }
    if (section_ == Section::kConfiguration) {
      Configuration(words, number);
    } else {
      Flight(words, number);
    }
  }

  ParsedScenario Finish() {
    std::stable_sort(parsed_.scenario.flight.begin(), parsed_.scenario.flight.end(),
                     [](const ScheduledPacket& a, const ScheduledPacket& b) { return a.time < b.time; });
    double last = end_.value_or(0.0);
    if (!parsed_.scenario.flight.empty()) {
      last = std::max(last, parsed_.scenario.flight.back().time);
    }
    parsed_.scenario.endTime = last;
    return std::move(parsed_);
  }

 private:
  void Fail(int line, std::string message) { parsed_.errors.push_back({line, std::move(message)}); }

  void Configuration(Words words, int number) {
    if (!IsPacketCommand(words[0])) {
      Fail(number, "the configuration burst takes packet lines only, no times, repeats, moves or end");
      return;
    }
    CommandResult built = BuildPacket(words);
    if (!built.error.empty()) {
      Fail(number, built.error);
      return;
    }
    parsed_.scenario.configuration.push_back(std::move(built.payload));
  }

  void Flight(Words words, int number) {
    std::string error;
    double time = 0.0;
    if (!ReadTimePrefix(words, lastTime_, time, error)) {
      Fail(number, error);
      return;
    }
    lastTime_ = time;
    if (words[0] == "end") {
      if (words.size() != 1 || end_) {
        Fail(number, words.size() != 1 ? "end takes nothing after it" : "a second end");
        return;
      }
      end_ = time;
      return;
    }
    Expansion expansion = Command(words, {time, number});
    if (!expansion.error.empty()) {
      Fail(number, expansion.error);
      return;
    }
    auto& flight = parsed_.scenario.flight;
    if (flight.size() + expansion.packets.size() > kMaxFlightPackets) {
      Fail(number, "the flight makes more than " + std::to_string(kMaxFlightPackets) + " packets");
      return;
    }
    flight.insert(flight.end(), std::make_move_iterator(expansion.packets.begin()),
                  std::make_move_iterator(expansion.packets.end()));
  }

  ParsedScenario parsed_;
  Section section_ = Section::kFlight;
  double lastTime_ = 0.0;
  std::optional<double> end_;
};

}  // namespace

ParsedScenario ParseScenario(std::string_view text) {
  ScenarioReader reader;
  int number = 0;
  while (!text.empty() || number == 0) {
    ++number;
    const std::size_t newline = text.find('\n');
    reader.Line(text.substr(0, newline), number);
    text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
  }
  return reader.Finish();
}

std::vector<ScheduledPacket> ParseTypedLine(std::string_view line, std::string& error) {
  error.clear();
  const std::optional<std::vector<std::string>> split = SplitWords(line);
  if (!split) {
    error = "a quote is not closed";
    return {};
  }
  if (split->empty()) {
    return {};
  }
  Words words = *split;
  double delay = 0.0;
  if (!ReadTimePrefix(words, 0.0, delay, error)) {
    return {};
  }
  if (words[0] == "end" || words[0].ends_with(':')) {
    error = "only packet lines can be typed";
    return {};
  }
  Expansion expansion = Command(words, {delay, 0});
  error = expansion.error;
  return std::move(expansion.packets);
}

std::string Describe(const ScenarioError& error) {
  return "line " + std::to_string(error.line) + ": " + error.message;
}

}  // namespace console_sim
