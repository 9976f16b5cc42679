#include "platform/directplay/receive_window.h"

#include <utility>

#include "platform/directplay/data_frame.h"

namespace dpnet {

bool ReceiveWindow::Accept(Arrival arrival, std::vector<LinkEvent>& out) {
  if (endStream_ || Ahead(arrival.seq) >= kWindow) return false;
  Slot& slot = SlotOf(arrival.seq);
  if (slot.filled) return false;
  // Whole messages that need not wait for the ones before them are handed up at once
  // (one too large is left for the assembler to refuse).
  for (Piece& piece : arrival.pieces) {
    const bool unordered = (piece.flags & kCommandSequential) == 0;
    if (unordered && piece.first && piece.last && !piece.data.empty() && piece.data.size() <= maxMessage_) {
      out.push_back(MessageEvent(std::move(piece.data), piece.flags));
      piece.delivered = true;
    }
  }
  slot = {true, false, std::move(arrival)};
  Drain(out);
  return true;
}

void ReceiveWindow::Cancel(std::uint8_t seq, std::uint64_t sendMask, std::vector<LinkEvent>& out) {
  if (endStream_) return;
  for (unsigned bit = 0; bit < kWindow; ++bit) {
    if (((sendMask >> bit) & 1u) == 0) continue;
    const auto cancelled = static_cast<std::uint8_t>(seq - 1 - bit);
    Slot& slot = SlotOf(cancelled);
    if (Ahead(cancelled) < kWindow && !slot.filled) slot = {true, true, {}};
  }
  Drain(out);
}

std::uint64_t ReceiveWindow::SackMask() const {
  std::uint64_t mask = 0;
  for (unsigned bit = 0; bit + 1 < kWindow; ++bit) {
    const Slot& slot = SlotOf(static_cast<std::uint8_t>(next_ + 1 + bit));
    if (slot.filled && !slot.cancelled) mask |= std::uint64_t{1} << bit;
  }
  return mask;
}

void ReceiveWindow::Drain(std::vector<LinkEvent>& out) {
  while (!endStream_ && SlotOf(next_).filled) {
    Slot slot = std::exchange(SlotOf(next_), {});
    ++next_;
    if (slot.cancelled) {
      assembler_.Gap();
      continue;
    }
    for (const Piece& piece : slot.arrival.pieces) assembler_.Add(piece, out);
    if (slot.arrival.endStream) {
      // Nothing after the peer's last frame counts.
      endStream_ = true;
      slots_.fill({});
    }
  }
}

}  // namespace dpnet
