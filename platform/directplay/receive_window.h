// The incoming half of a link's sequence space: which DFRAMEs arrived, which will never
// come (send masks), what to acknowledge (bNRcv and the SACK mask), and the in-order
// hand-over of their payloads. At most 64 frames are held, each at most one datagram.
// Pure; one link's thread.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/directplay/message_assembler.h"

namespace dpnet {

// What one DFRAME brought, once its payload was taken apart.
struct Arrival {
  std::uint8_t seq = 0;
  std::vector<Piece> pieces;  // none for a KeepAlive or END_STREAM
  bool endStream = false;
};

class ReceiveWindow {
 public:
  explicit ReceiveWindow(std::size_t maxMessage) : maxMessage_(maxMessage), assembler_(maxMessage) {}

  // Takes a frame; messages that can be handed up go to `out`. False (the frame is
  // ignored) when it is a duplicate, outside the window, or after the peer's END_STREAM.
  bool Accept(Arrival arrival, std::vector<LinkEvent>& out);
  // The peer's send mask, relative to `seq` (bit 0: seq - 1): those frames will never
  // come, so the sequence moves past them.
  void Cancel(std::uint8_t seq, std::uint64_t sendMask, std::vector<LinkEvent>& out);

  std::uint8_t NextReceive() const { return next_; }
  // Bit i: frame NextReceive() + 1 + i arrived out of order.
  std::uint64_t SackMask() const;
  bool EndStreamReceived() const { return endStream_; }
  bool Overflowed() const { return assembler_.Overflowed(); }

 private:
  struct Slot {
    bool filled = false;
    bool cancelled = false;
    Arrival arrival;
  };
  static constexpr std::size_t kWindow = 64;
  Slot& SlotOf(std::uint8_t seq) { return slots_[seq % kWindow]; }
  const Slot& SlotOf(std::uint8_t seq) const { return slots_[seq % kWindow]; }
  // How far `seq` is ahead of the next expected frame (0 to 255).
  std::uint8_t Ahead(std::uint8_t seq) const { return static_cast<std::uint8_t>(seq - next_); }
  void Drain(std::vector<LinkEvent>& out);

  std::size_t maxMessage_;
  std::array<Slot, kWindow> slots_{};
  std::uint8_t next_ = 0;
  bool endStream_ = false;
  MessageAssembler assembler_;
};

}  // namespace dpnet
