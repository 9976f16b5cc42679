// The host side of the link, as the Console Client plays it: listens on 127.0.0.1,
// accepts one module, checks its CONNECT, then exchanges DATA until one side ends the
// session. Used by console-sim and the tests from one thread (any); the network runs
// on the host's own worker thread.
#pragma once

#include <asio.hpp>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include "platform/link/frame_connection.h"
#include "platform/link/session_host.h"

class LinkHost final : public SessionHost {
 public:
  // Listens on 127.0.0.1:port (0 picks a free port). Throws std::system_error when the
  // port cannot be had. `connectWait`: how long Accept waits for a CONNECT.
  explicit LinkHost(std::uint16_t port = 0,
                    std::chrono::milliseconds connectWait = std::chrono::seconds(5));
  ~LinkHost() override;
  LinkHost(const LinkHost&) = delete;
  LinkHost& operator=(const LinkHost&) = delete;

  std::uint16_t Port() const override { return port_; }

  // One module: accept its connection (waiting up to `timeout`; negative waits for
  // ever), read its CONNECT (which must follow within connectWait) and answer it. A
  // wrong GUID or version is refused; a missing or broken CONNECT is kBroken. Either
  // way the connection is closed and Accept may be called again.
  AcceptOutcome Accept(std::chrono::milliseconds timeout) override;

  // The steps of Accept, for tests that play a host that misbehaves.
  bool AcceptConnection(std::chrono::milliseconds timeout);
  // The module's CONNECT; nullopt when it did not come in time or the session ended.
  std::optional<link_wire::ConnectRequest> ReadConnect(std::chrono::milliseconds timeout);
  // Answers CONNECT; anything but kAccepted closes the connection after the answer.
  void Reply(std::uint32_t result);

  // Queues one DATA frame (TCP loses none, so `guaranteed` changes nothing); false when
  // there is no open session.
  bool SendData(std::span<const std::uint8_t> payload, bool guaranteed = true) override;
  // Queues bytes as they are (broken frames included).
  void SendRaw(std::span<const std::uint8_t> bytes);
  // Sends TERMINATE and closes.
  void Terminate() override;

  // The next DATA payload from the module; nullopt after the timeout, or when the
  // session is over and every payload was taken.
  std::optional<std::vector<std::uint8_t>> Receive(std::chrono::milliseconds timeout) override;
  // How the session ended; nullopt while it goes on after the timeout.
  std::optional<SessionEnd> WaitForEnd(std::chrono::milliseconds timeout) override;

 private:
  enum class Phase { kNoSession, kAwaitingConnect, kAwaitingReply, kSession, kEnded };

  // `wanted` is read under mutex_: false once the caller stopped waiting.
  void OnAccepted(const asio::error_code& error, asio::ip::tcp::socket socket,
                  const bool& wanted);
  // Frames and the end of a connection that is no longer the current one are ignored.
  FrameConnection::Verdict OnFrame(const FrameConnection* from, const link_wire::Frame& frame);
  void OnClosed(const FrameConnection* from, FrameConnection::CloseCause cause);
  template <typename Predicate>
  bool WaitFor(std::unique_lock<std::mutex>& lock, std::chrono::milliseconds timeout,
               Predicate ready);
  std::shared_ptr<FrameConnection> Connection();

  asio::io_context io_;
  asio::executor_work_guard<asio::io_context::executor_type> work_;
  asio::ip::tcp::acceptor acceptor_;
  std::uint16_t port_ = 0;
  const std::chrono::milliseconds connectWait_;
  std::thread worker_;

  std::mutex mutex_;
  std::condition_variable changed_;
  Phase phase_ = Phase::kNoSession;
  std::shared_ptr<FrameConnection> connection_;
  std::optional<link_wire::ConnectRequest> connectRequest_;
  std::deque<std::vector<std::uint8_t>> received_;
  std::optional<SessionEnd> end_;
};
