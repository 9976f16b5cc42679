// console-sim's command line. Pure; main thread.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace console_sim {

// The link hosted: the Console Client's DirectPlay 8 session, or the framed-TCP stand-in.
enum class LinkKind { kDirectPlay, kTcp };

struct Options {
  LinkKind link = LinkKind::kDirectPlay;
  std::uint16_t port = 2400;  // 0: any free port, printed when listening
  std::string scenarioPath;  // empty: the built-in demo scenario
  bool quiet = false;        // no line per packet sent
  bool help = false;
};

struct OptionsResult {
  Options options;
  std::string error;  // empty when the arguments were understood
};

OptionsResult ParseOptions(std::span<const std::string> arguments);
std::string Usage();

}  // namespace console_sim
