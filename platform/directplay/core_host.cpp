#include <utility>

#include "link/direct_play.h"
#include "platform/directplay/core_session.h"
#include "platform/directplay/link_requests.h"

namespace dpnet {

namespace {

// Name-table places: the all-players group took index and version 1, the host player
// 2, and the client who joins 3; each entry's version is the table's after adding it.
constexpr std::uint32_t kHostIndex = 2;
constexpr std::uint32_t kClientIndex = 3;
// The host player and the client.
constexpr std::uint32_t kPlayerCount = 2;

}  // namespace

CoreHost::CoreHost(GUID application, std::u16string sessionName, std::uint32_t maxPlayers,
                   GUID instance)
    : application_(application),
      sessionName_(std::move(sessionName)),
      maxPlayers_(maxPlayers),
      instance_(instance) {}

void CoreHost::OnLinkEvent(const LinkEvent& event) {
  switch (event.kind) {
    case LinkEvent::Kind::kConnected:
      return;  // the client speaks first
    case LinkEvent::Kind::kMessage:
      if (event.voice) return;  // voice is not the application's data
      if (event.core) {
        OnCoreMessage(event.message);
      } else if (state_ == State::kAccepted) {
        events_.push_back({HostEvent::Kind::kReceive, event.message, CloseReason::kLocal});
      }
      return;
    case LinkEvent::Kind::kClosed:
      if (state_ == State::kEnded) return;
      state_ = State::kEnded;
      events_.push_back({HostEvent::Kind::kEnded, {}, event.reason});
      return;
  }
}

void CoreHost::OnCoreMessage(std::span<const std::uint8_t> message) {
  const auto type = PeekCoreType(message);
  if (type == CoreType::kPlayerConnectInfo && state_ == State::kWaitingInfo) {
    OnConnectInfo(message);
  } else if (type == CoreType::kAckConnectInfo && state_ == State::kWaitingAck) {
    state_ = State::kAccepted;
    events_.push_back({HostEvent::Kind::kAccepted, {}, CloseReason::kLocal});
  }
}

void CoreHost::OnConnectInfo(std::span<const std::uint8_t> message) {
  const auto info = DecodePlayerConnectInfo(message);
  if (!info) return;  // unreadable: ignored, the client may still send a good one
  const HRESULT verdict = Check(*info);
  if (Failed(verdict)) {
    requests_.push_back(CoreSendRequest(Encode(ConnectFailed{verdict, {}})));
    Close();
    events_.push_back({HostEvent::Kind::kRefused, {}, CloseReason::kLocal});
    return;
  }
  requests_.push_back(CoreSendRequest(Encode(Welcome(*info))));
  state_ = State::kWaitingAck;
}

HRESULT CoreHost::Check(const PlayerConnectInfo& info) const {
  if (info.application != application_) return DPNERR_INVALIDAPPLICATION;
  if (info.instance != GUID_NULL && info.instance != instance_) return DPNERR_INVALIDINSTANCE;
  if ((info.flags & kObjectTypeClient) == 0) return DPNERR_INVALIDINTERFACE;
  if (info.dnetVersion == 0 || info.dnetVersion > kLastKnownVersion) {
    return DPNERR_INVALIDVERSION;
  }
  return S_OK;
}

SendConnectInfo CoreHost::Welcome(const PlayerConnectInfo& info) const {
  SendConnectInfo welcome;
  welcome.session.flags = kSessionClientServer | DPNSESSION_NODPNSVR;
  welcome.session.maxPlayers = maxPlayers_;
  welcome.session.currentPlayers = kPlayerCount;
  welcome.session.sessionName = sessionName_;
  welcome.session.instance = instance_;
  welcome.session.application = application_;
  welcome.dpnid = MakeDpnid(kClientIndex, kClientIndex, instance_);
  welcome.version = kClientIndex;

  NameTableEntry host;
  host.dpnid = MakeDpnid(kHostIndex, kHostIndex, instance_);
  host.flags = kEntryHost | kEntryServer;
  host.version = kHostIndex;
  host.dnetVersion = kDnetVersion;
  NameTableEntry client;
  client.dpnid = welcome.dpnid;
  client.flags = kEntryClient;
  client.version = kClientIndex;
  client.dnetVersion = info.dnetVersion;
  client.name = info.name;
  client.data = info.data;
  welcome.entries = {host, client};
  return welcome;
}

bool CoreHost::Send(std::span<const std::uint8_t> payload, bool guaranteed) {
  if (state_ != State::kAccepted || payload.empty()) return false;
  requests_.push_back(DataSendRequest(payload, guaranteed));
  return true;
}

void CoreHost::Terminate() {
  if (state_ == State::kClosing || state_ == State::kEnded) return;
  requests_.push_back(CoreSendRequest(Encode(TerminateSession{})));
  Close();
}

void CoreHost::Close() {
  state_ = State::kClosing;
  requests_.push_back(DisconnectRequest());
}

std::vector<LinkRequest> CoreHost::TakeRequests() { return std::exchange(requests_, {}); }

std::vector<HostEvent> CoreHost::TakeEvents() { return std::exchange(events_, {}); }

}  // namespace dpnet
