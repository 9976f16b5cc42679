// One datagram of the reliable protocol as one of its frames. Pure; any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <variant>
#include <vector>

#include "platform/directplay/command_frames.h"
#include "platform/directplay/data_frame.h"

namespace dpnet {

using Frame = std::variant<ConnectFrame, SackFrame, DataFrame>;

// A DFRAME when the first byte has the DATA bit and there are at least 4 bytes, a
// CFRAME when it is 0x80 or 0x88 and there are at least 12; nullopt for anything else
// (host enumeration, other protocols, noise) and for frames that break their layout.
std::optional<Frame> DecodeFrame(std::span<const std::uint8_t> datagram);
std::vector<std::uint8_t> EncodeFrame(const Frame& frame);

}  // namespace dpnet
