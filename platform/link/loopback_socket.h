// Bare blocking TCP and UDP sockets on 127.0.0.1, with no framing: a peer that writes any
// bytes it likes (tests of broken frames, relays, hostile senders) and the baselines the
// link benchmark compares with. One thread per object.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class LoopbackSocket {
 public:
  // Connects to 127.0.0.1:port; null when nothing accepts there.
  static std::unique_ptr<LoopbackSocket> Connect(std::uint16_t port);
  explicit LoopbackSocket(int fd);
  ~LoopbackSocket();
  LoopbackSocket(const LoopbackSocket&) = delete;
  LoopbackSocket& operator=(const LoopbackSocket&) = delete;

  bool Write(std::span<const std::uint8_t> bytes);
  // Fills `out` completely; false on end of stream, error or timeout.
  bool Read(std::span<std::uint8_t> out, std::chrono::milliseconds timeout);
  // True when the peer closed (end of stream or reset) within the timeout; bytes that
  // arrive meanwhile are dropped.
  bool WaitForClose(std::chrono::milliseconds timeout);

 private:
  int fd_ = -1;
};

class LoopbackListener {
 public:
  // Listens on 127.0.0.1 on a free port.
  LoopbackListener();
  ~LoopbackListener();
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  std::uint16_t Port() const { return port_; }
  // Null when no peer came within the timeout.
  std::unique_ptr<LoopbackSocket> Accept(std::chrono::milliseconds timeout);

 private:
  int fd_ = -1;
  std::uint16_t port_ = 0;
};

class LoopbackUdpSocket {
 public:
  // Bound to 127.0.0.1:port (0 picks a free port). Throws std::system_error when the port
  // cannot be had.
  explicit LoopbackUdpSocket(std::uint16_t port = 0);
  ~LoopbackUdpSocket();
  LoopbackUdpSocket(const LoopbackUdpSocket&) = delete;
  LoopbackUdpSocket& operator=(const LoopbackUdpSocket&) = delete;

  std::uint16_t Port() const { return port_; }
  // For poll() across several sockets.
  int Fd() const { return fd_; }
  // One datagram to 127.0.0.1:port; false when the system refused it.
  bool SendTo(std::uint16_t port, std::span<const std::uint8_t> datagram);
  // The next datagram into `out` (resized to its size) and its sender's port; nullopt on
  // timeout or error.
  std::optional<std::uint16_t> Receive(std::vector<std::uint8_t>& out,
                                       std::chrono::milliseconds timeout);

 private:
  int fd_ = -1;
  std::uint16_t port_ = 0;
};
