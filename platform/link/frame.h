// The link's wire format: length-prefixed frames (u32 length of type + body, one type
// byte, the body), little-endian. Pure functions; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "app/platform_types.h"

namespace link_wire {

enum class FrameType : std::uint8_t { kConnect = 1, kConnectReply = 2, kData = 3, kTerminate = 4 };

constexpr std::size_t kHeaderSize = 5;
constexpr std::uint32_t kMaxBody = 65536;
constexpr std::uint32_t kMaxLength = kMaxBody + 1;  // type byte + largest body
constexpr std::size_t kMaxFrameSize = 4 + kMaxLength;
constexpr std::size_t kConnectBodySize = 20;
constexpr std::size_t kConnectReplyBodySize = 4;
constexpr std::uint32_t kProtocolVersion = 1;
constexpr std::uint32_t kAccepted = 0;
constexpr std::uint32_t kRefused = 1;

struct Frame {
  FrameType type = FrameType::kData;
  std::span<const std::uint8_t> body;  // points into the parsed buffer
};

enum class ParseStatus { kIncomplete, kFrame, kBroken };

struct ParseResult {
  ParseStatus status = ParseStatus::kIncomplete;
  Frame frame;               // valid when status is kFrame
  std::size_t consumed = 0;  // bytes of the frame, when status is kFrame
};

// Reads the frame at the start of `bytes`. A header with a length of 0 or above
// kMaxLength or an unknown type is broken as soon as the header is there, so no one
// waits for or allocates by a claimed length.
ParseResult ParseFrame(std::span<const std::uint8_t> bytes);

// Appends one whole frame to `out`. The body must be at most kMaxBody bytes.
void AppendFrame(std::vector<std::uint8_t>& out, FrameType type,
                 std::span<const std::uint8_t> body);
std::vector<std::uint8_t> EncodeFrame(FrameType type, std::span<const std::uint8_t> body);

struct ConnectRequest {
  GUID application = GUID_NULL;
  std::uint32_t version = 0;
};

std::vector<std::uint8_t> EncodeConnectBody(const ConnectRequest& request);
// Nullopt unless the body is exactly kConnectBodySize bytes.
std::optional<ConnectRequest> DecodeConnectBody(std::span<const std::uint8_t> body);

std::vector<std::uint8_t> EncodeU32(std::uint32_t value);
std::uint32_t DecodeU32(std::span<const std::uint8_t, 4> bytes);

}  // namespace link_wire
