// Bare blocking TCP sockets on 127.0.0.1, with no framing: a peer that writes any
// bytes it likes (tests of broken frames) and the baseline the link benchmark compares
// with. One thread per object.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>

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
  int fd_;
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
  int fd_;
  std::uint16_t port_ = 0;
};
