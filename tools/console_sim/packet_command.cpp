#include "tools/console_sim/packet_command.h"

#include <array>
#include <optional>
#include <set>
#include <string_view>

#include "tools/console_sim/packet_layout.h"
#include "tools/console_sim/scenario_tokens.h"

namespace console_sim {

namespace {

// A command: its packet, the field a leading value sets, a preset field, and one
// other name for a field.
struct Command {
  std::string_view word;
  const PacketLayout& (*layout)();
  std::string_view leadingField;
  std::span<const ValueName> leadingNames;
  std::string_view presetField;
  int presetValue;
  std::string_view alias;
  std::string_view aliasedField;
};

const Command* FindCommand(std::string_view word) {
  static const std::array<Command, 8> commands = {{
      {"event", EventLayout, "code", EventCodeNames(), "", 0, "", ""},
      {"ship", EventLayout, "a", ShipEventNames(), "code", 10, "", ""},
      {"state", StateLayout, "", {}, "ref", -1, "", ""},
      {"weapon", WeaponLayout, "", {}, "", 0, "", ""},
      {"notice", NoticeLayout, "", {}, "", 0, "", ""},
      {"chat", NoticeLayout, "", {}, "subtype", 0, "from", "index"},
      {"cargo", NoticeLayout, "", {}, "subtype", 2, "kind", "index"},
      {"roster", NoticeLayout, "", {}, "subtype", 9, "slot", "index"},
  }};
  for (const Command& command : commands) {
    if (command.word == word) {
      return &command;
    }
  }
  return nullptr;
}

struct Range {
  std::int64_t low;
  std::int64_t high;
};

Range RangeOf(FieldType type) {
  switch (type) {
    case FieldType::kI8:
      return {-128, 127};
    case FieldType::kU16:
      return {0, 65535};
    case FieldType::kU32:
      return {0, 4294967295};
    default:
      return {0, 255};
  }
}

std::optional<int> NamedValue(std::span<const ValueName> names, std::string_view text) {
  for (const ValueName& entry : names) {
    if (entry.name == text) {
      return entry.value;
    }
  }
  return std::nullopt;
}

// Sets one field from its text; returns an error text, empty on success.
std::string Assign(std::span<std::uint8_t> payload, const Field& field, std::string_view text,
                   std::span<const ValueName> names) {
  const std::string name(field.name);
  switch (field.type) {
    case FieldType::kF32: {
      std::optional<double> value = ReadNumber(text);
      if (const std::optional<int> named = NamedValue(names, text)) {
        value = *named;
      }
      if (!value) {
        return name + ": not a number: " + std::string(text);
      }
      const std::array<float, 1> one = {static_cast<float>(*value)};
      StoreFloats(payload, field, one);
      return {};
    }
    case FieldType::kVector: {
      const std::optional<std::vector<float>> values = ReadVector(text);
      if (!values) {
        return name + ": expected three numbers x,y,z: " + std::string(text);
      }
      StoreFloats(payload, field, *values);
      return {};
    }
    case FieldType::kText:
      if (text.size() > FieldWidth(field)) {
        return name + ": longer than " + std::to_string(FieldWidth(field)) + " characters";
      }
      StoreText(payload, field, text);
      return {};
    default:
      break;
  }
  std::optional<std::int64_t> value = ReadInteger(text);
  if (const std::optional<int> named = NamedValue(names.empty() ? field.names : names, text)) {
    value = *named;
  }
  const Range range = RangeOf(field.type);
  if (!value || *value < range.low || *value > range.high) {
    return name + ": expected a whole number from " + std::to_string(range.low) + " to " +
           std::to_string(range.high) + ": " + std::string(text);
  }
  StoreInteger(payload, field, *value);
  return {};
}

// raw@OFFSET=HEX writes bytes as they are, for fields the module does not read.
std::string AssignRaw(std::span<std::uint8_t> payload, std::string_view key, std::string_view text) {
  const std::optional<std::int64_t> offset = ReadInteger(key.substr(4));
  const std::optional<std::vector<std::uint8_t>> bytes = ReadHex(text);
  if (!offset || !bytes || *offset < 0 ||
      static_cast<std::size_t>(*offset) + bytes->size() > payload.size()) {
    return std::string(key) + ": expected hex byte pairs inside the " +
           std::to_string(payload.size()) + "-byte packet";
  }
  std::copy(bytes->begin(), bytes->end(), payload.begin() + *offset);
  return {};
}

std::string AssignWord(const Command& command, std::span<std::uint8_t> payload,
                       std::string_view word, std::set<std::string_view>& seen) {
  const std::size_t equals = word.find('=');
  if (equals == std::string_view::npos) {
    return "expected name=value: " + std::string(word);
  }
  std::string_view key = word.substr(0, equals);
  const std::string_view value = word.substr(equals + 1);
  if (key.starts_with("raw@")) {
    return AssignRaw(payload, key, value);
  }
  if (!command.alias.empty() && key == command.alias) {
    key = command.aliasedField;
  }
  const Field* field = FindField(command.layout(), key);
  if (field == nullptr) {
    return "no field '" + std::string(key) + "' in " + std::string(command.word);
  }
  if (!seen.insert(field->name).second) {
    return "field '" + std::string(key) + "' given twice";
  }
  return Assign(payload, *field, value, {});
}

// `bytes HEX`: a payload of any size, exactly as given (recorded sessions play back so).
CommandResult BuildBytes(std::span<const std::string> words) {
  CommandResult result;
  // An empty payload is the command alone.
  const std::optional<std::vector<std::uint8_t>> bytes =
      words.size() == 1   ? std::vector<std::uint8_t>()
      : words.size() == 2 ? ReadHex(words[1])
                          : std::nullopt;
  if (!bytes || bytes->size() > kMaxPayloadBytes) {
    result.error = "bytes needs one word of hex byte pairs, at most " +
                   std::to_string(kMaxPayloadBytes) + " bytes";
    return result;
  }
  result.payload = *bytes;
  return result;
}

}  // namespace

bool IsPacketCommand(const std::string& word) {
  return word == kBytesCommand || FindCommand(word) != nullptr;
}

CommandResult BuildPacket(std::span<const std::string> words) {
  if (!words.empty() && words[0] == kBytesCommand) {
    return BuildBytes(words);
  }
  CommandResult result;
  const Command* command = words.empty() ? nullptr : FindCommand(words[0]);
  if (command == nullptr) {
    result.error = words.empty() ? "empty command" : "unknown command: " + words[0];
    return result;
  }
  const PacketLayout& layout = command->layout();
  result.payload.assign(layout.size, 0);
  std::set<std::string_view> seen;
  if (!command->presetField.empty()) {
    // A default: the scenario may still set it.
    StoreInteger(result.payload, *FindField(layout, command->presetField), command->presetValue);
  }
  std::size_t next = 1;
  const bool leading = !command->leadingField.empty() && words.size() > 1 &&
                       words[1].find('=') == std::string::npos;
  if (leading) {
    const Field& field = *FindField(layout, command->leadingField);
    if (!Assign(result.payload, field, words[1], command->leadingNames).empty()) {
      result.error = "unknown " + std::string(command->word == "ship" ? "ship event" : "event code") +
                     ": " + words[1];
      return result;
    }
    seen.insert(field.name);
    next = 2;
  }
  for (std::size_t i = next; i < words.size() && result.error.empty(); ++i) {
    result.error = AssignWord(*command, result.payload, words[i], seen);
  }
  // The code (or ship event) may come first or as code=/a=, but it must come.
  if (result.error.empty() && !command->leadingField.empty() && !seen.contains(command->leadingField)) {
    result.error = std::string(command->word) + " needs its " +
                   (command->word == "ship" ? "ship event" : "event code");
  }
  return result;
}

}  // namespace console_sim
