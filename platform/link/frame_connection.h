// One TCP connection that carries link frames. Reading, writing and closing run on the
// socket's executor (a strand, so the callbacks never run at the same time); Write,
// WriteRaw, CloseAfterWrites and Close may be called from any thread.
#pragma once

#include <asio.hpp>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "platform/link/frame.h"

class FrameConnection : public std::enable_shared_from_this<FrameConnection> {
 public:
  // What the owner wants after a frame: go on, end in order, or end as broken.
  enum class Verdict { kContinue, kStop, kBroken };
  enum class CloseCause { kPeerLeft, kBroken, kStopped, kLocal };

  struct Callbacks {
    // Called per complete frame; the body is valid only during the call.
    std::function<Verdict(const link_wire::Frame&)> onFrame;
    // Called exactly once, when the connection has closed.
    std::function<void(CloseCause)> onClose;
  };

  // The socket must be connected and bound to a strand executor.
  static std::shared_ptr<FrameConnection> Create(asio::ip::tcp::socket socket);

  // Starts reading; from here on the callbacks may run.
  void Start(Callbacks callbacks);
  // Queues one frame (copied) behind those already queued.
  void Write(link_wire::FrameType type, std::span<const std::uint8_t> body);
  // Queues bytes as they are, whether or not they form valid frames.
  void WriteRaw(std::span<const std::uint8_t> bytes);
  // Closes once everything queued so far has been written.
  void CloseAfterWrites();
  void Close();

 private:
  explicit FrameConnection(asio::ip::tcp::socket socket);

  void Queue(std::vector<std::uint8_t> bytes);
  void WriteNext();
  void ReadNext();
  void OnRead(std::size_t bytes);
  // Hands out every complete frame in the buffer; false once the connection closed.
  bool DeliverFrames();
  void Shut(CloseCause cause);

  asio::ip::tcp::socket socket_;
  Callbacks callbacks_;
  std::vector<std::uint8_t> readBuffer_;
  std::size_t filled_ = 0;
  std::vector<std::uint8_t> pending_;
  std::vector<std::uint8_t> inFlight_;
  bool writing_ = false;
  bool closeAfterWrites_ = false;
  bool closed_ = false;
};
