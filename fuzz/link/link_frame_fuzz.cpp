// Fuzz target for the link's frame decoder as both ends use it: the bytes are a stream
// of frames read in pieces of uneven size (the first byte chooses them), as a socket
// hands them over. Every frame read must be exactly what its header says, re-encode to
// the same bytes, and have its body read as the host reads a CONNECT and the module a
// CONNECT_REPLY. A broken header ends the stream, as it closes the connection.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/link/frame.h"

namespace {

using link_wire::FrameType;
using link_wire::ParseStatus;

void CheckBodies(const link_wire::Frame& frame) {
  if (frame.type == FrameType::kConnect) {
    const auto request = link_wire::DecodeConnectBody(frame.body);
    if (request.has_value() != (frame.body.size() == link_wire::kConnectBodySize)) __builtin_trap();
    if (request && !std::ranges::equal(link_wire::EncodeConnectBody(*request), frame.body)) __builtin_trap();
  }
  if (frame.type == FrameType::kConnectReply && frame.body.size() == link_wire::kConnectReplyBodySize) {
    const std::uint32_t result = link_wire::DecodeU32(frame.body.first<4>());
    if (!std::ranges::equal(link_wire::EncodeU32(result), frame.body)) __builtin_trap();
  }
}

// Reads every whole frame at the start of `unread`; the count of bytes used, or
// nothing once a header is broken.
bool ReadFrames(std::span<const std::uint8_t> unread, std::size_t& used) {
  used = 0;
  for (;;) {
    const link_wire::ParseResult parsed = link_wire::ParseFrame(unread.subspan(used));
    if (parsed.status == ParseStatus::kBroken) return false;
    if (parsed.status == ParseStatus::kIncomplete) return true;
    const auto whole = unread.subspan(used, parsed.consumed);
    if (parsed.consumed != link_wire::kHeaderSize + parsed.frame.body.size() ||
        parsed.frame.body.data() != whole.data() + link_wire::kHeaderSize ||
        !std::ranges::equal(link_wire::EncodeFrame(parsed.frame.type, parsed.frame.body), whole)) {
      __builtin_trap();
    }
    CheckBodies(parsed.frame);
    used += parsed.consumed;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t step = 1 + data[0];
  const std::span<const std::uint8_t> stream(data + 1, size - 1);
  std::vector<std::uint8_t> buffer;
  for (std::size_t offset = 0; offset < stream.size();) {
    const std::size_t piece = std::min(step + offset % 7, stream.size() - offset);
    buffer.insert(buffer.end(), stream.begin() + static_cast<std::ptrdiff_t>(offset),
                  stream.begin() + static_cast<std::ptrdiff_t>(offset + piece));
    offset += piece;
    std::size_t used = 0;
    if (!ReadFrames(buffer, used)) return 0;
    if (buffer.size() - used > link_wire::kMaxFrameSize) __builtin_trap();  // no waiting past a frame
    buffer.erase(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(used));
  }
  return 0;
}
