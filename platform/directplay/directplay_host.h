// The host side of the DirectPlay 8 link, as the Console Client plays it: a UDP socket on
// 127.0.0.1 that takes one module at a time, checks its connect info and exchanges
// payloads with it; datagrams from any other address are ignored while a module is in.
// Called from one thread (any); the protocol runs on the host's own worker thread.
#pragma once

#include <array>
#include <asio.hpp>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "link/direct_play.h"
#include "platform/directplay/core_session.h"
#include "platform/directplay/reliable_link.h"
#include "platform/link/session_host.h"

struct DirectPlayHostOptions {
  GUID application = APPLICATION_GUID;  // a test may host another application
  std::u16string sessionName = u"Console Client";
  dpnet::ReliableOptions link;
  // How long a module that sent CONNECT has to finish its connect: long enough for the
  // few reliable messages of a join over a path that loses many datagrams.
  std::chrono::milliseconds connectWait{30000};
};

class DirectPlayHost final : public SessionHost {
 public:
  // Binds 127.0.0.1:port over UDP (0 picks a free port). Throws std::system_error when
  // the port cannot be had.
  explicit DirectPlayHost(std::uint16_t port = 0, DirectPlayHostOptions options = {});
  ~DirectPlayHost() override;
  DirectPlayHost(const DirectPlayHost&) = delete;
  DirectPlayHost& operator=(const DirectPlayHost&) = delete;

  std::uint16_t Port() const override { return port_; }
  AcceptOutcome Accept(std::chrono::milliseconds timeout) override;
  bool SendData(std::span<const std::uint8_t> payload, bool guaranteed = true) override;
  // DN_TERMINATE_SESSION, then the link's graceful end.
  void Terminate() override;
  std::optional<std::vector<std::uint8_t>> Receive(std::chrono::milliseconds timeout) override;
  std::optional<SessionEnd> WaitForEnd(std::chrono::milliseconds timeout) override;
  // Drops the module at once, as a host that crashes or kicks it does (HARD_DISCONNECT).
  void HardDisconnect();

 private:
  enum class Phase { kWaiting, kConnecting, kSession, kEnded };

  // On the worker.
  void Receive();
  void OnReceived(const asio::error_code& error, std::size_t size);
  void OnDatagram(std::span<const std::uint8_t> datagram);
  void Pump();
  void OnHostEvent(dpnet::HostEvent& event);
  void ArmTimer();
  void Forget();
  template <typename Action>
  void OnWorker(Action action);

  const DirectPlayHostOptions options_;
  asio::io_context io_;
  asio::executor_work_guard<asio::io_context::executor_type> work_;
  asio::ip::udp::socket socket_;
  asio::steady_timer timer_;
  std::uint16_t port_ = 0;
  std::array<std::uint8_t, 65536> datagram_{};
  asio::ip::udp::endpoint sender_;
  // The module in session, or connecting; only the worker touches these.
  std::optional<asio::ip::udp::endpoint> peer_;
  std::optional<dpnet::ReliableLink> link_;
  std::optional<dpnet::CoreHost> core_;
  dpnet::Clock::time_point connectDeadline_;
  bool terminating_ = false;
  std::thread worker_;

  std::mutex mutex_;
  std::condition_variable changed_;
  Phase phase_ = Phase::kWaiting;            // under mutex_
  std::optional<AcceptOutcome> outcome_;     // under mutex_: the last connect's outcome
  std::deque<std::vector<std::uint8_t>> received_;  // under mutex_
  std::optional<SessionEnd> end_;            // under mutex_
};
