// The outgoing half of a link's sequence space: payloads queued in order, cut into
// frames (coalesced when the peer's version allows), at most 64 frames in flight, retry
// timers from the measured round trip, acknowledgements, and send masks for the
// unreliable frames given up on. It fills in everything of a DFRAME but bNRcv and the
// SACK masks, which belong to the receiving half. Pure; one link's thread.
#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "platform/directplay/coalesced.h"
#include "platform/directplay/data_frame.h"
#include "platform/directplay/retry_timing.h"

namespace dpnet {

class SendWindow {
 public:
  explicit SendWindow(const ReliableOptions& options);

  // Queues one payload; false when the queue is full.
  bool Queue(Bytes payload, SendKind kind);
  // A KeepAlive: with `sessionId` as its payload when coalescing (1.5) is spoken,
  // empty before.
  void QueueKeepAlive(std::uint32_t sessionId);
  // The last frame of our stream.
  void QueueEndStream();
  // The version both sides speak, known once connected: it decides coalescing and the
  // KeepAlive's form.
  void SetVersion(std::uint32_t version) { version_ = version; }

  // Frames for what is queued, in order, as far as the window allows.
  std::vector<DataFrame> TakeNew(Clock::time_point now);
  // Reliable frames whose timers ran out, to send again; unreliable ones get a send
  // mask instead. Sets Lost() when a frame ran out of retries.
  std::vector<DataFrame> TakeRetries(Clock::time_point now);
  // The peer's bNRcv and SACK mask. Ones older than what is already acknowledged
  // change nothing; false (nothing changes) when they acknowledge frames never sent.
  bool OnAck(std::uint8_t nextReceive, std::uint64_t sackMask, Clock::time_point now);
  // Drops everything queued and in flight (hard disconnect).
  void Clear();

  RoundTrip& Rtt() { return rtt_; }
  std::uint8_t NextSend() const { return nextSend_; }
  // The send mask a frame with sequence `seq` carries (bit 0: seq - 1).
  std::uint64_t SendMaskFor(std::uint8_t seq) const;
  // When a dedicated SACK must carry a send mask, unless a frame carries it first.
  std::optional<Clock::time_point> MaskDue() const { return maskDue_; }
  void MaskSent() { maskDue_.reset(); }
  std::optional<Clock::time_point> NextRetry() const;
  bool CanSendNew() const;
  bool Idle() const { return queue_.empty() && flight_.empty(); }
  bool Lost() const { return lost_; }
  // Our END_STREAM and everything before it were acknowledged.
  bool EndStreamAcknowledged() const { return endStreamAcked_; }

 private:
  struct Queued {
    enum class Kind { kMessage, kKeepAlive, kEndStream };
    Kind kind = Kind::kMessage;
    Bytes payload;
    SendKind how;
    std::size_t sent = 0;  // bytes of a large message already in frames
  };
  struct InFlight {
    DataFrame frame;                // as first sent, without POLL, RETRY or masks
    std::vector<SubPayload> parts;  // a coalesced frame's payloads
    bool reliable = false;
    bool polled = false;
    bool acknowledged = false;  // by a SACK mask, before bNRcv passed it
    bool givenUp = false;       // unreliable and timed out: in the send mask
    int retries = 0;
    Clock::time_point sentAt;    // first sent
    Clock::time_point lastSent;  // latest retry
    Clock::time_point deadline;
  };

  std::size_t PayloadRoom() const;
  bool Coalescable(const Queued& item) const;
  InFlight NextFrame();
  InFlight MessagePiece(Queued& item);
  InFlight CoalescedFrame();
  DataFrame Stamp(const InFlight& sent, bool poll, bool retry) const;
  void Acknowledge(InFlight& frame, Clock::time_point now);

  ReliableOptions options_;
  std::uint32_t version_;
  RoundTrip rtt_;
  std::deque<Queued> queue_;
  std::size_t queuedBytes_ = 0;
  std::deque<InFlight> flight_;  // consecutive sequence numbers up to nextSend_
  std::uint8_t nextSend_ = 0;
  std::optional<Clock::time_point> maskDue_;
  bool lost_ = false;
  bool endStreamAcked_ = false;
};

}  // namespace dpnet
