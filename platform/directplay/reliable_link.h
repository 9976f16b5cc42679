// One DirectPlay 8 connection's reliable layer as a pure state machine: datagrams and
// the time go in, datagrams to send and link events come out. No sockets, no clock, no
// threads: the owner feeds it from one thread (or under one lock) and sends what it
// takes out. Both ends use it: the client connects, the host accepts a CONNECT.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace dpnet {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

// 0x00010005: the base protocol plus coalesced payloads, without signed sessions.
constexpr std::uint32_t kProtocolVersion = 0x00010005;

// Timers and limits; the defaults are the protocol's. Tests shorten them.
struct ReliableOptions {
  std::uint32_t version = kProtocolVersion;
  // ... connect retry period/count, retry limits, keep-alive period, delayed-ack and
  // send-mask delays, hard-disconnect timing: chosen by the implementer from the
  // protocol document's section 3.1.2 and 3.1.6.
};

// How a payload goes out. A core message travels with USER_1; application data without.
struct SendKind {
  bool reliable = true;
  bool sequential = true;
  bool core = false;
};

enum class CloseReason {
  kConnectTimedOut,    // the peer never answered CONNECT
  kConnectRefused,     // e.g. the peer answered CONNECTED_SIGNED, which we do not speak
  kGraceful,           // both sides ended their streams
  kHardDisconnect,     // the peer sent HARD_DISCONNECT
  kLost,               // retries or keep-alives ran out
  kLocal,              // we disconnected (HardDisconnect, or Disconnect completed)
};

struct LinkEvent {
  enum class Kind { kConnected, kMessage, kClosed };
  Kind kind = Kind::kConnected;
  Bytes message;      // kMessage: one whole payload, reassembled when it came in pieces
  bool core = false;  // kMessage: it came with USER_1
  CloseReason reason = CloseReason::kLocal;  // kClosed
};

class ReliableLink {
 public:
  // The connecting side: the first CONNECT is ready to take at once.
  static ReliableLink Connect(Clock::time_point now, std::uint32_t sessionId,
                              ReliableOptions options = {});
  // The accepting side, made from the first datagram a new address sent; nullopt when
  // that datagram is not a valid CONNECT (it is then ignored, nothing is answered).
  static std::optional<ReliableLink> Accept(std::span<const std::uint8_t> datagram,
                                            Clock::time_point now, ReliableOptions options = {});

  // Any datagram from the peer, valid or not. Invalid frames are dropped or end the
  // link as the protocol says; never delivered as data.
  void OnDatagram(std::span<const std::uint8_t> datagram, Clock::time_point now);
  // Runs the timers that are due at `now`.
  void OnTime(Clock::time_point now);
  // Queues one payload (split over several frames when it is larger than one); false
  // when the link is not connected or is closing, or the payload is too large.
  bool Send(std::span<const std::uint8_t> payload, SendKind kind, Clock::time_point now);
  // Ends our stream gracefully (END_STREAM); the link closes when both ends did, or
  // when the retries run out.
  void Disconnect(Clock::time_point now);
  // Sends HARD_DISCONNECT (as the protocol says how often) and closes at once.
  void HardDisconnect(Clock::time_point now);

  // When OnTime must be called next; nullopt once closed.
  std::optional<Clock::time_point> NextDeadline() const;
  // What to send, in order; empties the queue.
  std::vector<Bytes> TakeDatagrams();
  // What happened, in order; empties the queue. kConnected once, kClosed once and last.
  std::vector<LinkEvent> TakeEvents();
  bool Connected() const;
  bool Closed() const;
};

}  // namespace dpnet
