#include "platform/link/frame.h"

#include <algorithm>

namespace link_wire {

namespace {

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) {
    out.push_back(static_cast<std::uint8_t>(value >> shift));
  }
}

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

std::uint16_t GetU16(std::span<const std::uint8_t> bytes) {
  return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

bool KnownType(std::uint8_t type) {
  return type >= static_cast<std::uint8_t>(FrameType::kConnect) &&
         type <= static_cast<std::uint8_t>(FrameType::kTerminate);
}

}  // namespace

std::uint32_t DecodeU32(std::span<const std::uint8_t, 4> bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::vector<std::uint8_t> EncodeU32(std::uint32_t value) {
  std::vector<std::uint8_t> out;
  PutU32(out, value);
  return out;
}

ParseResult ParseFrame(std::span<const std::uint8_t> bytes) {
  ParseResult result;
  if (bytes.size() < kHeaderSize) {
    return result;
  }
  const std::uint32_t length = DecodeU32(bytes.first<4>());
  const std::uint8_t type = bytes[4];
  if (length == 0 || length > kMaxLength || !KnownType(type)) {
    result.status = ParseStatus::kBroken;
    return result;
  }
  const std::size_t frameSize = 4 + std::size_t{length};
  if (bytes.size() < frameSize) {
    return result;
  }
  result.status = ParseStatus::kFrame;
  result.frame.type = static_cast<FrameType>(type);
  result.frame.body = bytes.subspan(kHeaderSize, length - 1);
  result.consumed = frameSize;
  return result;
}

void AppendFrame(std::vector<std::uint8_t>& out, FrameType type,
                 std::span<const std::uint8_t> body) {
  PutU32(out, static_cast<std::uint32_t>(body.size() + 1));
  out.push_back(static_cast<std::uint8_t>(type));
  out.insert(out.end(), body.begin(), body.end());
}

std::vector<std::uint8_t> EncodeFrame(FrameType type, std::span<const std::uint8_t> body) {
  std::vector<std::uint8_t> out;
  out.reserve(kHeaderSize + body.size());
  AppendFrame(out, type, body);
  return out;
}

std::vector<std::uint8_t> EncodeConnectBody(const ConnectRequest& request) {
  std::vector<std::uint8_t> out;
  out.reserve(kConnectBodySize);
  PutU32(out, request.application.Data1);
  PutU16(out, request.application.Data2);
  PutU16(out, request.application.Data3);
  out.insert(out.end(), std::begin(request.application.Data4), std::end(request.application.Data4));
  PutU32(out, request.version);
  return out;
}

std::optional<ConnectRequest> DecodeConnectBody(std::span<const std::uint8_t> body) {
  if (body.size() != kConnectBodySize) {
    return std::nullopt;
  }
  ConnectRequest request;
  request.application.Data1 = DecodeU32(body.first<4>());
  request.application.Data2 = GetU16(body.subspan(4, 2));
  request.application.Data3 = GetU16(body.subspan(6, 2));
  std::copy_n(body.begin() + 8, 8, std::begin(request.application.Data4));
  request.version = DecodeU32(body.subspan<16, 4>());
  return request;
}

}  // namespace link_wire
