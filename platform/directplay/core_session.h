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
class CoreClient {
 public:
  explicit CoreClient(GUID application);
  void OnLinkEvent(const LinkEvent& event);
  // Application data to the host; false (nothing queued) before the connect completed
  // or after the session ended.
  bool Send(std::span<const std::uint8_t> payload, bool guaranteed);
  // The application leaves: a graceful disconnect of the link.
  void Leave();
  std::vector<LinkRequest> TakeRequests();
  std::vector<ClientEvent> TakeEvents();
};

// What the host's application is told about its one client.
struct HostEvent {
  enum class Kind { kAccepted, kRefused, kReceive, kEnded };
  Kind kind = Kind::kAccepted;
  Bytes payload;  // kReceive
  // kEnded: how the link closed (the client left, hard disconnect, lost...).
  CloseReason reason = CloseReason::kLocal;
};

// The host's side for one client: checks the connect info (a wrong application GUID is
// answered with DN_CONNECT_FAILED and refused), answers with the session's connect
// info, counts the client in when it acknowledges, and ends the session with
// DN_TERMINATE_SESSION.
class CoreHost {
 public:
  CoreHost(GUID application, std::u16string sessionName);
  void OnLinkEvent(const LinkEvent& event);
  // Application data to the client; false before kAccepted or after kEnded.
  bool Send(std::span<const std::uint8_t> payload, bool guaranteed);
  // DN_TERMINATE_SESSION, then a graceful disconnect.
  void Terminate();
  std::vector<LinkRequest> TakeRequests();
  std::vector<HostEvent> TakeEvents();
};

}  // namespace dpnet
