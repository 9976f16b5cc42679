#include "tools/console_sim/packet_layout.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little, "floats are copied as they lie");

namespace console_sim {

namespace {

constexpr std::size_t kTextSize = 80;

constexpr std::array<ValueName, 10> kEventCodes = {{
    {"slot", 0}, {"dock", 2}, {"config-complete", 3}, {"leave", 5}, {"console", 7},
    {"ship", 10}, {"lights", 12}, {"precipitation", 14}, {"death", 15}, {"transfer", 19},
}};

constexpr std::array<ValueName, 26> kShipEvents = {{
    {"lightning", 0},         {"touchdown", 1},         {"leveling", 2},
    {"engine", 3},            {"rumble", 4},            {"g-force", 6},
    {"dock-announcement", 7}, {"roster-notice", 8},     {"computer-phrase", 9},
    {"cockpit-signal", 10},   {"splashdown", 11},       {"struts", 12},
    {"em-disturbance", 13},   {"tail-break-1", 14},     {"tail-break-2", 15},
    {"wing-break-1", 16},     {"wing-break-2", 17},     {"end-of-transmission", 18},
    {"propulsion-start", 19}, {"environment", 20},      {"target-cycled", 21},
    {"collision", 22},        {"tire-skid", 23},        {"repair", 24},
    {"impact", 25},           {"gear-shift", 26},
}};

constexpr std::array<ValueName, 2> kWeaponKinds = {{{"launch", 1}, {"explosion", 3}}};
constexpr std::array<ValueName, 2> kWeapons = {{{"fuzer", 1}, {"sinker", 2}}};
constexpr std::array<ValueName, 3> kNoticeKinds = {{{"chat", 0}, {"cargo", 2}, {"roster", 9}}};

constexpr std::array<Field, 7> kEventFields = {{
    {"code", 0, FieldType::kU8, kEventCodes},
    {"index", 1, FieldType::kU8},
    {"reserved", 2, FieldType::kU16},
    {"a", 4, FieldType::kF32},
    {"b", 8, FieldType::kF32},
    {"c", 12, FieldType::kF32},
    {"d", 16, FieldType::kF32},
}};

constexpr std::array<Field, 5> kStateFields = {{
    {"slot", 0, FieldType::kU8},
    {"pos", 4, FieldType::kVector},
    {"vel", 16, FieldType::kVector},
    {"extra", 28, FieldType::kVector},
    {"ref", 56, FieldType::kI8},
}};

constexpr std::array<Field, 8> kWeaponFields = {{
    {"header", 0, FieldType::kU32},
    {"pos", 4, FieldType::kVector},
    {"extra", 16, FieldType::kVector},
    {"spare", 28, FieldType::kU16},
    {"launcher", 30, FieldType::kU16},
    {"target", 32, FieldType::kU16},
    {"kind", 34, FieldType::kI8, kWeaponKinds},
    {"weapon", 35, FieldType::kI8, kWeapons},
}};

constexpr std::array<Field, 3> kNoticeFields = {{
    {"subtype", 0, FieldType::kU8, kNoticeKinds},
    {"index", 1, FieldType::kU8},
    {"text", 2, FieldType::kText},
}};

const PacketLayout kEvent{"event", 20, kEventFields};
const PacketLayout kState{"state", 64, kStateFields};
const PacketLayout kWeapon{"weapon", 36, kWeaponFields};
const PacketLayout kNotice{"notice", 82, kNoticeFields};

}  // namespace

const PacketLayout& EventLayout() { return kEvent; }
const PacketLayout& StateLayout() { return kState; }
const PacketLayout& WeaponLayout() { return kWeapon; }
const PacketLayout& NoticeLayout() { return kNotice; }

const PacketLayout* LayoutForSize(std::size_t size) {
  for (const PacketLayout* layout : {&kEvent, &kState, &kWeapon, &kNotice}) {
    if (layout->size == size) {
      return layout;
    }
  }
  return nullptr;
}

const Field* FindField(const PacketLayout& layout, std::string_view name) {
  const auto found = std::find_if(layout.fields.begin(), layout.fields.end(),
                                  [&](const Field& field) { return field.name == name; });
  return found == layout.fields.end() ? nullptr : &*found;
}

std::span<const ValueName> EventCodeNames() { return kEventCodes; }
std::span<const ValueName> ShipEventNames() { return kShipEvents; }

std::string_view NameOf(std::span<const ValueName> names, int value) {
  for (const ValueName& entry : names) {
    if (entry.value == value) {
      return entry.name;
    }
  }
  return {};
}

std::size_t FieldWidth(const Field& field) {
  switch (field.type) {
    case FieldType::kU8:
    case FieldType::kI8:
      return 1;
    case FieldType::kU16:
      return 2;
    case FieldType::kU32:
    case FieldType::kF32:
      return 4;
    case FieldType::kVector:
      return 12;
    case FieldType::kText:
      return kTextSize;
  }
  return 0;
}

// Integers go out little-endian, whatever their width.
void StoreInteger(std::span<std::uint8_t> payload, const Field& field, std::int64_t value) {
  const auto bits = static_cast<std::uint64_t>(value);
  for (std::size_t i = 0; i < FieldWidth(field); ++i) {
    payload[field.offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
  }
}

void StoreFloats(std::span<std::uint8_t> payload, const Field& field, std::span<const float> values) {
  std::memcpy(payload.data() + field.offset, values.data(), values.size() * sizeof(float));
}

void StoreText(std::span<std::uint8_t> payload, const Field& field, std::string_view text) {
  const auto target = payload.subspan(field.offset, kTextSize);
  std::fill(target.begin(), target.end(), std::uint8_t{0});
  std::copy_n(text.begin(), std::min(text.size(), kTextSize), target.begin());
}

std::int64_t LoadInteger(std::span<const std::uint8_t> payload, const Field& field) {
  std::uint64_t bits = 0;
  const std::size_t width = FieldWidth(field);
  for (std::size_t i = 0; i < width; ++i) {
    bits |= std::uint64_t{payload[field.offset + i]} << (8 * i);
  }
  if (field.type == FieldType::kI8) {
    return static_cast<std::int8_t>(bits);
  }
  return static_cast<std::int64_t>(bits);
}

std::vector<float> LoadFloats(std::span<const std::uint8_t> payload, const Field& field) {
  std::vector<float> values(FieldWidth(field) / sizeof(float));
  std::memcpy(values.data(), payload.data() + field.offset, values.size() * sizeof(float));
  return values;
}

std::string LoadText(std::span<const std::uint8_t> payload, const Field& field) {
  const auto text = payload.subspan(field.offset, kTextSize);
  const auto end = std::find(text.begin(), text.end(), std::uint8_t{0});
  return std::string(text.begin(), end);
}

}  // namespace console_sim
