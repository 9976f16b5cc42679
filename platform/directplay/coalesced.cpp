#include "platform/directplay/coalesced.h"

#include "platform/directplay/le_bytes.h"

namespace dpnet {

namespace {

constexpr std::uint8_t kEndCoalesce = 0x01;
constexpr std::uint8_t kSizeHighBits = 0x38;
constexpr int kSizeHighShift = 5;

std::size_t AlignUp(std::size_t size) { return (size + 3) & ~std::size_t{3}; }

std::size_t HeadersSize(std::size_t count) { return AlignUp(2 * count); }

}  // namespace

std::size_t CoalescedSize(std::span<const SubPayload> parts) {
  std::size_t size = HeadersSize(parts.size());
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) size = AlignUp(size);
    size += parts[i].data.size();
  }
  return size;
}

std::vector<std::uint8_t> EncodeCoalesced(std::span<const SubPayload> parts) {
  std::vector<std::uint8_t> out;
  out.reserve(CoalescedSize(parts));
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::size_t size = parts[i].data.size();
    const auto high = static_cast<std::uint8_t>((size >> 8) << 3);
    const std::uint8_t end = i + 1 == parts.size() ? kEndCoalesce : 0;
    out.push_back(static_cast<std::uint8_t>(size));
    out.push_back(static_cast<std::uint8_t>((parts[i].flags & kCoalescedFlagBits) | high | end));
  }
  out.resize(HeadersSize(parts.size()), 0);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out.resize(AlignUp(out.size()), 0);
    out.insert(out.end(), parts[i].data.begin(), parts[i].data.end());
  }
  return out;
}

std::optional<std::vector<SubPayload>> DecodeCoalesced(std::span<const std::uint8_t> payload) {
  ByteReader reader(payload);
  std::vector<std::size_t> sizes;
  std::vector<SubPayload> parts;
  for (bool end = false; !end;) {
    std::uint8_t size = 0;
    std::uint8_t command = 0;
    if (parts.size() == kMaxCoalesced || !reader.Read(size) || !reader.Read(command)) {
      return std::nullopt;
    }
    end = (command & kEndCoalesce) != 0;
    sizes.push_back(size | (std::size_t{static_cast<std::uint8_t>(command & kSizeHighBits)}
                            << kSizeHighShift));
    parts.push_back({static_cast<std::uint8_t>(command & kCoalescedFlagBits), {}});
  }
  std::size_t offset = HeadersSize(parts.size());
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) offset = AlignUp(offset);
    if (offset > payload.size() || payload.size() - offset < sizes[i]) return std::nullopt;
    const auto data = payload.subspan(offset, sizes[i]);
    parts[i].data.assign(data.begin(), data.end());
    offset += sizes[i];
  }
  if (offset != payload.size()) return std::nullopt;
  return parts;
}

}  // namespace dpnet
