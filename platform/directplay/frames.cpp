#include "platform/directplay/frames.h"

namespace dpnet {

namespace {

constexpr std::size_t kMinCommandFrame = 12;

template <typename T>
std::optional<Frame> AsFrame(std::optional<T> frame) {
  if (!frame) return std::nullopt;
  return Frame(std::move(*frame));
}

}  // namespace

std::optional<Frame> DecodeFrame(std::span<const std::uint8_t> datagram) {
  if (datagram.size() >= kDataHeaderSize && (datagram[0] & kCommandData) != 0) {
    return AsFrame(DecodeDataFrame(datagram));
  }
  if (datagram.size() < kMinCommandFrame || (datagram[0] & ~kCommandPoll) != kCommandCframe) {
    return std::nullopt;
  }
  if (datagram[1] == static_cast<std::uint8_t>(Opcode::kSack)) {
    return AsFrame(DecodeSackFrame(datagram));
  }
  return AsFrame(DecodeConnectFrame(datagram));
}

std::vector<std::uint8_t> EncodeFrame(const Frame& frame) {
  return std::visit([](const auto& f) { return Encode(f); }, frame);
}

}  // namespace dpnet
