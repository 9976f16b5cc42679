// One packet command of a scenario line, such as `event dock a=4 b=1`,
// `state slot=3 pos=2940,0,0` or `roster slot=3 text="..."`, turned into its payload.
// Pure; any thread.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace console_sim {

// The command for a payload of any size given as hex, and the largest such payload.
constexpr std::string_view kBytesCommand = "bytes";
constexpr std::size_t kMaxPayloadBytes = 65536;

struct CommandResult {
  std::vector<std::uint8_t> payload;
  std::string error;  // empty on success
};

// words[0] is the command; the rest are `name=value` assignments, with an optional
// leading value for `event` (the code) and `ship` (the ship event).
CommandResult BuildPacket(std::span<const std::string> words);

// True when words[0] names a packet command.
bool IsPacketCommand(const std::string& word);

}  // namespace console_sim
