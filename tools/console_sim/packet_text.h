// Packets in readable form, one line each, in the scenario's own words (so a printed
// line can be typed back). Pure; any thread.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace console_sim {

// "event code=10 index=0 reserved=0 a=3 ...  # ship engine": every field, then the
// names of the values that have one as a comment. Non-zero bytes outside the named
// fields follow as raw@OFFSET=HEX; payloads of no known size are shown as hex.
std::string DescribePacket(std::span<const std::uint8_t> payload);

}  // namespace console_sim
