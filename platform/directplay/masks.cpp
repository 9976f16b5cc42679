#include "platform/directplay/masks.h"

#include <array>

namespace dpnet {

namespace {

std::uint64_t Join(std::optional<std::uint32_t> low, std::optional<std::uint32_t> high) {
  return std::uint64_t{low.value_or(0)} | (std::uint64_t{high.value_or(0)} << 32);
}

std::optional<std::uint32_t> HalfIfSet(std::uint64_t mask, int shift) {
  const auto half = static_cast<std::uint32_t>(mask >> shift);
  if (half == 0) return std::nullopt;
  return half;
}

std::array<std::optional<std::uint32_t>*, 4> Halves(Masks& masks) {
  return {&masks.sack1, &masks.sack2, &masks.send1, &masks.send2};
}

}  // namespace

std::uint64_t Masks::Sack() const { return Join(sack1, sack2); }
std::uint64_t Masks::Send() const { return Join(send1, send2); }

Masks Masks::From(std::uint64_t sack, std::uint64_t send) {
  return {HalfIfSet(sack, 0), HalfIfSet(sack, 32), HalfIfSet(send, 0), HalfIfSet(send, 32)};
}

std::uint8_t Masks::PresenceBits() const {
  Masks copy = *this;
  const auto halves = Halves(copy);
  unsigned bits = 0;
  for (unsigned bit = 0; bit < halves.size(); ++bit) {
    if (halves[bit]->has_value()) bits |= 1u << bit;
  }
  return static_cast<std::uint8_t>(bits);
}

bool ReadMasks(ByteReader& reader, std::uint8_t presence, Masks& masks) {
  const auto halves = Halves(masks);
  for (unsigned bit = 0; bit < halves.size(); ++bit) {
    std::uint32_t value = 0;
    if (((static_cast<unsigned>(presence) >> bit) & 1u) == 0) continue;
    if (!reader.Read(value)) return false;
    *halves[bit] = value;
  }
  return true;
}

void AppendMasks(std::vector<std::uint8_t>& out, const Masks& masks) {
  Masks copy = masks;
  for (const auto* half : Halves(copy)) {
    if (half->has_value()) PutLittleEndian(out, **half);
  }
}

}  // namespace dpnet
