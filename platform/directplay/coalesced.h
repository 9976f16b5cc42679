// Coalesced payloads: up to 32 small messages in one DFRAME, each with its own
// reliable/sequential/user flags, behind 2-byte headers, 32-bit aligned. Encoding and
// strict decoding of the bytes only. Pure; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace dpnet {

constexpr std::size_t kMaxCoalesced = 32;
constexpr std::size_t kMaxCoalescedSize = 0x7FF;  // an 11-bit size

// A sub-header's flags that belong to the payload itself (the rest of its bCommand
// holds the size's high bits and the end marker).
constexpr std::uint8_t kCoalescedFlagBits = 0xC6;  // RELIABLE SEQUENTIAL USER_1 USER_2

struct SubPayload {
  std::uint8_t flags = 0;  // only kCoalescedFlagBits
  std::vector<std::uint8_t> data;
  bool operator==(const SubPayload&) const = default;
};

// The bytes EncodeCoalesced writes for `parts`.
std::size_t CoalescedSize(std::span<const SubPayload> parts);
// 1 to kMaxCoalesced parts, each at most kMaxCoalescedSize bytes.
std::vector<std::uint8_t> EncodeCoalesced(std::span<const SubPayload> parts);
// Nullopt unless the headers end within 32 entries, every size fits what is left, and
// the last payload ends exactly at the end of the bytes.
std::optional<std::vector<SubPayload>> DecodeCoalesced(std::span<const std::uint8_t> payload);

}  // namespace dpnet
