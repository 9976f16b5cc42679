// DN_INTERNAL_MESSAGE_PLAYER_CONNECT_INFO and its extended form.
#include "platform/directplay/core_messages.h"
#include "platform/directplay/core_wire.h"

namespace dpnet {

namespace {

// Type, flags, version, five (offset, size) pairs and two GUIDs; the extended form
// adds one more pair for the alternate addresses.
constexpr std::size_t kFixedSize = 4 + 4 + 4 + 5 * 8 + 2 * 16;
constexpr std::size_t kExtendedFixedSize = kFixedSize + 8;

bool Extended(const PlayerConnectInfo& message) {
  return message.dnetVersion >= kFirstExtendedVersion;
}

}  // namespace

Bytes Encode(const PlayerConnectInfo& message) {
  const bool extended = Extended(message);
  // The variable fields follow the fixed part in this order.
  VariableFields fields(extended ? kExtendedFixedSize : kFixedSize);
  const FieldRef alternate = extended ? fields.Add(message.alternateAddresses) : FieldRef{};
  const FieldRef url = fields.Add(NarrowTextBytes(message.url));
  const FieldRef connectData = fields.Add(message.connectData);
  const FieldRef password = fields.Add(WideTextBytes(message.password));
  const FieldRef data = fields.Add(message.data);
  const FieldRef name = fields.Add(WideTextBytes(message.name));

  Bytes out = StartMessage(CoreType::kPlayerConnectInfo);
  PutU32(out, message.flags);
  PutU32(out, message.dnetVersion);
  for (FieldRef field : {name, data, password, connectData, url}) PutField(out, field);
  PutGuid(out, message.instance);
  PutGuid(out, message.application);
  if (extended) PutField(out, alternate);
  fields.AppendTo(out);
  return out;
}

std::optional<PlayerConnectInfo> DecodePlayerConnectInfo(std::span<const std::uint8_t> message) {
  WireReader reader(message);
  if (!reader.ReadType(CoreType::kPlayerConnectInfo)) return std::nullopt;
  PlayerConnectInfo info;
  info.flags = reader.U32();
  info.dnetVersion = reader.U32();
  const FieldRef name = reader.Field();
  const FieldRef data = reader.Field();
  const FieldRef password = reader.Field();
  const FieldRef connectData = reader.Field();
  const FieldRef url = reader.Field();
  info.instance = reader.Guid();
  info.application = reader.Guid();
  if (Extended(info)) info.alternateAddresses = reader.Blob(reader.Field());
  info.name = reader.WideText(name);
  info.data = reader.Blob(data);
  info.password = reader.WideText(password);
  info.connectData = reader.Blob(connectData);
  info.url = reader.NarrowText(url);
  if (!reader.Ok()) return std::nullopt;
  return info;
}

}  // namespace dpnet
