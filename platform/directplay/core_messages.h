// The core messages of a client/server session, as values, and their encoding: what
// travels with USER_1 above the reliable link. Every message starts with its 32-bit
// type; strings are UTF-16LE with a terminating zero. Decoders check every offset and
// size against the message and give nullopt for anything malformed. Pure; any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/platform_types.h"
#include "platform/directplay/reliable_link.h"

namespace dpnet {

// Unscoped so that a type is the number the message starts with.
enum CoreType : std::uint32_t {
  kPlayerConnectInfo = 0xC1,
  kSendConnectInfo = 0xC2,
  kAckConnectInfo = 0xC3,
  kConnectFailed = 0xC5,
  kTerminateSession = 0xDF,
  kRequestProcessCompletion = 0xE0,
  kProcessCompletion = 0xE1,
};

// Nullopt when the message is shorter than its type.
std::optional<CoreType> PeekCoreType(std::span<const std::uint8_t> message);

// Who connects (dwFlags of the connect info).
constexpr std::uint32_t kObjectTypeClient = 0x2;
constexpr std::uint32_t kObjectTypePeer = 0x4;
// Session flags of the application description.
constexpr std::uint32_t kSessionClientServer = 0x1;
// Name-table entry flags.
constexpr std::uint32_t kEntryHost = 0x2;
constexpr std::uint32_t kEntryPeer = 0x100;
constexpr std::uint32_t kEntryClient = 0x200;
constexpr std::uint32_t kEntryServer = 0x400;
// The version this side gives in its connect info and name-table entry: DirectX 8.1,
// in the plain connect-info form. Every host from 8.1 on knows it, and a host of the
// extended form must accept the plain one too; its one addition, alternate addresses,
// is of no use on a loopback link.
constexpr std::uint32_t kDnetVersion = 2;
// Connect info versions from 7 on carry alternate addresses (the extended form).
constexpr std::uint32_t kFirstExtendedVersion = 7;
constexpr std::uint32_t kLastKnownVersion = 8;

// Why a host turns a connect away (DN_CONNECT_FAILED).
constexpr HRESULT DPNERR_INVALIDAPPLICATION = static_cast<HRESULT>(0x80158300u);
constexpr HRESULT DPNERR_INVALIDINSTANCE = static_cast<HRESULT>(0x80158380u);
constexpr HRESULT DPNERR_INVALIDINTERFACE = static_cast<HRESULT>(0x80158390u);
constexpr HRESULT DPNERR_INVALIDVERSION = static_cast<HRESULT>(0x80158460u);

// DN_INTERNAL_MESSAGE_PLAYER_CONNECT_INFO, or its extended form when dnetVersion is 7
// or more (only that form carries alternate addresses).
struct PlayerConnectInfo {
  std::uint32_t flags = 0;
  std::uint32_t dnetVersion = 0;
  std::u16string name;
  Bytes data;
  std::u16string password;
  Bytes connectData;
  std::string url;
  GUID instance = GUID_NULL;
  GUID application = GUID_NULL;
  Bytes alternateAddresses;
  friend bool operator==(const PlayerConnectInfo&, const PlayerConnectInfo&) = default;
};

// The application description inside DN_SEND_CONNECT_INFO.
struct SessionDesc {
  std::uint32_t flags = 0;
  std::uint32_t maxPlayers = 0;
  std::uint32_t currentPlayers = 0;
  std::u16string sessionName;
  std::u16string password;
  Bytes reservedData;
  Bytes applicationReservedData;
  GUID instance = GUID_NULL;
  GUID application = GUID_NULL;
  friend bool operator==(const SessionDesc&, const SessionDesc&) = default;
};

struct NameTableEntry {
  std::uint32_t dpnid = 0;
  std::uint32_t owner = 0;
  std::uint32_t flags = 0;
  std::uint32_t version = 0;
  std::uint32_t versionNotUsed = 0;
  std::uint32_t dnetVersion = 0;
  std::u16string name;
  Bytes data;
  std::string url;
  friend bool operator==(const NameTableEntry&, const NameTableEntry&) = default;
};

struct NameTableMembership {
  std::uint32_t player = 0;
  std::uint32_t group = 0;
  std::uint32_t version = 0;
  std::uint32_t versionNotUsed = 0;
  friend bool operator==(const NameTableMembership&, const NameTableMembership&) = default;
};

// DN_SEND_CONNECT_INFO: the session and its name table, to the player who joins.
struct SendConnectInfo {
  SessionDesc session;
  std::uint32_t dpnid = 0;  // the joining player's
  std::uint32_t version = 0;
  std::uint32_t versionNotUsed = 0;
  std::vector<NameTableEntry> entries;
  std::vector<NameTableMembership> memberships;
  Bytes reply;
  friend bool operator==(const SendConnectInfo&, const SendConnectInfo&) = default;
};

struct ConnectFailed {
  HRESULT result = 0;
  Bytes reply;
  friend bool operator==(const ConnectFailed&, const ConnectFailed&) = default;
};

struct TerminateSession {
  Bytes data;
  friend bool operator==(const TerminateSession&, const TerminateSession&) = default;
};

// DN_REQ_PROCESS_COMPLETION: application data whose sender wants DN_PROCESS_COMPLETION
// with the same context once it was handed to the application.
struct ProcessCompletionRequest {
  std::uint32_t context = 0;
  Bytes payload;
  friend bool operator==(const ProcessCompletionRequest&,
                         const ProcessCompletionRequest&) = default;
};

// A player's identifier: its name-table index and the table version that added it,
// hidden by the first 32 bits of the session's instance GUID.
std::uint32_t MakeDpnid(std::uint32_t index, std::uint32_t version, const GUID& instance);

Bytes Encode(const PlayerConnectInfo& message);
Bytes Encode(const SendConnectInfo& message);
Bytes Encode(const ConnectFailed& message);
Bytes Encode(const TerminateSession& message);
Bytes Encode(const ProcessCompletionRequest& message);
Bytes EncodeAckConnectInfo();
Bytes EncodeProcessCompletion(std::uint32_t context);

// Each takes a whole message, its type included, and checks the type.
std::optional<PlayerConnectInfo> DecodePlayerConnectInfo(std::span<const std::uint8_t> message);
std::optional<SendConnectInfo> DecodeSendConnectInfo(std::span<const std::uint8_t> message);
std::optional<ConnectFailed> DecodeConnectFailed(std::span<const std::uint8_t> message);
std::optional<TerminateSession> DecodeTerminateSession(std::span<const std::uint8_t> message);
std::optional<ProcessCompletionRequest> DecodeProcessCompletionRequest(
    std::span<const std::uint8_t> message);

}  // namespace dpnet
