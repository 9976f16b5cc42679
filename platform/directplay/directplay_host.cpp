#include "platform/directplay/directplay_host.h"

#include <utility>

#include "platform/directplay/layer_exchange.h"

namespace {

using dpnet::Clock;
using dpnet::CloseReason;
using dpnet::HostEvent;

SessionEnd EndOf(CloseReason reason, bool weEnded) {
  if (weEnded) {
    return SessionEnd::kLocal;
  }
  switch (reason) {
    case CloseReason::kGraceful:
      return SessionEnd::kPeerTerminated;
    case CloseReason::kHardDisconnect:
    case CloseReason::kLost:
      return SessionEnd::kPeerLeft;
    case CloseReason::kLocal:
      return SessionEnd::kLocal;
    default:
      return SessionEnd::kBroken;
  }
}

template <typename Predicate>
bool WaitFor(std::condition_variable& changed, std::unique_lock<std::mutex>& lock,
             std::chrono::milliseconds timeout, Predicate ready) {
  if (timeout.count() < 0) {
    changed.wait(lock, ready);
    return true;
  }
  return changed.wait_for(lock, timeout, ready);
}

}  // namespace

DirectPlayHost::DirectPlayHost(std::uint16_t port, DirectPlayHostOptions options)
    : options_(std::move(options)),
      work_(io_.get_executor()),
      socket_(io_, asio::ip::udp::endpoint(asio::ip::address_v4::loopback(), port)),
      timer_(io_) {
  port_ = socket_.local_endpoint().port();
  socket_.non_blocking(true);
  Receive();
  worker_ = std::thread([this] { io_.run(); });
}

// A module still in session is dropped as a host that goes away drops it.
DirectPlayHost::~DirectPlayHost() {
  asio::post(io_, [this] {
    if (link_ && !link_->Closed()) {
      terminating_ = true;
      link_->HardDisconnect(Clock::now());
      Pump();
    }
    asio::error_code ignored;
    socket_.close(ignored);
    timer_.cancel();
  });
  work_.reset();
  worker_.join();
}

template <typename Action>
void DirectPlayHost::OnWorker(Action action) {
  asio::post(io_, [this, action = std::move(action)]() mutable {
    if (link_) {
      action();
      Pump();
    }
  });
}

AcceptOutcome DirectPlayHost::Accept(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  if (!WaitFor(changed_, lock, timeout, [this] { return outcome_.has_value(); })) {
    return AcceptOutcome::kTimedOut;
  }
  const AcceptOutcome outcome = *outcome_;
  outcome_.reset();
  return outcome;
}

bool DirectPlayHost::SendData(std::span<const std::uint8_t> payload, bool guaranteed) {
  {
    std::lock_guard hold(mutex_);
    if (phase_ != Phase::kSession || payload.size() > LINK_MAX_PAYLOAD) {
      return false;
    }
  }
  OnWorker([this, bytes = dpnet::Bytes(payload.begin(), payload.end()), guaranteed] {
    core_->Send(bytes, guaranteed);
  });
  return true;
}

void DirectPlayHost::Terminate() {
  OnWorker([this] {
    terminating_ = true;
    core_->Terminate();
  });
}

void DirectPlayHost::HardDisconnect() {
  OnWorker([this] {
    terminating_ = true;
    link_->HardDisconnect(Clock::now());
  });
}

std::optional<std::vector<std::uint8_t>> DirectPlayHost::Receive(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  WaitFor(changed_, lock, timeout, [this] { return !received_.empty() || end_.has_value(); });
  if (received_.empty()) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> payload = std::move(received_.front());
  received_.pop_front();
  return payload;
}

std::optional<SessionEnd> DirectPlayHost::WaitForEnd(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  WaitFor(changed_, lock, timeout, [this] { return end_.has_value(); });
  return end_;
}

void DirectPlayHost::Receive() {
  socket_.async_receive_from(asio::buffer(datagram_), sender_,
                             [this](const asio::error_code& error, std::size_t size) {
                               OnReceived(error, size);
                             });
}

