#include <utility>

#include "link/direct_play.h"
#include "platform/directplay/core_session.h"
#include "platform/directplay/link_requests.h"

namespace dpnet {

namespace {

// A link that closed before the host answered.
HRESULT ConnectFailure(CloseReason reason) {
  switch (reason) {
    case CloseReason::kConnectTimedOut:
      return DPNERR_TIMEDOUT;
    case CloseReason::kConnectRefused:
      return DPNERR_HOSTREJECTEDCONNECTION;
    default:
      return DPNERR_NOCONNECTION;
  }
}

// The host's reason when it gives a failure, else a plain refusal.
HRESULT RefusalResult(std::span<const std::uint8_t> message) {
  const auto failed = DecodeConnectFailed(message);
  return failed && Failed(failed->result) ? failed->result : DPNERR_HOSTREJECTEDCONNECTION;
}

PlayerConnectInfo ConnectInfoFor(const GUID& application) {
  PlayerConnectInfo info;
  info.flags = kObjectTypeClient;
  info.dnetVersion = kDnetVersion;
  info.application = application;  // and a zero instance: whichever the host runs
  return info;
}

}  // namespace

CoreClient::CoreClient(GUID application) : application_(application) {}

void CoreClient::OnLinkEvent(const LinkEvent& event) {
  switch (event.kind) {
    case LinkEvent::Kind::kConnected:
      if (state_ != State::kLinking || leaving_) return;
      requests_.push_back(CoreSendRequest(Encode(ConnectInfoFor(application_))));
      state_ = State::kJoining;
      return;
    case LinkEvent::Kind::kMessage:
      if (leaving_ || event.voice) return;  // voice is not the application's data
      if (event.core) {
        OnCoreMessage(event.message);
      } else if (state_ == State::kJoined) {
        Deliver(event.message);
      }
      return;
    case LinkEvent::Kind::kClosed:
      OnLinkClosed(event.reason);
      return;
  }
}

void CoreClient::OnCoreMessage(std::span<const std::uint8_t> message) {
  const auto type = PeekCoreType(message);
  if (!type) return;
  if (state_ == State::kJoining) {
    OnJoinAnswer(*type, message);
  } else if (state_ == State::kJoined) {
    OnSessionMessage(*type, message);
  }
}

void CoreClient::OnJoinAnswer(CoreType type, std::span<const std::uint8_t> message) {
  switch (type) {
    case CoreType::kSendConnectInfo:
      // An answer we cannot read ends the attempt: we cannot acknowledge what we did
      // not take in.
      if (!DecodeSendConnectInfo(message)) {
        FailConnect(E_FAIL);
        return;
      }
      requests_.push_back(CoreSendRequest(EncodeAckConnectInfo()));
      state_ = State::kJoined;
      events_.push_back({ClientEvent::Kind::kConnectComplete, S_OK, {}});
      return;
    case CoreType::kConnectFailed:
      FailConnect(RefusalResult(message));
      return;
    case CoreType::kTerminateSession:
      if (DecodeTerminateSession(message)) FailConnect(DPNERR_HOSTREJECTEDCONNECTION);
      return;
    default:
      return;
  }
}

void CoreClient::OnSessionMessage(CoreType type, std::span<const std::uint8_t> message) {
  if (type == CoreType::kTerminateSession) {
    // An unreadable terminate is ignored; the link's own end still ends the session.
    if (!DecodeTerminateSession(message)) return;
    state_ = State::kEnded;
    events_.push_back({ClientEvent::Kind::kTerminate, S_OK, {}});
    requests_.push_back(DisconnectRequest());
  } else if (type == CoreType::kRequestProcessCompletion) {
    const auto request = DecodeProcessCompletionRequest(message);
    if (!request) return;
    Deliver(request->payload);
    requests_.push_back(CoreSendRequest(EncodeProcessCompletion(request->context)));
  }
  // Anything else a host may tell a client (name-table changes, information updates)
  // does not concern the module.
}

void CoreClient::OnLinkClosed(CloseReason reason) {
  if (state_ == State::kJoined) {
    const bool clean = leaving_ || reason == CloseReason::kGraceful;
    events_.push_back({ClientEvent::Kind::kTerminate, clean ? S_OK : DPNERR_CONNECTIONLOST, {}});
  } else if (state_ != State::kEnded) {
    events_.push_back({ClientEvent::Kind::kConnectComplete, ConnectFailure(reason), {}});
  }
  state_ = State::kEnded;
}

void CoreClient::FailConnect(HRESULT result) {
  state_ = State::kEnded;
  events_.push_back({ClientEvent::Kind::kConnectComplete, result, {}});
  requests_.push_back(DisconnectRequest());
}

void CoreClient::Deliver(std::span<const std::uint8_t> payload) {
  events_.push_back({ClientEvent::Kind::kReceive, S_OK, Bytes(payload.begin(), payload.end())});
}

bool CoreClient::Send(std::span<const std::uint8_t> payload, bool guaranteed) {
  if (state_ != State::kJoined || leaving_ || payload.empty()) return false;
  requests_.push_back(DataSendRequest(payload, guaranteed));
  return true;
}

void CoreClient::Leave() {
  if (state_ == State::kEnded || leaving_) return;
  leaving_ = true;
  requests_.push_back(DisconnectRequest());
}

std::vector<LinkRequest> CoreClient::TakeRequests() { return std::exchange(requests_, {}); }

std::vector<ClientEvent> CoreClient::TakeEvents() { return std::exchange(events_, {}); }

}  // namespace dpnet
