#include "platform/directplay/handshake.h"

#include <algorithm>

#include "platform/directplay/retry_timing.h"

namespace dpnet {

namespace {

constexpr std::uint32_t kMajorVersion = 0x00010000;

bool MajorFits(std::uint32_t version) { return (version & 0xFFFF0000u) == kMajorVersion; }

}  // namespace

Handshake::Handshake(bool connector, std::uint32_t sessionId, const ReliableOptions& options)
    : connector_(connector), sessionId_(sessionId), options_(options), version_(options.version) {}

Handshake Handshake::Connector(std::uint32_t sessionId, const ReliableOptions& options,
                               Clock::time_point now, std::vector<Bytes>& out) {
  Handshake handshake(true, sessionId, options);
  handshake.SendOwn(now, out);
  return handshake;
}

std::optional<Handshake> Handshake::Listener(const ConnectFrame& connect, const ReliableOptions& options,
                                             Clock::time_point now, std::vector<Bytes>& out) {
  // A session id of 0 is only allowed before 1.5.
  if (connect.opcode != Opcode::kConnect || !MajorFits(connect.version) ||
      (connect.sessionId == 0 && connect.version >= kCoalescingVersion)) {
    return std::nullopt;
  }
  Handshake handshake(false, connect.sessionId, options);
  handshake.version_ = std::min(options.version, connect.version);
  handshake.peerMessageId_ = connect.messageId;
  handshake.SendOwn(now, out);
  return handshake;
}

void Handshake::Send(Opcode opcode, bool poll, std::uint8_t responseId, Clock::time_point now,
                     std::vector<Bytes>& out) {
  const std::uint8_t id = nextMessageId_++;
  out.push_back(Encode(ConnectFrame{opcode, poll, id, responseId, options_.version, sessionId_,
                                    TickCount(now), {}, {}}));
  if (poll || opcode == Opcode::kConnect) {
    lastOwnId_ = id;
    lastOwnSent_ = now;
  }
}

// The connector's CONNECT, or the listener's CONNECTED with POLL, with its retry timer.
void Handshake::SendOwn(Clock::time_point now, std::vector<Bytes>& out) {
  if (connector_) {
    Send(Opcode::kConnect, true, 0, now, out);
  } else {
    Send(Opcode::kConnected, true, peerMessageId_, now, out);
  }
  deadline_ = now + ConnectRetryDelay(retries_, options_);
}

bool Handshake::OnTime(Clock::time_point now, std::vector<Bytes>& out) {
  if (established_ || now < deadline_) return true;
  if (retries_ >= options_.connectRetries) return false;
  ++retries_;
  SendOwn(now, out);
  return true;
}

void Handshake::OnEarlyData(Clock::time_point now, std::vector<Bytes>& out) {
  if (!connector_ && !established_) SendOwn(now, out);
}

void Handshake::Establish(const ConnectFrame& answer, Clock::time_point now) {
  established_ = true;
  if (answer.responseId == lastOwnId_) roundTrip_ = now - lastOwnSent_;
}

Handshake::Result Handshake::OnFrame(const ConnectFrame& frame, Clock::time_point now,
                                     std::vector<Bytes>& out) {
  if (frame.sessionId != sessionId_ || !MajorFits(frame.version)) return Result::kNothing;
  return connector_ ? OnConnectorFrame(frame, now, out) : OnListenerFrame(frame, now, out);
}

Handshake::Result Handshake::OnConnectorFrame(const ConnectFrame& frame, Clock::time_point now,
                                              std::vector<Bytes>& out) {
  // Only the listener's answers count, and those carry POLL.
  if (!frame.poll) return Result::kNothing;
  if (frame.opcode == Opcode::kConnectedSigned) {
    return established_ ? Result::kNothing : Result::kRefused;
  }
  if (frame.opcode != Opcode::kConnected) return Result::kNothing;
  // Established or not, the listener waits for our CONNECTED: (again) confirm it.
  Send(Opcode::kConnected, false, frame.messageId, now, out);
  if (established_) return Result::kNothing;
  version_ = std::min(options_.version, frame.version);
  Establish(frame, now);
  return Result::kEstablished;
}

Handshake::Result Handshake::OnListenerFrame(const ConnectFrame& frame, Clock::time_point now,
                                             std::vector<Bytes>& out) {
  if (established_) return Result::kNothing;  // late duplicates of the handshake
  if (frame.opcode == Opcode::kConnect) {
    // The connector did not hear our CONNECTED yet: answer this CONNECT at once.
    peerMessageId_ = frame.messageId;
    Send(Opcode::kConnected, true, peerMessageId_, now, out);
    return Result::kNothing;
  }
  if (frame.opcode != Opcode::kConnected || frame.poll) return Result::kNothing;
  Establish(frame, now);
  return Result::kEstablished;
}

Bytes Handshake::HardDisconnect(Clock::time_point now) {
  return Encode(ConnectFrame{Opcode::kHardDisconnect, false, nextMessageId_++, 0, options_.version,
                             sessionId_, TickCount(now), {}, {}});
}

}  // namespace dpnet
