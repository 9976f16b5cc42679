// The reliable link's vocabulary, shared by the link, its parts and the layer above:
// options, how a payload is sent, and what the link reports. Plain data; any thread.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace dpnet {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

// 0x00010005: the base protocol plus coalesced payloads, without signed sessions. A
// host that speaks 1.6 then uses 1.5 with us (both sides use the lower version), and
// coalescing lets the host pack a tick's several small messages into one datagram.
// Signing (1.6) buys nothing on a loopback link, and a host that demands it answers
// CONNECTED_SIGNED, which fails our connect cleanly instead of hanging.
constexpr std::uint32_t kProtocolVersion = 0x00010005;
// The first version with coalesced payloads and KeepAlives that carry the session id.
constexpr std::uint32_t kCoalescingVersion = 0x00010005;

// The sender's tick count in milliseconds, as frames carry it.
inline std::uint32_t TickCount(Clock::time_point now) {
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count());
}

// Timers and limits; the defaults are the protocol's recommended values. Tests shorten them.
struct ReliableOptions {
  std::uint32_t version = kProtocolVersion;
  // CONNECT (and the listener's CONNECTED) is retried after 200 ms, doubling up to 5 s,
  // 14 times; then the connect has failed.
  Clock::duration connectRetryPeriod = std::chrono::milliseconds(200);
  Clock::duration connectRetryCap = std::chrono::seconds(5);
  int connectRetries = 14;
  // A dedicated acknowledgement waits this long for outgoing data to carry it; after an
  // out-of-order or duplicate frame, the short delay.
  Clock::duration delayedAck = std::chrono::milliseconds(100);
  Clock::duration delayedAckShort = std::chrono::milliseconds(20);
  Clock::duration sendMaskDelay = std::chrono::milliseconds(40);
  // Reliable frames are retried 2.5 round trips plus delayedAck after they were sent,
  // backing off up to retryCap; after maxRetries the link is lost. The round trip is
  // measured from the handshake on; this is only the guess before that.
  Clock::duration initialRoundTrip = std::chrono::milliseconds(100);
  Clock::duration retryCap = std::chrono::seconds(5);
  int maxRetries = 10;
  // Without anything received for this long, a KeepAlive goes out.
  Clock::duration keepAlivePeriod = std::chrono::seconds(25);
  int hardDisconnects = 3;
  // The largest datagram we send: the UDP payload of a 1500-byte Ethernet MTU, so
  // frames never fragment even off loopback. Peers' frames may be any size.
  std::size_t maxFrameSize = 1472;
  // The largest message either way; a peer's larger message ends the link.
  std::size_t maxMessageSize = std::size_t{1} << 20;
  // Payloads waiting for the window, in bytes; Send refuses more.
  std::size_t maxQueuedBytes = std::size_t{4} << 20;
};

// How a payload goes out. A core message travels with USER_1; application data without.
struct SendKind {
  bool reliable = true;
  bool sequential = true;
  bool core = false;
};

enum class CloseReason {
  kConnectTimedOut,    // the peer never answered CONNECT (or never confirmed CONNECTED)
  kConnectRefused,     // e.g. the peer answered CONNECTED_SIGNED, which we do not speak
  kGraceful,           // the peer ended its stream, then we ended ours
  kHardDisconnect,     // the peer sent HARD_DISCONNECT
  kLost,               // retries ran out, or the peer broke the protocol past repair
  kLocal,              // we disconnected (HardDisconnect, or our Disconnect completed)
};

struct LinkEvent {
  enum class Kind { kConnected, kMessage, kClosed };
  Kind kind = Kind::kConnected;
  Bytes message;      // kMessage: one whole payload, reassembled when it came in pieces
  bool core = false;  // kMessage: it came with USER_1
  CloseReason reason = CloseReason::kLocal;  // kClosed
  bool voice = false;  // kMessage: it came with USER_2 (voice; not application data)
};

}  // namespace dpnet
