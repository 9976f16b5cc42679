// One DirectPlay 8 connection's reliable layer as a pure state machine: datagrams and
// the time go in, datagrams to send and link events come out. No sockets, no clock, no
// threads: the owner feeds it from one thread (or under one lock) and sends what it
// takes out. Both ends use it: the client connects, the host accepts a CONNECT.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "platform/directplay/frames.h"
#include "platform/directplay/handshake.h"
#include "platform/directplay/link_types.h"
#include "platform/directplay/receive_window.h"
#include "platform/directplay/send_window.h"

namespace dpnet {

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
  // Runs the timers that are due at `now`, and puts queued payloads into frames.
  void OnTime(Clock::time_point now);
  // Queues one payload (split over several frames when it is larger than one); false
  // when the link is not connected or is closing, or the payload is empty, larger than
  // options.maxMessageSize, or does not fit in the queue (options.maxQueuedBytes).
  bool Send(std::span<const std::uint8_t> payload, SendKind kind, Clock::time_point now);
  // Ends our stream gracefully (END_STREAM); the link closes when both ends did, or
  // when the retries run out. Before the link is connected, it closes at once.
  void Disconnect(Clock::time_point now);
  // Sends HARD_DISCONNECT (as the protocol says how often) and closes at once; the
  // later HARD_DISCONNECTs go out from OnTime, spaced by half a round trip.
  void HardDisconnect(Clock::time_point now);

  // When OnTime must be called next (now, when queued payloads can go out); nullopt
  // once closed and the last HARD_DISCONNECT went out.
  std::optional<Clock::time_point> NextDeadline() const;
  // What to send, in order; empties the queue. Payloads queued by Send since the last
  // call go into frames here first (several small ones share a frame).
  std::vector<Bytes> TakeDatagrams();
  // What happened, in order; empties the queue. kConnected once, kClosed once and last.
  std::vector<LinkEvent> TakeEvents();
  bool Connected() const;
  bool Closed() const;

 private:
  enum class State { kHandshake, kConnected, kClosed };

  ReliableLink(Handshake handshake, const ReliableOptions& options, Clock::time_point now,
               std::vector<Bytes> datagrams);
  void OnConnectFrame(const ConnectFrame& frame, Clock::time_point now);
  void OnSack(const SackFrame& frame, Clock::time_point now);
  void OnData(const DataFrame& frame, Clock::time_point now);
  std::optional<Arrival> Unpack(const DataFrame& frame) const;
  void ScheduleAck(bool now, bool early, Clock::time_point time);
  void Establish(Clock::time_point now);
  void ConnectedTimers(Clock::time_point now);
  void Flush(Clock::time_point now);
  void Emit(DataFrame frame);
  void SendSack(Clock::time_point now);
  void SendHardDisconnects(int count, Clock::time_point now);
  void EndOnPeersEnd();
  void Abort(CloseReason reason, Clock::time_point now);
  void Close(CloseReason reason);

  ReliableOptions options_;
  State state_ = State::kHandshake;
  Handshake handshake_;
  SendWindow send_;
  ReceiveWindow receive_;
  Clock::time_point now_;
  std::optional<Clock::time_point> ackDue_;
  Clock::time_point keepAliveDue_;
  bool lastWasRetry_ = false;  // the latest DFRAME received, for the SACK's bRetry
  bool ending_ = false;        // our END_STREAM is queued or sent
  bool peerEndedFirst_ = false;
  int hardDisconnectsLeft_ = 0;
  Clock::time_point hardDisconnectDue_;
  std::vector<Bytes> datagrams_;
  std::vector<LinkEvent> events_;
};

}  // namespace dpnet
