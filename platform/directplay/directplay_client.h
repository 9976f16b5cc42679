// The module's side of the DirectPlay 8 link: an IDirectPlay8Client over UDP that talks to
// 127.0.0.1 and nowhere else (its socket is connected, so the system drops datagrams from
// any other address or port) and never listens. Initialize, Connect and Send are called on
// the module's threads and return at once. The protocol runs on the client's worker
// threads, one step at a time; the registered handler is called on those workers too, one
// call at a time, in arrival order, and a handler call that waits (a message box, the
// close request) does not hold up acknowledgements and retries.
#pragma once

#include <array>
#include <asio.hpp>
#include <atomic>
#include <optional>
#include <vector>

#include "link/direct_play.h"
#include "platform/link/client_arguments.h"
#include "platform/link/worker_pool.h"
#include "platform/directplay/core_session.h"
#include "platform/directplay/reliable_link.h"

struct DirectPlayClientOptions {
  dpnet::ReliableOptions link;  // the protocol's timers; only tests change them
  // How long a host whose link is up may take to answer our connect info; as long as a
  // host gives a joining module over a lossy path.
  std::chrono::milliseconds joinWait{30000};
  int workerThreads = 2;
};

class DirectPlayClient final : public IDirectPlay8Client {
 public:
  explicit DirectPlayClient(DirectPlayClientOptions options = {});
  ~DirectPlayClient() override;
  DirectPlayClient(const DirectPlayClient&) = delete;
  DirectPlayClient& operator=(const DirectPlayClient&) = delete;

  HRESULT Initialize(void* userContext, PFNDPNMESSAGEHANDLER handler, DWORD flags) override;
  HRESULT Connect(const DPN_APPLICATION_DESC* applicationDesc, IDirectPlay8Address* hostAddress,
                  IDirectPlay8Address* deviceAddress, const void* securityDesc,
                  const void* credentials, const void* userConnectData,
                  DWORD userConnectDataSize, void* asyncContext, DPNHANDLE* asyncHandle,
                  DWORD flags) override;
  HRESULT Send(const DPN_BUFFER_DESC* buffers, DWORD bufferCount, DWORD timeOutMs,
               void* asyncContext, DPNHANDLE* asyncHandle, DWORD flags) override;

 private:
  enum class State { kIdle, kConnecting, kConnected, kEnded };
  using Strand = asio::strand<asio::io_context::executor_type>;

  // On the protocol strand.
  void Start(std::uint16_t port, GUID application);
  void Receive();
  void OnReceived(const asio::error_code& error, std::size_t size);
  void Pump();
  void ArmTimer();
  void Deliver(dpnet::ClientEvent event);

  const DirectPlayClientOptions options_;
  WorkerPool pool_;  // first, so that it is built before what its threads use
  Strand protocol_;  // the socket, the timer and the two state machines
  Strand delivery_;  // handler calls, in order
  asio::ip::udp::socket socket_;
  asio::steady_timer timer_;
  std::optional<dpnet::ReliableLink> link_;
  std::optional<dpnet::CoreClient> core_;
  std::optional<dpnet::Clock::time_point> joinDeadline_;  // while the host has to answer
  std::array<std::uint8_t, 65536> datagram_{};
  std::atomic<State> state_{State::kIdle};
  MessageHandlerSlot handler_;
  std::atomic<DPNHANDLE> nextHandle_{1};
};
