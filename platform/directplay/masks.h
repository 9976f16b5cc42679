// The optional SACK and send masks that follow a DFRAME header or a SACK CFRAME: up to
// four 32-bit words, each present or not as the frame's flag bits say. Pure; any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/directplay/le_bytes.h"

namespace dpnet {

struct Masks {
  std::optional<std::uint32_t> sack1;  // the SACK mask's low half
  std::optional<std::uint32_t> sack2;  // its high half
  std::optional<std::uint32_t> send1;  // the send mask's low half
  std::optional<std::uint32_t> send2;  // its high half

  // A missing half counts as zero.
  std::uint64_t Sack() const;
  std::uint64_t Send() const;
  // Only the halves that have a bit set are present, which keeps frames short.
  static Masks From(std::uint64_t sack, std::uint64_t send);
  // One bit per present half, in the order sack1 sack2 send1 send2, from bit 0 up.
  std::uint8_t PresenceBits() const;

  bool operator==(const Masks&) const = default;
};

// Reads the halves that `presence` (bits as PresenceBits) names; false when they do
// not fit.
bool ReadMasks(ByteReader& reader, std::uint8_t presence, Masks& masks);
void AppendMasks(std::vector<std::uint8_t>& out, const Masks& masks);

}  // namespace dpnet
