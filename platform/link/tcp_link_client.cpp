#include "platform/link/tcp_link_client.h"

#include <cstdlib>
#include <mutex>
#include <optional>
#include <set>
#include <utility>

#include "platform/link/client_arguments.h"

namespace {

using link_wire::FrameType;
using Verdict = FrameConnection::Verdict;

// Every live client, so that the process end can quiet them all.
std::mutex liveLock;
std::set<TcpLinkClient*> liveClients;
std::once_flag exitHookOnce;

}  // namespace

// The module never closes its link; when the process ends, the statics the workers use
// (the handler's, and asio's own error categories) are destroyed, so no handler call
// may start from then on and a call or I/O step under way is given a moment to finish.
// The workers are then let go rather than joined: one may be waiting for the very
// thread that is exiting.
void TcpLinkClient::StopAllAtExit() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(250);
  std::lock_guard hold(liveLock);
  for (TcpLinkClient* client : liveClients) {
    client->StopDelivery();
  }
  for (TcpLinkClient* client : liveClients) {
    client->WaitForWorkersToLeave(deadline);
    for (std::thread& worker : client->workers_) {
      worker.detach();
    }
  }
}

void TcpLinkClient::RunWorker() {
  io_.run();
  std::lock_guard hold(workersLock_);
  --workersRunning_;
  workerLeft_.notify_all();
}

void TcpLinkClient::WaitForWorkersToLeave(std::chrono::steady_clock::time_point deadline) {
  std::unique_lock hold(workersLock_);
  workerLeft_.wait_until(hold, deadline, [this] { return workersRunning_ == 0; });
}

TcpLinkClient::TcpLinkClient(TcpLinkOptions options)
    : options_(options),
      strand_(asio::make_strand(io_)),
      work_(io_.get_executor()),
      replyTimer_(strand_),
      socket_(strand_) {
  workersRunning_ = options_.workerThreads;
  for (int i = 0; i < options_.workerThreads; ++i) {
    workers_.emplace_back([this] { RunWorker(); });
  }
  std::call_once(exitHookOnce, [] { std::atexit(StopAllAtExit); });
  std::lock_guard hold(liveLock);
  liveClients.insert(this);
}

TcpLinkClient::~TcpLinkClient() {
  {
    std::lock_guard hold(liveLock);
    liveClients.erase(this);
  }
  work_.reset();
  io_.stop();
  for (std::thread& worker : workers_) {
    worker.join();
  }
}

HRESULT TcpLinkClient::Initialize(void* userContext, PFNDPNMESSAGEHANDLER handler, DWORD flags) {
  if (handler == nullptr || flags != 0) {
    return DPNERR_INVALIDPARAM;
  }
  if (handler_.load() != nullptr) {
    return DPNERR_ALREADYINITIALIZED;
  }
  userContext_ = userContext;
  handler_ = handler;
  return S_OK;
}

HRESULT TcpLinkClient::Connect(const DPN_APPLICATION_DESC* applicationDesc,
                               IDirectPlay8Address* hostAddress,
                               IDirectPlay8Address* /*deviceAddress*/,
                               const void* /*securityDesc*/, const void* /*credentials*/,
                               const void* userConnectData, DWORD userConnectDataSize,
                               void* /*asyncContext*/, DPNHANDLE* asyncHandle, DWORD flags) {
  if (handler_.load() == nullptr) {
    return DPNERR_UNINITIALIZED;
  }
  if (const HRESULT status =
          CheckConnectArguments(applicationDesc, userConnectData, userConnectDataSize, flags);
      Failed(status)) {
    return status;
  }
  const std::optional<std::uint16_t> port = LoopbackPort(hostAddress);
  if (!port) {
    return DPNERR_INVALIDHOSTADDRESS;
  }
  State expected = State::kIdle;
  if (!state_.compare_exchange_strong(expected, State::kConnecting)) {
    return DPNERR_ALREADYCONNECTED;
  }
  if (asyncHandle != nullptr) {
    *asyncHandle = nextHandle_++;
  }
  asio::post(strand_, [this, port = *port, application = applicationDesc->guidApplication] {
    StartConnect(port, application);
  });
  return DPNSUCCESS_PENDING;
}

