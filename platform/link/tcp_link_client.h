// The module's side of the link over TCP: an IDirectPlay8Client that connects to a
// host on 127.0.0.1 and nowhere else, and never listens. Initialize, Connect and Send
// are called on the module's threads and return at once; the registered handler is
// called on the client's own worker threads, one call at a time, in arrival order.
// Nothing is needed of it at the process end, which never destroys what the workers
// reach (see EndProcess).
#pragma once

#include <asio.hpp>
#include <atomic>
#include <chrono>
#include <memory>
#include <vector>

#include "link/direct_play.h"
#include "platform/link/client_arguments.h"
#include "platform/link/worker_pool.h"
#include "platform/link/frame_connection.h"

struct TcpLinkOptions {
  // How long the host may take to answer CONNECT, counted from the Connect call.
  std::chrono::milliseconds replyTimeout{5000};
  // The version sent in CONNECT; only tests send another.
  std::uint32_t protocolVersion = link_wire::kProtocolVersion;
  int workerThreads = 2;
};

class TcpLinkClient final : public IDirectPlay8Client {
 public:
  explicit TcpLinkClient(TcpLinkOptions options = {});
  ~TcpLinkClient() override;
  TcpLinkClient(const TcpLinkClient&) = delete;
  TcpLinkClient& operator=(const TcpLinkClient&) = delete;

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

  void StartConnect(std::uint16_t port, GUID application);
  void OnTcpConnected();
  FrameConnection::Verdict OnFrame(const link_wire::Frame& frame);
  FrameConnection::Verdict OnReply(const link_wire::Frame& frame);
  void OnClosed(FrameConnection::CloseCause cause);
  void FailConnect(HRESULT status);
  void DeliverConnectComplete(HRESULT status);
  void DeliverTerminate(HRESULT status);
  void Deliver(DWORD messageId, void* message);

  const TcpLinkOptions options_;
  WorkerPool pool_;  // first, so that it is built before what its threads use
  asio::strand<asio::io_context::executor_type> strand_;
  asio::steady_timer replyTimer_;
  asio::ip::tcp::socket socket_;  // until connected, then owned by connection_
  std::shared_ptr<FrameConnection> connection_;
  GUID application_ = GUID_NULL;
  std::atomic<State> state_{State::kIdle};
  MessageHandlerSlot handler_;
  std::atomic<DPNHANDLE> nextHandle_{1};
};
