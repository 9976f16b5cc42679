#include "platform/directplay/send_window.h"

#include <algorithm>
#include <utility>

#include "platform/directplay/le_bytes.h"

namespace dpnet {

namespace {

constexpr std::size_t kWindow = 64;
// Room kept in every frame for all four mask words.
constexpr std::size_t kMaskRoom = 16;
// After a SACK mask shows a hole, the frame that fills it goes again this soon.
constexpr auto kHoleRetry = std::chrono::milliseconds(10);
constexpr std::uint8_t kWholeReliable = kCommandData | kCommandReliable | kCommandSequential |
                                        kCommandNewMessage | kCommandEndMessage;

std::uint8_t KindFlags(SendKind how) {
  return static_cast<std::uint8_t>((how.reliable ? kCommandReliable : 0) |
                                   (how.sequential ? kCommandSequential : 0) |
                                   (how.core ? kCommandUser1 : 0));
}

}  // namespace

SendWindow::SendWindow(const ReliableOptions& options)
    : options_(options), version_(options.version), rtt_(options.initialRoundTrip) {}

bool SendWindow::Queue(Bytes payload, SendKind kind) {
  if (payload.size() > options_.maxQueuedBytes - std::min(queuedBytes_, options_.maxQueuedBytes)) {
    return false;
  }
  queuedBytes_ += payload.size();
  queue_.push_back({Queued::Kind::kMessage, std::move(payload), kind, 0});
  return true;
}

void SendWindow::QueueKeepAlive(std::uint32_t sessionId) {
  Bytes payload;
  if (version_ >= kCoalescingVersion) PutLittleEndian(payload, sessionId);
  queue_.push_back({Queued::Kind::kKeepAlive, std::move(payload), {}, 0});
}

void SendWindow::QueueEndStream() { queue_.push_back({Queued::Kind::kEndStream, {}, {}, 0}); }

std::size_t SendWindow::PayloadRoom() const {
  const std::size_t header = kDataHeaderSize + kMaskRoom;
  return options_.maxFrameSize > header ? options_.maxFrameSize - header : 1;
}

bool SendWindow::Coalescable(const Queued& item) const {
  return version_ >= kCoalescingVersion && item.kind == Queued::Kind::kMessage && item.sent == 0 &&
         item.payload.size() <= std::min(kMaxCoalescedSize, PayloadRoom());
}

bool SendWindow::CanSendNew() const { return !queue_.empty() && flight_.size() < kWindow; }

std::vector<DataFrame> SendWindow::TakeNew(Clock::time_point now) {
  std::vector<DataFrame> out;
  while (CanSendNew()) {
    InFlight frame = NextFrame();
    frame.frame.seq = nextSend_++;
    frame.sentAt = now;
    frame.lastSent = now;
    frame.deadline = now + RetryDelay(rtt_.Estimate(), 0, options_);
    // One frame asks for an immediate acknowledgement per round trip (that measures
    // it), and so does the one that fills the window.
    const bool probing = std::ranges::any_of(flight_, [](const InFlight& f) { return f.polled && !f.acknowledged; });
    frame.polled = frame.polled || !probing || flight_.size() + 1 == kWindow;
    flight_.push_back(std::move(frame));
    out.push_back(Stamp(flight_.back(), flight_.back().polled, false));
  }
  if (!out.empty()) maskDue_.reset();  // every new frame carries the whole send mask
  return out;
}

SendWindow::InFlight SendWindow::NextFrame() {
  Queued& front = queue_.front();
  if (front.kind == Queued::Kind::kMessage) {
    InFlight coalesced = CoalescedFrame();
    return coalesced.parts.empty() ? MessagePiece(front) : coalesced;
  }
  InFlight frame;
  frame.frame.command = kWholeReliable;
  const bool keepAlive = front.kind == Queued::Kind::kKeepAlive;
  frame.frame.control = keepAlive ? (version_ >= kCoalescingVersion ? kControlKeepAlive : 0)
                                  : kControlEndStream;
  frame.frame.payload = std::move(front.payload);
  frame.reliable = true;
  frame.polled = true;
  queue_.pop_front();
  return frame;
}

SendWindow::InFlight SendWindow::MessagePiece(Queued& item) {
  const std::size_t size = std::min(PayloadRoom(), item.payload.size() - item.sent);
  const bool first = item.sent == 0;
  const bool last = item.sent + size == item.payload.size();
  InFlight frame;
  frame.frame.command = static_cast<std::uint8_t>(kCommandData | KindFlags(item.how) |
                                                  (first ? kCommandNewMessage : 0) |
                                                  (last ? kCommandEndMessage : 0));
  const auto begin = item.payload.begin() + static_cast<std::ptrdiff_t>(item.sent);
  frame.frame.payload.assign(begin, begin + static_cast<std::ptrdiff_t>(size));
  frame.reliable = item.how.reliable;
  item.sent += size;
  if (last) {
    queuedBytes_ -= item.payload.size();
    queue_.pop_front();
  }
  return frame;
}

// Several whole small payloads from the front of the queue in one frame; no parts when
// fewer than two fit.
SendWindow::InFlight SendWindow::CoalescedFrame() {
  InFlight frame;
  for (const Queued& item : queue_) {
    if (frame.parts.size() == kMaxCoalesced || !Coalescable(item)) break;
    frame.parts.push_back({KindFlags(item.how), item.payload});
    if (CoalescedSize(frame.parts) > PayloadRoom()) {
      frame.parts.pop_back();
      break;
    }
  }
  if (frame.parts.size() < 2) return {};
  std::uint8_t flags = 0;
  for (const SubPayload& part : frame.parts) {
    flags = static_cast<std::uint8_t>(flags | part.flags);
    queuedBytes_ -= part.data.size();
    queue_.pop_front();
  }
  frame.frame.command = static_cast<std::uint8_t>(
      kCommandData | kCommandNewMessage | kCommandEndMessage |
      (flags & (kCommandReliable | kCommandSequential)));
  frame.frame.control = kControlCoalesce;
  frame.reliable = (flags & kCommandReliable) != 0;
  return frame;
}

DataFrame SendWindow::Stamp(const InFlight& sent, bool poll, bool retry) const {
  DataFrame frame = sent.frame;
  if (poll) frame.command = static_cast<std::uint8_t>(frame.command | kCommandPoll);
  if (retry) frame.control = static_cast<std::uint8_t>(frame.control | kControlRetry);
  if (!sent.parts.empty()) {
    // A retry carries only the reliable payloads; the others were never promised.
    std::vector<SubPayload> parts;
    std::ranges::copy_if(sent.parts, std::back_inserter(parts), [retry](const SubPayload& part) {
      return !retry || (part.flags & kCommandReliable) != 0;
    });
    frame.payload = EncodeCoalesced(parts);
  }
  frame.masks = Masks::From(0, SendMaskFor(frame.seq));
  return frame;
}

std::vector<DataFrame> SendWindow::TakeRetries(Clock::time_point now) {
  std::vector<DataFrame> out;
  for (InFlight& frame : flight_) {
    if (frame.acknowledged || frame.deadline > now) continue;
    if (frame.retries >= options_.maxRetries) {
      lost_ = true;
      return {};
    }
    ++frame.retries;
    frame.lastSent = now;
    frame.deadline = now + RetryDelay(rtt_.Estimate(), frame.retries, options_);
    if (frame.reliable) {
      out.push_back(Stamp(frame, true, true));
    } else {
      // Never sent again: the peer learns through the send mask that it will not come.
      frame.givenUp = true;
      maskDue_ = std::min(maskDue_.value_or(Clock::time_point::max()), now + options_.sendMaskDelay);
    }
  }
  return out;
}

void SendWindow::Acknowledge(InFlight& frame, Clock::time_point now) {
  if (frame.acknowledged) return;
  if (frame.polled && frame.retries == 0) rtt_.Sample(now - frame.sentAt);
  frame.acknowledged = true;
}

bool SendWindow::OnAck(std::uint8_t nextReceive, std::uint64_t sackMask, Clock::time_point now) {
  const std::uint8_t base = flight_.empty() ? nextSend_ : flight_.front().frame.seq;
  const std::size_t passed = static_cast<std::uint8_t>(nextReceive - base);
  if (passed > flight_.size()) {
    // Behind what is already acknowledged: a late or repeated frame, still valid.
    // Ahead of what was sent: nonsense.
    return static_cast<std::uint8_t>(base - nextReceive) <= kWindow;
  }
  for (std::size_t i = 0; i < passed; ++i) {
    // Only bNRcv says that everything up to our END_STREAM arrived; a SACK bit does not.
    if ((flight_.front().frame.control & kControlEndStream) != 0) endStreamAcked_ = true;
    Acknowledge(flight_.front(), now);
    flight_.pop_front();
  }
  // Now the first frame in flight, if any, is nextReceive; SACK bit i is frame i + 1.
  for (std::size_t bit = 0; bit < kWindow; ++bit) {
    if (((sackMask >> bit) & 1u) != 0 && bit + 1 < flight_.size()) Acknowledge(flight_[bit + 1], now);
  }
  // A hole the peer reports goes again soon, but not twice within one round trip: the
  // SACKs that follow a retry cannot know of it yet.
  if (sackMask != 0 && !flight_.empty() && !flight_.front().acknowledged) {
    InFlight& hole = flight_.front();
    if (now - hole.lastSent >= std::max<Clock::duration>(rtt_.Estimate(), kHoleRetry)) {
      hole.deadline = std::min(hole.deadline, now + kHoleRetry);
    }
  }
  return true;
}

std::optional<Clock::time_point> SendWindow::NextRetry() const {
  std::optional<Clock::time_point> next;
  for (const InFlight& frame : flight_) {
    if (!frame.acknowledged) next = std::min(next.value_or(frame.deadline), frame.deadline);
  }
  return next;
}

std::uint64_t SendWindow::SendMaskFor(std::uint8_t seq) const {
  std::uint64_t mask = 0;
  for (const InFlight& frame : flight_) {
    const auto behind = static_cast<std::uint8_t>(seq - frame.frame.seq);
    if (frame.givenUp && !frame.acknowledged && behind >= 1 && behind <= kWindow) {
      mask |= std::uint64_t{1} << (behind - 1);
    }
  }
  return mask;
}

void SendWindow::Clear() {
  queue_.clear();
  flight_.clear();
  queuedBytes_ = 0;
  maskDue_.reset();
}

}  // namespace dpnet
