#include "platform/directplay/data_frame.h"

#include "platform/directplay/le_bytes.h"

namespace dpnet {

namespace {
constexpr std::uint8_t kControlFlagBits = 0x0F;
}  // namespace

std::vector<std::uint8_t> Encode(const DataFrame& frame) {
  std::vector<std::uint8_t> out;
  out.reserve(kDataHeaderSize + 16 + frame.payload.size());
  out.push_back(static_cast<std::uint8_t>(frame.command | kCommandData));
  out.push_back(static_cast<std::uint8_t>((frame.control & kControlFlagBits) |
                                          (frame.masks.PresenceBits() << kControlMaskShift)));
  out.push_back(frame.seq);
  out.push_back(frame.nextReceive);
  AppendMasks(out, frame.masks);
  out.insert(out.end(), frame.payload.begin(), frame.payload.end());
  return out;
}

std::optional<DataFrame> DecodeDataFrame(std::span<const std::uint8_t> datagram) {
  ByteReader reader(datagram);
  DataFrame frame;
  std::uint8_t control = 0;
  if (!reader.Read(frame.command) || !reader.Read(control) || !reader.Read(frame.seq) ||
      !reader.Read(frame.nextReceive) || (frame.command & kCommandData) == 0) {
    return std::nullopt;
  }
  frame.control = static_cast<std::uint8_t>(control & kControlFlagBits);
  if (!ReadMasks(reader, static_cast<std::uint8_t>(control >> kControlMaskShift), frame.masks)) {
    return std::nullopt;
  }
  const auto rest = reader.Rest();
  frame.payload.assign(rest.begin(), rest.end());
  return frame;
}

}  // namespace dpnet
