#include "tools/console_sim/packet_text.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iterator>
#include <vector>

#include "tools/console_sim/packet_command.h"
#include "tools/console_sim/packet_layout.h"

namespace console_sim {

namespace {

// The shortest text that reads back as the same float.
std::string Number(float value) {
  char text[32];
  const auto result = std::to_chars(std::begin(text), std::end(text), value);
  return std::string(text, result.ptr);
}

std::string Hex(std::span<const std::uint8_t> bytes) {
  std::string text;
  for (std::uint8_t byte : bytes) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02x", byte);
    text += pair;
  }
  return text;
}

std::string Value(std::span<const std::uint8_t> payload, const Field& field) {
  switch (field.type) {
    case FieldType::kF32:
      return Number(LoadFloats(payload, field)[0]);
    case FieldType::kVector: {
      const std::vector<float> values = LoadFloats(payload, field);
      return Number(values[0]) + "," + Number(values[1]) + "," + Number(values[2]);
    }
    case FieldType::kText:
      return "\"" + LoadText(payload, field) + "\"";
    default:
      return std::to_string(LoadInteger(payload, field));
  }
}

// The name of a value where it has one: event codes, kinds, and the ship event in `a`.
std::string_view Annotation(std::span<const std::uint8_t> payload, const PacketLayout& layout,
                            const Field& field) {
  if (!field.names.empty()) {
    return NameOf(field.names, static_cast<int>(LoadInteger(payload, field)));
  }
  const bool shipEvent = &layout == &EventLayout() && field.name == "a" &&
                         LoadInteger(payload, *FindField(layout, "code")) == 10;
  if (!shipEvent) {
    return {};
  }
  const float subCode = LoadFloats(payload, field)[0];
  return NameOf(ShipEventNames(), static_cast<int>(subCode));
}

// Bytes that no named field covers and that are not zero, as raw@OFFSET=HEX words.
std::string UnnamedBytes(std::span<const std::uint8_t> payload, const PacketLayout& layout) {
  std::vector<bool> named(payload.size(), false);
  for (const Field& field : layout.fields) {
    std::fill_n(named.begin() + static_cast<std::ptrdiff_t>(field.offset), FieldWidth(field), true);
  }
  std::string text;
  for (std::size_t i = 0; i < payload.size();) {
    if (named[i] || payload[i] == 0) {
      ++i;
      continue;
    }
    const std::size_t start = i;
    while (i < payload.size() && !named[i] && payload[i] != 0) {
      ++i;
    }
    text += " raw@" + std::to_string(start) + "=" + Hex(payload.subspan(start, i - start));
  }
  return text;
}

}  // namespace

std::string DescribePacket(std::span<const std::uint8_t> payload) {
  const PacketLayout* layout = LayoutForSize(payload.size());
  if (layout == nullptr) {
    const std::string hex = Hex(payload);
    return hex.empty() ? std::string(kBytesCommand) : std::string(kBytesCommand) + " " + hex;
  }
  std::string text(layout->kind);
  std::string names;
  for (const Field& field : layout->fields) {
    text += " " + std::string(field.name) + "=" + Value(payload, field);
    const std::string_view name = Annotation(payload, *layout, field);
    if (!name.empty()) {
      names += " " + std::string(name);
    }
  }
  text += UnnamedBytes(payload, *layout);
  return names.empty() ? text : text + "  #" + names;
}

}  // namespace console_sim
