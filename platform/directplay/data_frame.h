// Data frames (DFRAMEs): bCommand bControl bSeq bNRcv, the masks bControl names, then
// the payload (a KeepAlive's session id, one message or a piece of one, or coalesced
// payloads). Encoding and strict decoding of the bytes only. Pure; any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/directplay/command_frames.h"
#include "platform/directplay/masks.h"

namespace dpnet {

// bCommand
constexpr std::uint8_t kCommandData = 0x01;
constexpr std::uint8_t kCommandReliable = 0x02;
constexpr std::uint8_t kCommandSequential = 0x04;
// kCommandPoll (0x08) is shared with the CFRAMEs.
constexpr std::uint8_t kCommandNewMessage = 0x10;
constexpr std::uint8_t kCommandEndMessage = 0x20;
constexpr std::uint8_t kCommandUser1 = 0x40;  // a core message
constexpr std::uint8_t kCommandUser2 = 0x80;  // voice

// bControl; its four high bits say which masks follow and are not kept in `control`.
constexpr std::uint8_t kControlRetry = 0x01;
constexpr std::uint8_t kControlKeepAlive = 0x02;  // "correlate" before version 1.5
constexpr std::uint8_t kControlCoalesce = 0x04;
constexpr std::uint8_t kControlEndStream = 0x08;
constexpr int kControlMaskShift = 4;

constexpr std::size_t kDataHeaderSize = 4;

struct DataFrame {
  std::uint8_t command = kCommandData;
  std::uint8_t control = 0;  // only the low four bits
  std::uint8_t seq = 0;
  std::uint8_t nextReceive = 0;
  Masks masks;
  std::vector<std::uint8_t> payload;
  bool operator==(const DataFrame&) const = default;
};

std::vector<std::uint8_t> Encode(const DataFrame& frame);
// A whole datagram with the DATA bit set in its first byte; nullopt when the masks its
// bControl names do not fit.
std::optional<DataFrame> DecodeDataFrame(std::span<const std::uint8_t> datagram);

}  // namespace dpnet
