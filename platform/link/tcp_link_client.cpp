#include "platform/link/tcp_link_client.h"

#include <optional>
#include <utility>

#include "platform/link/client_arguments.h"

namespace {

using link_wire::FrameType;
using Verdict = FrameConnection::Verdict;

}  // namespace

TcpLinkClient::TcpLinkClient(TcpLinkOptions options)
    : options_(options),
      strand_(asio::make_strand(pool_.Context())),
      replyTimer_(strand_),
      socket_(strand_) {
  pool_.Start(options_.workerThreads);
}

TcpLinkClient::~TcpLinkClient() {
  pool_.Stop();
}

HRESULT TcpLinkClient::Initialize(void* userContext, PFNDPNMESSAGEHANDLER handler, DWORD flags) {
  return handler_.Register(userContext, handler, flags);
}

HRESULT TcpLinkClient::Connect(const DPN_APPLICATION_DESC* applicationDesc,
                               IDirectPlay8Address* hostAddress,
                               IDirectPlay8Address* /*deviceAddress*/,
                               const void* /*securityDesc*/, const void* /*credentials*/,
                               const void* userConnectData, DWORD userConnectDataSize,
                               void* /*asyncContext*/, DPNHANDLE* asyncHandle, DWORD flags) {
  std::uint16_t port = 0;
  if (const HRESULT status = CheckConnect(handler_, applicationDesc, hostAddress, userConnectData,
                                          userConnectDataSize, flags, port);
      Failed(status)) {
    return status;
  }
  State expected = State::kIdle;
  if (!state_.compare_exchange_strong(expected, State::kConnecting)) {
    return DPNERR_ALREADYCONNECTED;
  }
  if (asyncHandle != nullptr) {
    *asyncHandle = nextHandle_++;
  }
  asio::post(strand_, [this, port, application = applicationDesc->guidApplication] {
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
  handler_.Call(messageId, message);
}
