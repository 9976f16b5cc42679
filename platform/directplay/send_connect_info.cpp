// DN_SEND_CONNECT_INFO: the application description and the name table.
#include "platform/directplay/core_messages.h"
#include "platform/directplay/core_wire.h"

namespace dpnet {

namespace {

// dwSize of the description: its flags, three counts, four (offset, size) pairs and
// two GUIDs, dwSize itself included.
constexpr std::uint32_t kSessionDescSize = 4 * 4 + 4 * 8 + 2 * 16;
// Type, the reply's pair, the description, the joining player's id, two versions and
// the two counts.
constexpr std::size_t kFixedSize = 4 + 8 + kSessionDescSize + 5 * 4;
constexpr std::size_t kEntrySize = 6 * 4 + 3 * 8;
constexpr std::size_t kMembershipSize = 4 * 4;

struct EntryFields {
  FieldRef name;
  FieldRef data;
  FieldRef url;
};

void PutEntry(Bytes& out, const NameTableEntry& entry, const EntryFields& fields) {
  for (std::uint32_t value : {entry.dpnid, entry.owner, entry.flags, entry.version,
                              entry.versionNotUsed, entry.dnetVersion}) {
    PutU32(out, value);
  }
  for (FieldRef field : {fields.name, fields.data, fields.url}) PutField(out, field);
}

NameTableEntry ReadEntry(WireReader& reader) {
  NameTableEntry entry;
  for (std::uint32_t* value : {&entry.dpnid, &entry.owner, &entry.flags, &entry.version,
                               &entry.versionNotUsed, &entry.dnetVersion}) {
    *value = reader.U32();
  }
  const FieldRef name = reader.Field();
  const FieldRef data = reader.Field();
  const FieldRef url = reader.Field();
  entry.name = reader.WideText(name);
  entry.data = reader.Blob(data);
  entry.url = reader.NarrowText(url);
  return entry;
}

NameTableMembership ReadMembership(WireReader& reader) {
  NameTableMembership membership;
  for (std::uint32_t* value :
       {&membership.player, &membership.group, &membership.version, &membership.versionNotUsed}) {
    *value = reader.U32();
  }
  return membership;
}

}  // namespace

Bytes Encode(const SendConnectInfo& message) {
  const SessionDesc& session = message.session;
  // The variable fields follow the fixed part in this order: the entries' strings from
  // the last entry to the first, then the description's, then the reply.
  VariableFields fields(kFixedSize + kEntrySize * message.entries.size() +
                        kMembershipSize * message.memberships.size());
  std::vector<EntryFields> entryFields(message.entries.size());
  for (std::size_t i = message.entries.size(); i-- > 0;) {
    const NameTableEntry& entry = message.entries[i];
    entryFields[i].url = fields.Add(NarrowTextBytes(entry.url));
    entryFields[i].data = fields.Add(entry.data);
    entryFields[i].name = fields.Add(WideTextBytes(entry.name));
  }
  const FieldRef applicationReserved = fields.Add(session.applicationReservedData);
  const FieldRef reserved = fields.Add(session.reservedData);
  const FieldRef password = fields.Add(WideTextBytes(session.password));
  const FieldRef sessionName = fields.Add(WideTextBytes(session.sessionName));
  const FieldRef reply = fields.Add(message.reply);

  Bytes out = StartMessage(CoreType::kSendConnectInfo);
  PutField(out, reply);
  for (std::uint32_t value :
       {kSessionDescSize, session.flags, session.maxPlayers, session.currentPlayers}) {
    PutU32(out, value);
  }
  for (FieldRef field : {sessionName, password, reserved, applicationReserved}) {
    PutField(out, field);
  }
  PutGuid(out, session.instance);
  PutGuid(out, session.application);
  for (std::uint32_t value : {message.dpnid, message.version, message.versionNotUsed,
                              static_cast<std::uint32_t>(message.entries.size()),
                              static_cast<std::uint32_t>(message.memberships.size())}) {
    PutU32(out, value);
  }
  for (std::size_t i = 0; i < message.entries.size(); ++i) {
    PutEntry(out, message.entries[i], entryFields[i]);
  }
  for (const NameTableMembership& membership : message.memberships) {
    for (std::uint32_t value :
         {membership.player, membership.group, membership.version, membership.versionNotUsed}) {
      PutU32(out, value);
    }
  }
  fields.AppendTo(out);
  return out;
}

std::optional<SendConnectInfo> DecodeSendConnectInfo(std::span<const std::uint8_t> message) {
  WireReader reader(message);
  if (!reader.ReadType(CoreType::kSendConnectInfo)) return std::nullopt;
  SendConnectInfo info;
  SessionDesc& session = info.session;
  const FieldRef reply = reader.Field();
  reader.U32();  // dwSize: the description's layout is fixed whatever it says
  session.flags = reader.U32();
  session.maxPlayers = reader.U32();
  session.currentPlayers = reader.U32();
  const FieldRef sessionName = reader.Field();
  const FieldRef password = reader.Field();
  const FieldRef reserved = reader.Field();
  const FieldRef applicationReserved = reader.Field();
  session.instance = reader.Guid();
  session.application = reader.Guid();
  info.dpnid = reader.U32();
  info.version = reader.U32();
  info.versionNotUsed = reader.U32();
  const std::uint32_t entryCount = reader.U32();
  const std::uint32_t membershipCount = reader.U32();
  if (!reader.Holds(entryCount, kEntrySize)) return std::nullopt;
  for (std::uint32_t i = 0; i < entryCount; ++i) info.entries.push_back(ReadEntry(reader));
  if (!reader.Holds(membershipCount, kMembershipSize)) return std::nullopt;
  for (std::uint32_t i = 0; i < membershipCount; ++i) {
    info.memberships.push_back(ReadMembership(reader));
  }
  session.sessionName = reader.WideText(sessionName);
  session.password = reader.WideText(password);
  session.reservedData = reader.Blob(reserved);
  session.applicationReservedData = reader.Blob(applicationReserved);
  info.reply = reader.Blob(reply);
  if (!reader.Ok()) return std::nullopt;
  return info;
}

}  // namespace dpnet
