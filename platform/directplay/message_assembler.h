// Puts messages back together from the pieces of DFRAMEs taken in sequence order: a
// message is the payloads from a NEW_MSG piece to an END_MSG piece. A frame that will
// never come (an unreliable one the peer gave up on) spoils the message it was part
// of, which is then dropped whole rather than delivered with a hole. Pure; one link's
// thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/directplay/link_types.h"

namespace dpnet {

struct Piece {
  Bytes data;
  std::uint8_t flags = 0;  // RELIABLE SEQUENTIAL USER_1 USER_2, as in bCommand
  bool first = true;       // NEW_MSG
  bool last = true;        // END_MSG
  bool delivered = false;  // a whole message handed up when it arrived (not sequential)
};

class MessageAssembler {
 public:
  explicit MessageAssembler(std::size_t maxMessage) : maxMessage_(maxMessage) {}

  // The next piece in sequence order; appends a finished, non-empty message to `out`.
  void Add(const Piece& piece, std::vector<LinkEvent>& out);
  // A frame in the sequence that will never arrive.
  void Gap();
  // A message grew past the limit without ending: the peer breaks the protocol.
  bool Overflowed() const { return overflowed_; }

 private:
  enum class State { kIdle, kAssembling, kSkipping };
  void Start(const Piece& piece);

  std::size_t maxMessage_;
  State state_ = State::kIdle;
  Bytes partial_;
  std::uint8_t flags_ = 0;
  bool overflowed_ = false;
};

// The message event for a whole payload with `flags` (as in bCommand).
LinkEvent MessageEvent(Bytes data, std::uint8_t flags);

}  // namespace dpnet
