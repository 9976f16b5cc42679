#include "platform/link/link_host.h"

#include <utility>

#include "link/direct_play.h"

namespace {

using link_wire::FrameType;
using Verdict = FrameConnection::Verdict;

SessionEnd EndOf(FrameConnection::CloseCause cause) {
  switch (cause) {
    case FrameConnection::CloseCause::kStopped:
      return SessionEnd::kPeerTerminated;
    case FrameConnection::CloseCause::kBroken:
      return SessionEnd::kBroken;
    case FrameConnection::CloseCause::kLocal:
      return SessionEnd::kLocal;
    case FrameConnection::CloseCause::kPeerLeft:
      break;
  }
  return SessionEnd::kPeerLeft;
}

}  // namespace

LinkHost::LinkHost(std::uint16_t port, std::chrono::milliseconds connectWait)
    : work_(io_.get_executor()),
      acceptor_(io_, asio::ip::tcp::endpoint(asio::ip::address_v4::loopback(), port)),
      connectWait_(connectWait) {
  port_ = acceptor_.local_endpoint().port();
  worker_ = std::thread([this] { io_.run(); });
}

LinkHost::~LinkHost() {
  if (std::shared_ptr<FrameConnection> connection = Connection()) {
    connection->Close();
  }
  work_.reset();
  io_.stop();
  worker_.join();
}

std::shared_ptr<FrameConnection> LinkHost::Connection() {
  std::lock_guard hold(mutex_);
  return connection_;
}

template <typename Predicate>
bool LinkHost::WaitFor(std::unique_lock<std::mutex>& lock, std::chrono::milliseconds timeout,
                       Predicate ready) {
  if (timeout.count() < 0) {
    changed_.wait(lock, ready);
    return true;
  }
  return changed_.wait_for(lock, timeout, ready);
}

AcceptOutcome LinkHost::Accept(std::chrono::milliseconds timeout) {
  if (!AcceptConnection(timeout)) {
    return AcceptOutcome::kTimedOut;
  }
  const std::optional<link_wire::ConnectRequest> request = ReadConnect(connectWait_);
  if (!request) {
    if (std::shared_ptr<FrameConnection> connection = Connection()) {
      connection->Close();
    }
    return AcceptOutcome::kBroken;
  }
  const bool valid =
      request->application == APPLICATION_GUID && request->version == link_wire::kProtocolVersion;
  Reply(valid ? link_wire::kAccepted : link_wire::kRefused);
  return valid ? AcceptOutcome::kAccepted : AcceptOutcome::kRefused;
}

bool LinkHost::AcceptConnection(std::chrono::milliseconds timeout) {
  auto socket = std::make_shared<asio::ip::tcp::socket>(asio::make_strand(io_));
  auto wanted = std::make_shared<bool>(true);  // under mutex_
  {
    std::lock_guard hold(mutex_);
    if (connection_) {
      connection_->Close();  // an earlier module's session is over
    }
    phase_ = Phase::kNoSession;
    connection_.reset();
    connectRequest_.reset();
    received_.clear();
    end_.reset();
  }
  // The acceptor is touched on the worker thread only, so a cancel for an earlier
  // attempt that gave up runs before this attempt starts.
  asio::post(io_, [this, socket, wanted] {
    acceptor_.async_accept(*socket, [this, socket, wanted](const asio::error_code& error) {
      OnAccepted(error, std::move(*socket), *wanted);
    });
  });
  std::unique_lock lock(mutex_);
  if (WaitFor(lock, timeout, [this] { return phase_ != Phase::kNoSession; })) {
    return true;
  }
  *wanted = false;
  asio::post(io_, [this] { acceptor_.cancel(); });
  return false;
}

void LinkHost::OnAccepted(const asio::error_code& error, asio::ip::tcp::socket socket,
                          const bool& wanted) {
  std::lock_guard hold(mutex_);
  if (error || !wanted) {
    return;  // a late connection after the caller gave up is dropped with the socket
  }
  connection_ = FrameConnection::Create(std::move(socket));
  phase_ = Phase::kAwaitingConnect;
  const FrameConnection* current = connection_.get();
  connection_->Start(
      {[this, current](const link_wire::Frame& frame) { return OnFrame(current, frame); },
       [this, current](FrameConnection::CloseCause cause) { OnClosed(current, cause); }});
  changed_.notify_all();
}

std::optional<link_wire::ConnectRequest> LinkHost::ReadConnect(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  WaitFor(lock, timeout, [this] { return connectRequest_.has_value() || end_.has_value(); });
  return connectRequest_;
}

void LinkHost::Reply(std::uint32_t result) {
  std::shared_ptr<FrameConnection> connection;
  {
    std::lock_guard hold(mutex_);
    if (phase_ == Phase::kAwaitingReply && result == link_wire::kAccepted) {
      phase_ = Phase::kSession;
    }
    connection = connection_;
  }
  if (connection == nullptr) {
    return;
  }
  connection->Write(FrameType::kConnectReply, link_wire::EncodeU32(result));
  if (result != link_wire::kAccepted) {
    connection->CloseAfterWrites();
  }
}

bool LinkHost::SendData(std::span<const std::uint8_t> payload, bool /*guaranteed*/) {
  std::shared_ptr<FrameConnection> connection;
  {
    std::lock_guard hold(mutex_);
    if (phase_ != Phase::kSession || payload.size() > link_wire::kMaxBody) {
      return false;
    }
    connection = connection_;
  }
  connection->Write(FrameType::kData, payload);
  return true;
}

void LinkHost::SendRaw(std::span<const std::uint8_t> bytes) {
  if (std::shared_ptr<FrameConnection> connection = Connection()) {
    connection->WriteRaw(bytes);
  }
}

void LinkHost::Terminate() {
  if (std::shared_ptr<FrameConnection> connection = Connection()) {
    connection->Write(FrameType::kTerminate, {});
    connection->CloseAfterWrites();
  }
}

std::optional<std::vector<std::uint8_t>> LinkHost::Receive(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  WaitFor(lock, timeout, [this] { return !received_.empty() || end_.has_value(); });
  if (received_.empty()) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> payload = std::move(received_.front());
  received_.pop_front();
  return payload;
}

std::optional<SessionEnd> LinkHost::WaitForEnd(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  WaitFor(lock, timeout, [this] { return end_.has_value(); });
  return end_;
}

Verdict LinkHost::OnFrame(const FrameConnection* from, const link_wire::Frame& frame) {
  std::lock_guard hold(mutex_);
  if (from != connection_.get()) {
    return Verdict::kStop;  // left over from an earlier module
  }
  if (frame.type == FrameType::kTerminate) {
    return Verdict::kStop;
  }
  if (phase_ == Phase::kAwaitingConnect && frame.type == FrameType::kConnect) {
    connectRequest_ = link_wire::DecodeConnectBody(frame.body);
    if (!connectRequest_) {
      return Verdict::kBroken;
    }
    phase_ = Phase::kAwaitingReply;
    changed_.notify_all();
    return Verdict::kContinue;
  }
  if (phase_ == Phase::kSession && frame.type == FrameType::kData) {
    received_.emplace_back(frame.body.begin(), frame.body.end());
    changed_.notify_all();
    return Verdict::kContinue;
  }
  return Verdict::kBroken;
}

void LinkHost::OnClosed(const FrameConnection* from, FrameConnection::CloseCause cause) {
  std::lock_guard hold(mutex_);
  if (from != connection_.get()) {
    return;
  }
  phase_ = Phase::kEnded;
  end_ = EndOf(cause);
  changed_.notify_all();
}