void DirectPlayHost::OnReceived(const asio::error_code& error, std::size_t size) {
  if (error == asio::error::operation_aborted || !socket_.is_open()) {
    return;
  }
  if (!error) {
    OnDatagram(std::span(datagram_.data(), size));
  }
  Receive();  // an error on one datagram (a refused earlier send) does not end the host
}

// The first CONNECT from an address while no module is in makes that address the peer;
// everything else from elsewhere is dropped.
void DirectPlayHost::OnDatagram(std::span<const std::uint8_t> datagram) {
  const Clock::time_point now = Clock::now();
  if (peer_) {
    if (sender_ == *peer_) {
      link_->OnDatagram(datagram, now);
      Pump();
    }
    return;
  }
  std::optional<dpnet::ReliableLink> link = dpnet::ReliableLink::Accept(datagram, now, options_.link);
  if (!link) {
    return;
  }
  peer_ = sender_;
  link_.emplace(std::move(*link));
  core_.emplace(options_.application, options_.sessionName);
  connectDeadline_ = now + options_.connectWait;
  terminating_ = false;
  {
    std::lock_guard hold(mutex_);
    phase_ = Phase::kConnecting;
  }
  Pump();
}

void DirectPlayHost::Pump() {
  dpnet::ExchangeBetweenLayers(*link_, *core_, Clock::now());
  for (const dpnet::Bytes& datagram : link_->TakeDatagrams()) {
    asio::error_code ignored;  // one the system could not take is one lost on the way
    socket_.send_to(asio::buffer(datagram), *peer_, 0, ignored);
  }
  for (HostEvent& event : core_->TakeEvents()) {
    OnHostEvent(event);
  }
  if (link_->Closed()) {
    Forget();
    return;
  }
  ArmTimer();
}

void DirectPlayHost::OnHostEvent(HostEvent& event) {
  std::lock_guard hold(mutex_);
  switch (event.kind) {
    case HostEvent::Kind::kAccepted:
      phase_ = Phase::kSession;
      outcome_ = AcceptOutcome::kAccepted;
      received_.clear();
      end_.reset();
      break;
    case HostEvent::Kind::kRefused:
      phase_ = Phase::kEnded;
      outcome_ = AcceptOutcome::kRefused;
      break;
    case HostEvent::Kind::kReceive:
      received_.push_back(std::move(event.payload));
      break;
    case HostEvent::Kind::kEnded:
      if (phase_ == Phase::kSession) {
        end_ = EndOf(event.reason, terminating_);
      } else if (phase_ == Phase::kConnecting) {
        outcome_ = AcceptOutcome::kBroken;
      }
      phase_ = Phase::kEnded;
      break;
  }
  changed_.notify_all();
}

void DirectPlayHost::ArmTimer() {
  std::optional<Clock::time_point> deadline = link_->NextDeadline();
  bool connecting = false;
  {
    std::lock_guard hold(mutex_);
    connecting = phase_ == Phase::kConnecting;
  }
  if (connecting && (!deadline || connectDeadline_ < *deadline)) {
    deadline = connectDeadline_;
  }
  if (!deadline) {
    timer_.cancel();
    return;
  }
  timer_.expires_at(*deadline);
  timer_.async_wait([this, connecting](const asio::error_code& error) {
    if (error || !link_) {
      return;
    }
    const Clock::time_point now = Clock::now();
    if (connecting && now >= connectDeadline_) {
      link_->HardDisconnect(now);  // a connect that never finished
    } else {
      link_->OnTime(now);
    }
    Pump();
  });
}

// Ready for the next module; what the session left for the caller stays.
void DirectPlayHost::Forget() {
  timer_.cancel();
  peer_.reset();
  link_.reset();
  core_.reset();
  std::lock_guard hold(mutex_);
  if (phase_ != Phase::kSession) {
    phase_ = Phase::kWaiting;
  }
}
