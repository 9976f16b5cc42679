// The four packet kinds the Console Client sends, as tables of named fields at their
// byte offsets, so that a scenario can set every field by name and the simulator can
// print every packet it sends. Pure data and functions; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace console_sim {

enum class FieldType { kU8, kI8, kU16, kU32, kF32, kVector, kText };

// A name a scenario may write instead of a number.
struct ValueName {
  std::string_view name;
  int value;
};

struct Field {
  std::string_view name;
  std::size_t offset;
  FieldType type;
  std::span<const ValueName> names = {};  // accepted names for the value, if any
};

struct PacketLayout {
  std::string_view kind;  // "event", "state", "weapon", "notice"
  std::size_t size;
  std::span<const Field> fields;
};

const PacketLayout& EventLayout();
const PacketLayout& StateLayout();
const PacketLayout& WeaponLayout();
const PacketLayout& NoticeLayout();

// The layout whose size is that of the payload; null for any other size.
const PacketLayout* LayoutForSize(std::size_t size);
const Field* FindField(const PacketLayout& layout, std::string_view name);

// The names of the event codes and of the ship events (event 10's sub-codes).
std::span<const ValueName> EventCodeNames();
std::span<const ValueName> ShipEventNames();
// The name of a value in a name table, or empty.
std::string_view NameOf(std::span<const ValueName> names, int value);

// Stores an already range-checked value; the text is cut to the field and zero-filled.
void StoreInteger(std::span<std::uint8_t> payload, const Field& field, std::int64_t value);
void StoreFloats(std::span<std::uint8_t> payload, const Field& field, std::span<const float> values);
void StoreText(std::span<std::uint8_t> payload, const Field& field, std::string_view text);

// Reads a field back: an integer, up to three floats, or the text up to its zero byte.
std::int64_t LoadInteger(std::span<const std::uint8_t> payload, const Field& field);
std::vector<float> LoadFloats(std::span<const std::uint8_t> payload, const Field& field);
std::string LoadText(std::span<const std::uint8_t> payload, const Field& field);

// The bytes a field takes in the payload.
std::size_t FieldWidth(const Field& field);

}  // namespace console_sim
