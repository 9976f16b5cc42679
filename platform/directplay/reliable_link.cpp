#include "platform/directplay/reliable_link.h"

#include <algorithm>
#include <utility>

#include "platform/directplay/le_bytes.h"

namespace dpnet {

namespace {

bool Has(std::uint8_t bits, std::uint8_t flag) { return (bits & flag) != 0; }

void Earliest(std::optional<Clock::time_point>& next, std::optional<Clock::time_point> candidate) {
  if (candidate) next = std::min(next.value_or(*candidate), *candidate);
}

}  // namespace

ReliableLink::ReliableLink(Handshake handshake, const ReliableOptions& options, Clock::time_point now,
                           std::vector<Bytes> datagrams)
    : options_(options),
      handshake_(std::move(handshake)),
      send_(options),
      receive_(options.maxMessageSize),
      now_(now),
      keepAliveDue_(now + options.keepAlivePeriod),
      datagrams_(std::move(datagrams)) {}

ReliableLink ReliableLink::Connect(Clock::time_point now, std::uint32_t sessionId, ReliableOptions options) {
  std::vector<Bytes> out;
  Handshake handshake = Handshake::Connector(sessionId, options, now, out);
  return ReliableLink(std::move(handshake), options, now, std::move(out));
}

std::optional<ReliableLink> ReliableLink::Accept(std::span<const std::uint8_t> datagram,
                                                 Clock::time_point now, ReliableOptions options) {
  const auto frame = DecodeFrame(datagram);
  const auto* connect = frame ? std::get_if<ConnectFrame>(&*frame) : nullptr;
  if (connect == nullptr) return std::nullopt;
  std::vector<Bytes> out;
  auto handshake = Handshake::Listener(*connect, options, now, out);
  if (!handshake) return std::nullopt;
  return ReliableLink(std::move(*handshake), options, now, std::move(out));
}

void ReliableLink::OnDatagram(std::span<const std::uint8_t> datagram, Clock::time_point now) {
  now_ = now;
  if (state_ == State::kClosed) return;
  const auto frame = DecodeFrame(datagram);
  if (!frame) return;
  if (const auto* connect = std::get_if<ConnectFrame>(&*frame)) {
    OnConnectFrame(*connect, now);
  } else if (state_ != State::kConnected) {
    // No DFRAME or SACK counts before the handshake completed.
    if (std::holds_alternative<DataFrame>(*frame)) handshake_.OnEarlyData(now, datagrams_);
    return;
  } else if (const auto* sack = std::get_if<SackFrame>(&*frame)) {
    OnSack(*sack, now);
  } else {
    OnData(std::get<DataFrame>(*frame), now);
  }
  EndOnPeersEnd();
}

void ReliableLink::OnConnectFrame(const ConnectFrame& frame, Clock::time_point now) {
  if (frame.opcode == Opcode::kHardDisconnect) {
    if (state_ == State::kConnected && frame.sessionId == handshake_.SessionId()) {
      send_.Clear();
      SendHardDisconnects(options_.hardDisconnects, now);  // all at once: we are gone
      Close(CloseReason::kHardDisconnect);
    }
    return;
  }
  const Handshake::Result result = handshake_.OnFrame(frame, now, datagrams_);
  if (state_ != State::kHandshake) return;
  if (result == Handshake::Result::kRefused) Close(CloseReason::kConnectRefused);
  if (result == Handshake::Result::kEstablished) Establish(now);
}

void ReliableLink::Establish(Clock::time_point now) {
  state_ = State::kConnected;
  send_.SetVersion(handshake_.Version());
  if (const auto roundTrip = handshake_.RoundTrip()) send_.Rtt().Sample(*roundTrip);
  keepAliveDue_ = now + options_.keepAlivePeriod;
  events_.push_back({LinkEvent::Kind::kConnected, {}, false, CloseReason::kLocal});
  // A first KeepAlive, as the sample connection shows: the peer answers it at once,
  // which measures the round trip both ways before any data.
  send_.QueueKeepAlive(handshake_.SessionId());
}

void ReliableLink::OnSack(const SackFrame& frame, Clock::time_point now) {
  if (!send_.OnAck(frame.nextReceive, frame.masks.Sack(), now)) return;
  keepAliveDue_ = now + options_.keepAlivePeriod;
  receive_.Cancel(frame.nextSend, frame.masks.Send(), events_);
}

std::optional<Arrival> ReliableLink::Unpack(const DataFrame& frame) const {
  const bool current = handshake_.Version() >= kCoalescingVersion;
  Arrival arrival{frame.seq, {}, Has(frame.control, kControlEndStream)};
  if (current && Has(frame.control, kControlKeepAlive)) {
    Bytes session;
    PutLittleEndian(session, handshake_.SessionId());
    if (Has(frame.control, kControlCoalesce) || frame.payload != session) return std::nullopt;
    return arrival;
  }
  if (Has(frame.control, kControlCoalesce)) {
    const std::uint8_t whole = kCommandNewMessage | kCommandEndMessage;
    if (!current || (frame.command & whole) != whole) return std::nullopt;
    auto parts = DecodeCoalesced(frame.payload);
    if (!parts) return std::nullopt;
    for (SubPayload& part : *parts) arrival.pieces.push_back({std::move(part.data), part.flags});
  } else if (!frame.payload.empty()) {
    arrival.pieces.push_back({frame.payload, static_cast<std::uint8_t>(frame.command & kCoalescedFlagBits),
                              Has(frame.command, kCommandNewMessage), Has(frame.command, kCommandEndMessage)});
  }
  return arrival;
}

void ReliableLink::OnData(const DataFrame& frame, Clock::time_point now) {
  auto arrival = Unpack(frame);
  if (!arrival || !send_.OnAck(frame.nextReceive, frame.masks.Sack(), now)) return;
  keepAliveDue_ = now + options_.keepAlivePeriod;
  lastWasRetry_ = Has(frame.control, kControlRetry);
  const bool accepted = receive_.Accept(std::move(*arrival), events_);
  receive_.Cancel(frame.seq, frame.masks.Send(), events_);
  if (receive_.Overflowed()) {
    Abort(CloseReason::kLost, now);
    return;
  }
  // Before 1.5 the KeepAlive bit asks for an acknowledgement at once, as POLL does; the
  // peer's END_STREAM is acknowledged at once too, so that it can close.
  const bool correlate = handshake_.Version() < kCoalescingVersion && Has(frame.control, kControlKeepAlive);
  ScheduleAck(Has(frame.command, kCommandPoll) || correlate || receive_.EndStreamReceived(),
              !accepted || receive_.SackMask() != 0, now);
}

void ReliableLink::ScheduleAck(bool now, bool early, Clock::time_point time) {
  if (now) {
    SendSack(time);
    return;
  }
  Earliest(ackDue_, time + (early ? options_.delayedAckShort : options_.delayedAck));
}

void ReliableLink::OnTime(Clock::time_point now) {
  now_ = now;
  if (state_ == State::kClosed) {
    if (hardDisconnectsLeft_ > 0 && now >= hardDisconnectDue_) {
      SendHardDisconnects(1, now);
      --hardDisconnectsLeft_;
      hardDisconnectDue_ = now + HardDisconnectSpacing(send_.Rtt().Estimate());
    }
  } else if (state_ == State::kHandshake) {
    if (!handshake_.OnTime(now, datagrams_)) Close(CloseReason::kConnectTimedOut);
  } else {
    ConnectedTimers(now);
    EndOnPeersEnd();
  }
}

void ReliableLink::ConnectedTimers(Clock::time_point now) {
  for (DataFrame& frame : send_.TakeRetries(now)) Emit(std::move(frame));
  if (send_.Lost()) {
    // Once the peer ended its stream, only the acknowledgement of ours went missing.
    if (!receive_.EndStreamReceived()) {
      Close(CloseReason::kLost);
    } else {
      Close(peerEndedFirst_ ? CloseReason::kGraceful : CloseReason::kLocal);
    }
    return;
  }
  if ((ackDue_ && now >= *ackDue_) || (send_.MaskDue() && now >= *send_.MaskDue())) SendSack(now);
  if (now >= keepAliveDue_) {
    keepAliveDue_ = now + options_.keepAlivePeriod;
    // After our END_STREAM no KeepAlive may go out; a peer that acknowledged it and then
    // stays silent this long without ending its own stream is left.
    if (ending_ && send_.EndStreamAcknowledged()) {
      Close(CloseReason::kLocal);
      return;
    }
    if (!ending_ && send_.Idle()) send_.QueueKeepAlive(handshake_.SessionId());
  }
  Flush(now);
}

// The peer's END_STREAM (taken in order, after a DFRAME or a send mask filled the gap
// before it) is answered with ours, after what we queued before; the link closes once
// ours is acknowledged too.
void ReliableLink::EndOnPeersEnd() {
  if (state_ != State::kConnected || !receive_.EndStreamReceived()) return;
  if (!ending_) {
    ending_ = true;
    peerEndedFirst_ = true;
    send_.QueueEndStream();
  }
  if (send_.EndStreamAcknowledged()) Close(peerEndedFirst_ ? CloseReason::kGraceful : CloseReason::kLocal);
}

void ReliableLink::Flush(Clock::time_point now) {
  for (DataFrame& frame : send_.TakeNew(now)) Emit(std::move(frame));
}

// Every DFRAME carries the receiving half's acknowledgement, which makes a dedicated one
// unnecessary.
void ReliableLink::Emit(DataFrame frame) {
  frame.nextReceive = receive_.NextReceive();
  frame.masks = Masks::From(receive_.SackMask(), frame.masks.Send());
  datagrams_.push_back(Encode(frame));
  ackDue_.reset();
}

void ReliableLink::SendSack(Clock::time_point now) {
  const std::uint8_t nextSend = send_.NextSend();
  datagrams_.push_back(Encode(SackFrame{false, true, static_cast<std::uint8_t>(lastWasRetry_ ? 1 : 0),
                                        nextSend, receive_.NextReceive(), TickCount(now),
                                        Masks::From(receive_.SackMask(), send_.SendMaskFor(nextSend))}));
  ackDue_.reset();
  send_.MaskSent();
}

void ReliableLink::SendHardDisconnects(int count, Clock::time_point now) {
  for (int i = 0; i < count; ++i) datagrams_.push_back(handshake_.HardDisconnect(now));
}

bool ReliableLink::Send(std::span<const std::uint8_t> payload, SendKind kind, Clock::time_point now) {
  now_ = now;
  if (state_ != State::kConnected || ending_ || payload.empty() || payload.size() > options_.maxMessageSize) {
    return false;
  }
  return send_.Queue(Bytes(payload.begin(), payload.end()), kind);
}

void ReliableLink::Disconnect(Clock::time_point now) {
  now_ = now;
  if (state_ == State::kHandshake) Close(CloseReason::kLocal);
  if (state_ != State::kConnected || ending_) return;
  ending_ = true;
  send_.QueueEndStream();
}

void ReliableLink::HardDisconnect(Clock::time_point now) {
  now_ = now;
  if (state_ == State::kHandshake) Close(CloseReason::kLocal);
  if (state_ == State::kConnected) Abort(CloseReason::kLocal, now);
}

// Ends the link at once: what was queued or in flight is dropped, the peer is told with
// HARD_DISCONNECTs (the first now, the others spaced out by OnTime).
void ReliableLink::Abort(CloseReason reason, Clock::time_point now) {
  send_.Clear();
  SendHardDisconnects(1, now);
  hardDisconnectsLeft_ = options_.hardDisconnects - 1;
  hardDisconnectDue_ = now + HardDisconnectSpacing(send_.Rtt().Estimate());
  Close(reason);
}

void ReliableLink::Close(CloseReason reason) {
  if (state_ == State::kClosed) return;
  state_ = State::kClosed;
  ackDue_.reset();
  events_.push_back({LinkEvent::Kind::kClosed, {}, false, reason});
}

std::optional<Clock::time_point> ReliableLink::NextDeadline() const {
  if (state_ == State::kClosed) {
    return hardDisconnectsLeft_ > 0 ? std::optional(hardDisconnectDue_) : std::nullopt;
  }
  if (state_ == State::kHandshake) return handshake_.Deadline();
  std::optional<Clock::time_point> next = keepAliveDue_;
  Earliest(next, ackDue_);
  Earliest(next, send_.MaskDue());
  Earliest(next, send_.NextRetry());
  if (send_.CanSendNew()) Earliest(next, now_);
  return next;
}

std::vector<Bytes> ReliableLink::TakeDatagrams() {
  if (state_ == State::kConnected) Flush(now_);
  return std::exchange(datagrams_, {});
}

std::vector<LinkEvent> ReliableLink::TakeEvents() { return std::exchange(events_, {}); }

bool ReliableLink::Connected() const { return state_ == State::kConnected; }

bool ReliableLink::Closed() const { return state_ == State::kClosed; }

}  // namespace dpnet
