// Command frames (CFRAMEs): the connect handshake, the hard disconnect and the
// dedicated acknowledgement (SACK). Encoding and strict decoding of their bytes only;
// what they mean to a link is the link's business. Pure; any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/directplay/masks.h"

namespace dpnet {

constexpr std::uint8_t kCommandCframe = 0x80;
constexpr std::uint8_t kCommandPoll = 0x08;

enum class Opcode : std::uint8_t {
  kConnect = 0x01,
  kConnected = 0x02,
  kConnectedSigned = 0x03,
  kHardDisconnect = 0x04,
  kSack = 0x06,
};

// The fields only CONNECTED_SIGNED carries after the common ones.
struct SigningFields {
  std::uint64_t connectSignature = 0;
  std::uint64_t senderSecret = 0;
  std::uint64_t receiverSecret = 0;
  std::uint32_t signingOptions = 0;
  std::uint32_t echoTimestamp = 0;
  bool operator==(const SigningFields&) const = default;
};

// CONNECT, CONNECTED, CONNECTED_SIGNED and HARD_DISCONNECT: one layout of 16 bytes,
// CONNECTED_SIGNED with its signing fields after it (48 bytes in all), HARD_DISCONNECT
// with a signature when the link is signed (24 bytes).
struct ConnectFrame {
  Opcode opcode = Opcode::kConnect;
  bool poll = false;
  std::uint8_t messageId = 0;
  std::uint8_t responseId = 0;
  std::uint32_t version = 0;
  std::uint32_t sessionId = 0;
  std::uint32_t timestamp = 0;
  std::optional<SigningFields> signing;   // CONNECTED_SIGNED: always; others: never
  std::optional<std::uint64_t> signature;  // HARD_DISCONNECT on a signed link only
  bool operator==(const ConnectFrame&) const = default;
};

constexpr std::uint8_t kSackFlagResponse = 0x01;  // bRetry is valid

struct SackFrame {
  bool poll = false;
  bool response = true;    // bRetry is valid
  std::uint8_t retry = 0;  // nonzero: the last DFRAME received was a retry
  std::uint8_t nextSend = 0;
  std::uint8_t nextReceive = 0;
  std::uint32_t timestamp = 0;
  Masks masks;
  bool operator==(const SackFrame&) const = default;
};

std::vector<std::uint8_t> Encode(const ConnectFrame& frame);
std::vector<std::uint8_t> Encode(const SackFrame& frame);

// Both take a whole datagram whose first byte is 0x80 or 0x88 and whose second is
// their opcode; nullopt for any other bytes, any size the layout does not allow, or
// flag bits that must be zero and are not.
std::optional<ConnectFrame> DecodeConnectFrame(std::span<const std::uint8_t> datagram);
std::optional<SackFrame> DecodeSackFrame(std::span<const std::uint8_t> datagram);

}  // namespace dpnet
