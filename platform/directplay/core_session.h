// The DirectPlay 8 core layer of a client/server session above one reliable link, as
// pure state machines: link events go in; core messages to send, link requests and the
// session's messages come out. No sockets, clock or threads; the owner drives one from
// one thread (or under one lock), together with its ReliableLink.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "app/platform_types.h"
#include "platform/directplay/core_messages.h"
#include "platform/directplay/reliable_link.h"

namespace dpnet {

// What the core layer asks of the reliable link below it, in order.
struct LinkRequest {
  enum class Kind { kSend, kDisconnect, kHardDisconnect };
  Kind kind = Kind::kSend;
  Bytes payload;  // kSend
  SendKind how;   // kSend
};

// What the client's application is told: the three messages of the session.
struct ClientEvent {
  enum class Kind { kConnectComplete, kReceive, kTerminate };
  Kind kind = Kind::kConnectComplete;
  HRESULT result = 0;  // kConnectComplete, kTerminate
  Bytes payload;       // kReceive: exactly as sent
};

// The client's side: after the link connects it sends its connect info with the
// application GUID, completes on the host's answer, then hands application payloads up.
// Exactly one kConnectComplete; after a successful one, at most one kTerminate, last.
// A refusal, a malformed answer or a link that closes first is a failed connect-complete
// (the host's reason, DPNERR_TIMEDOUT, DPNERR_HOSTREJECTEDCONNECTION, DPNERR_NOCONNECTION).
class CoreClient {
 public:
  explicit CoreClient(GUID application);
  void OnLinkEvent(const LinkEvent& event);
  // Application data to the host; false (nothing queued) before the connect completed,
  // after the session ended or left, or for an empty payload.
  bool Send(std::span<const std::uint8_t> payload, bool guaranteed);
  // The application leaves: a graceful disconnect of the link; nothing more is handed
  // up but the session's end when the link has closed.
  void Leave();
  std::vector<LinkRequest> TakeRequests();
  std::vector<ClientEvent> TakeEvents();

 private:
  enum class State { kLinking, kJoining, kJoined, kEnded };

  void OnCoreMessage(std::span<const std::uint8_t> message);
  void OnJoinAnswer(CoreType type, std::span<const std::uint8_t> message);
  void OnSessionMessage(CoreType type, std::span<const std::uint8_t> message);
  void OnLinkClosed(CloseReason reason);
  void FailConnect(HRESULT result);
  void Deliver(std::span<const std::uint8_t> payload);

  GUID application_;
  State state_ = State::kLinking;
  bool leaving_ = false;
  std::vector<LinkRequest> requests_;
  std::vector<ClientEvent> events_;
};

// What the host's application is told about its one client.
struct HostEvent {
  enum class Kind { kAccepted, kRefused, kReceive, kEnded };
  Kind kind = Kind::kAccepted;
  Bytes payload;  // kReceive
  // kEnded: how the link closed (the client left, hard disconnect, lost...).
  CloseReason reason = CloseReason::kLocal;
};

// The instance GUID of the session a CoreHost hosts unless given another.
constexpr GUID kHostInstance{
    0x5E1A0C47, 0x2B9D, 0x4F31, {0x8C, 0x6E, 0x0D, 0x47, 0xA9, 0x3B, 0x12, 0xF5}};

// The host's side for one client: checks the connect info (a wrong application GUID is
// answered with DN_CONNECT_FAILED and refused), answers with the session's connect
// info, counts the client in when it acknowledges, and ends the session with
// DN_TERMINATE_SESSION. A malformed connect info is ignored. kAccepted or kRefused at
// most once; kEnded once, last, when the link has closed.
class CoreHost {
 public:
  // maxPlayers 0: no limit is announced.
  CoreHost(GUID application, std::u16string sessionName, std::uint32_t maxPlayers = 0,
           GUID instance = kHostInstance);
  void OnLinkEvent(const LinkEvent& event);
  // Application data to the client; false before kAccepted, after Terminate or kEnded,
  // or for an empty payload.
  bool Send(std::span<const std::uint8_t> payload, bool guaranteed);
  // DN_TERMINATE_SESSION, then a graceful disconnect; once, while the link is open.
  void Terminate();
  std::vector<LinkRequest> TakeRequests();
  std::vector<HostEvent> TakeEvents();

 private:
  enum class State { kWaitingInfo, kWaitingAck, kAccepted, kClosing, kEnded };

  void OnCoreMessage(std::span<const std::uint8_t> message);
  void OnConnectInfo(std::span<const std::uint8_t> message);
  HRESULT Check(const PlayerConnectInfo& info) const;
  SendConnectInfo Welcome(const PlayerConnectInfo& info) const;
  void Close();

  GUID application_;
  std::u16string sessionName_;
  std::uint32_t maxPlayers_;
  GUID instance_;
  State state_ = State::kWaitingInfo;
  std::vector<LinkRequest> requests_;
  std::vector<HostEvent> events_;
};

}  // namespace dpnet