HRESULT TcpLinkClient::Send(const DPN_BUFFER_DESC* buffers, DWORD bufferCount, DWORD /*timeOutMs*/,
                            void* /*asyncContext*/, DPNHANDLE* asyncHandle, DWORD flags) {
  const std::optional<std::vector<std::uint8_t>> payload =
      JoinSendBuffers(buffers, bufferCount, flags);
  if (!payload) {
    return DPNERR_INVALIDPARAM;
  }
  const State state = state_.load();
  if (state != State::kConnected) {
    return state == State::kEnded ? DPNERR_CONNECTIONLOST : DPNERR_NOCONNECTION;
  }
  connection_->Write(FrameType::kData, *payload);
  if (asyncHandle != nullptr) {
    *asyncHandle = (flags & DPNSEND_NOCOMPLETE) != 0 ? 0 : nextHandle_++;
  }
  return DPNSUCCESS_PENDING;
}

void TcpLinkClient::StartConnect(std::uint16_t port, GUID application) {
  application_ = application;
  replyTimer_.expires_after(options_.replyTimeout);
  replyTimer_.async_wait([this](const asio::error_code& error) {
    if (!error && state_.load() == State::kConnecting) {
      FailConnect(DPNERR_TIMEDOUT);
    }
  });
  const asio::ip::tcp::endpoint host(asio::ip::address_v4::loopback(), port);
  socket_.async_connect(host, [this](const asio::error_code& error) {
    if (state_.load() != State::kConnecting) {
      return;  // timed out meanwhile
    }
    if (error) {
      FailConnect(DPNERR_NOCONNECTION);
      return;
    }
    OnTcpConnected();
  });
}

void TcpLinkClient::OnTcpConnected() {
  connection_ = FrameConnection::Create(std::move(socket_));
  connection_->Start({[this](const link_wire::Frame& frame) { return OnFrame(frame); },
                      [this](FrameConnection::CloseCause cause) { OnClosed(cause); }});
  const link_wire::ConnectRequest request{application_, options_.protocolVersion};
  connection_->Write(FrameType::kConnect, link_wire::EncodeConnectBody(request));
}

Verdict TcpLinkClient::OnFrame(const link_wire::Frame& frame) {
  switch (state_.load()) {
    case State::kConnecting:
      return OnReply(frame);
    case State::kConnected:
      if (frame.type == FrameType::kData) {
        DPNMSG_RECEIVE message;
        message.pReceiveData = frame.body.data();
        message.dwReceiveDataSize = static_cast<DWORD>(frame.body.size());
        Deliver(DPN_MSGID_RECEIVE, &message);
        return Verdict::kContinue;
      }
      return frame.type == FrameType::kTerminate ? Verdict::kStop : Verdict::kBroken;
    default:
      return Verdict::kStop;
  }
}

Verdict TcpLinkClient::OnReply(const link_wire::Frame& frame) {
  if (frame.type != FrameType::kConnectReply ||
      frame.body.size() != link_wire::kConnectReplyBodySize) {
    return Verdict::kBroken;
  }
  replyTimer_.cancel();
  if (link_wire::DecodeU32(frame.body.first<4>()) != link_wire::kAccepted) {
    state_ = State::kEnded;
    DeliverConnectComplete(DPNERR_HOSTREJECTEDCONNECTION);
    return Verdict::kStop;
  }
  state_ = State::kConnected;
  DeliverConnectComplete(S_OK);
  return Verdict::kContinue;
}

void TcpLinkClient::OnClosed(FrameConnection::CloseCause cause) {
  const State state = state_.exchange(State::kEnded);
  if (state == State::kConnecting) {
    replyTimer_.cancel();
    DeliverConnectComplete(DPNERR_NOCONNECTION);
  } else if (state == State::kConnected) {
    DeliverTerminate(cause == FrameConnection::CloseCause::kStopped ? S_OK
                                                                     : DPNERR_CONNECTIONLOST);
  }
}

void TcpLinkClient::FailConnect(HRESULT status) {
  state_ = State::kEnded;
  replyTimer_.cancel();
  asio::error_code ignored;
  socket_.close(ignored);
  if (connection_) {
    connection_->Close();
  }
  DeliverConnectComplete(status);
}

void TcpLinkClient::DeliverConnectComplete(HRESULT status) {
  DPNMSG_CONNECT_COMPLETE message;
  message.hResultCode = status;
  Deliver(DPN_MSGID_CONNECT_COMPLETE, &message);
}

void TcpLinkClient::DeliverTerminate(HRESULT status) {
  DPNMSG_TERMINATE_SESSION message;
  message.hResultCode = status;
  Deliver(DPN_MSGID_TERMINATE_SESSION, &message);
}

void TcpLinkClient::Deliver(DWORD messageId, void* message) {
  if (delivering_.load()) {
    handler_.load()(userContext_, messageId, message);
  }
}

void TcpLinkClient::StopDelivery() {
  delivering_ = false;
  io_.stop();
}
