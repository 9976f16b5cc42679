// Fuzz target for console-sim's scenario reader: any bytes as a scenario file, and each
// of its lines as a line typed while a flight runs. Every error names a line of the
// text; a good scenario's flight is in time order and each payload has a packet's size.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/packet_handlers.h"
#include "tools/console_sim/scenario.h"

namespace {

bool PacketSized(std::size_t size) {
  return size == PLAYER_STATE_PACKET_SIZE || size == EVENT_PACKET_SIZE || size == WEAPON_PACKET_SIZE ||
         size == NOTIFICATION_PACKET_SIZE;
}

void CheckScenario(const console_sim::ParsedScenario& parsed, std::string_view text) {
  const auto lines = 1 + std::count(text.begin(), text.end(), '\n');
  for (const console_sim::ScenarioError& error : parsed.errors) {
    if (error.line < 1 || error.line > lines || error.message.empty()) __builtin_trap();
  }
  const auto& flight = parsed.scenario.flight;
  if (!std::ranges::is_sorted(flight, {}, &console_sim::ScheduledPacket::time)) __builtin_trap();
  for (const auto& packet : flight) {
    if (!PacketSized(packet.payload.size()) || packet.time > parsed.scenario.endTime) __builtin_trap();
  }
  for (const auto& payload : parsed.scenario.configuration) {
    if (!PacketSized(payload.size())) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckScenario(console_sim::ParseScenario(text), text);
  for (std::string_view rest = text; !rest.empty();) {
    const std::size_t newline = std::min(rest.find('\n'), rest.size());
    std::string error;
    for (const auto& packet : console_sim::ParseTypedLine(rest.substr(0, newline), error)) {
      if (!PacketSized(packet.payload.size())) __builtin_trap();
    }
    rest.remove_prefix(std::min(newline + 1, rest.size()));
  }
  return 0;
}
