#include "platform/directplay/directplay_client.h"

#include <random>
#include <utility>

#include "platform/directplay/layer_exchange.h"
#include "platform/link/client_arguments.h"

namespace {

using dpnet::Clock;
using dpnet::ClientEvent;

// A fresh session id per connect, so that a host can tell a new attempt from an old one.
std::uint32_t NewSessionId() {
  std::random_device entropy;
  return static_cast<std::uint32_t>(entropy());
}

}  // namespace

DirectPlayClient::DirectPlayClient(DirectPlayClientOptions options)
    : options_(options),
      protocol_(asio::make_strand(pool_.Context())),
      delivery_(asio::make_strand(pool_.Context())),
      socket_(protocol_),
      timer_(protocol_) {
  pool_.Start(options_.workerThreads);
}

DirectPlayClient::~DirectPlayClient() {
  pool_.Stop();
}

HRESULT DirectPlayClient::Initialize(void* userContext, PFNDPNMESSAGEHANDLER handler, DWORD flags) {
  return handler_.Register(userContext, handler, flags);
}

HRESULT DirectPlayClient::Connect(const DPN_APPLICATION_DESC* applicationDesc,
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
  asio::post(protocol_, [this, port, application = applicationDesc->guidApplication] {
    Start(port, application);
  });
  return DPNSUCCESS_PENDING;
}

HRESULT DirectPlayClient::Send(const DPN_BUFFER_DESC* buffers, DWORD bufferCount,
                               DWORD /*timeOutMs*/, void* /*asyncContext*/,
                               DPNHANDLE* asyncHandle, DWORD flags) {
  std::optional<std::vector<std::uint8_t>> payload = JoinSendBuffers(buffers, bufferCount, flags);
  if (!payload) {
    return DPNERR_INVALIDPARAM;
  }
  const State state = state_.load();
  if (state != State::kConnected) {
    return state == State::kEnded ? DPNERR_CONNECTIONLOST : DPNERR_NOCONNECTION;
  }
  const bool guaranteed = (flags & DPNSEND_GUARANTEED) != 0;
  asio::post(protocol_, [this, payload = std::move(*payload), guaranteed] {
    core_->Send(payload, guaranteed);
    Pump();
  });
  if (asyncHandle != nullptr) {
    *asyncHandle = (flags & DPNSEND_NOCOMPLETE) != 0 ? 0 : nextHandle_++;
  }
  return DPNSUCCESS_PENDING;
}

void DirectPlayClient::Start(std::uint16_t port, GUID application) {
  const asio::ip::udp::endpoint host(asio::ip::address_v4::loopback(), port);
  asio::error_code error;
  socket_.open(asio::ip::udp::v4(), error);
  if (!error) {
    socket_.bind({asio::ip::address_v4::loopback(), 0}, error);
  }
  if (!error) {
    socket_.connect(host, error);
  }
  if (!error) {
    socket_.non_blocking(true, error);
  }
  core_.emplace(application);
  if (error) {
    state_ = State::kEnded;
    Deliver({ClientEvent::Kind::kConnectComplete, DPNERR_NOCONNECTION, {}});
    return;
  }
  link_.emplace(dpnet::ReliableLink::Connect(Clock::now(), NewSessionId(), options_.link));
  Receive();
  Pump();
}

void DirectPlayClient::Receive() {
  socket_.async_receive(asio::buffer(datagram_),
                        asio::bind_executor(protocol_, [this](const asio::error_code& error,
                                                              std::size_t size) {
                          OnReceived(error, size);
                        }));
}

void DirectPlayClient::OnReceived(const asio::error_code& error, std::size_t size) {
  if (error == asio::error::operation_aborted || link_->Closed()) {
    return;
  }
  if (error) {
    // On loopback a refused datagram means that nothing listens on the host's port (any
    // more): there is no one left to say goodbye to.
    link_->HardDisconnect(Clock::now());
  } else {
    link_->OnDatagram(std::span(datagram_.data(), size), Clock::now());
  }
  Pump();
  Receive();
}

// Moves everything the state machines have for each other, the socket and the handler,
// until neither has more; then waits for the link's next deadline.
void DirectPlayClient::Pump() {
  const Clock::time_point now = Clock::now();
  dpnet::ExchangeBetweenLayers(*link_, *core_, now);
  for (const dpnet::Bytes& datagram : link_->TakeDatagrams()) {
    asio::error_code ignored;  // a datagram the system could not take is one lost on the way
    socket_.send(asio::buffer(datagram), 0, ignored);
  }
  for (ClientEvent& event : core_->TakeEvents()) {
    Deliver(std::move(event));
  }
  if (state_.load() != State::kConnecting) {
    joinDeadline_.reset();
  } else if (!joinDeadline_ && link_->Connected()) {
    joinDeadline_ = now + options_.joinWait;
  }
  ArmTimer();
}

void DirectPlayClient::ArmTimer() {
  std::optional<Clock::time_point> deadline = link_->NextDeadline();
  if (joinDeadline_ && (!deadline || *joinDeadline_ < *deadline)) {
    deadline = joinDeadline_;
  }
  if (!deadline) {
    timer_.cancel();
    return;
  }
  timer_.expires_at(*deadline);
  timer_.async_wait([this](const asio::error_code& error) {
    if (error) {
      return;
    }
    const Clock::time_point now = Clock::now();
    if (joinDeadline_ && now >= *joinDeadline_) {
      link_->HardDisconnect(now);  // a host that keeps the link up but never lets us in
    } else {
      link_->OnTime(now);
    }
    Pump();
  });
}

// The state Send sees changes here, in the order the events happened; the handler hears
// of them on the delivery strand, so that a handler call that waits holds up nothing
// but later handler calls.
void DirectPlayClient::Deliver(ClientEvent event) {
  switch (event.kind) {
    case ClientEvent::Kind::kConnectComplete:
      state_ = event.result == S_OK ? State::kConnected : State::kEnded;
      break;
    case ClientEvent::Kind::kTerminate:
      state_ = State::kEnded;
      break;
    case ClientEvent::Kind::kReceive:
      break;
  }
  asio::post(delivery_, [this, event = std::move(event)] {
    switch (event.kind) {
      case ClientEvent::Kind::kConnectComplete: {
        DPNMSG_CONNECT_COMPLETE message;
        message.hResultCode = event.result;
        handler_.Call(DPN_MSGID_CONNECT_COMPLETE, &message);
        break;
      }
      case ClientEvent::Kind::kReceive: {
        DPNMSG_RECEIVE message;
        message.pReceiveData = event.payload.data();
        message.dwReceiveDataSize = static_cast<DWORD>(event.payload.size());
        handler_.Call(DPN_MSGID_RECEIVE, &message);
        break;
      }
      case ClientEvent::Kind::kTerminate: {
        DPNMSG_TERMINATE_SESSION message;
        message.hResultCode = event.result;
        handler_.Call(DPN_MSGID_TERMINATE_SESSION, &message);
        break;
      }
    }
  });
}
