#include "platform/directplay/message_assembler.h"

#include <utility>

#include "platform/directplay/data_frame.h"

namespace dpnet {

LinkEvent MessageEvent(Bytes data, std::uint8_t flags) {
  LinkEvent event;
  event.kind = LinkEvent::Kind::kMessage;
  event.message = std::move(data);
  event.core = (flags & kCommandUser1) != 0;
  event.voice = (flags & kCommandUser2) != 0;
  return event;
}

void MessageAssembler::Start(const Piece& piece) {
  state_ = State::kAssembling;
  partial_ = piece.data;
  flags_ = piece.flags;
}

void MessageAssembler::Add(const Piece& piece, std::vector<LinkEvent>& out) {
  if (piece.delivered) {  // a whole message, already handed up; it ends any broken one
    state_ = State::kIdle;
    partial_.clear();
    return;
  }
  if (piece.first) {
    // A new message before the previous one ended: the unfinished one is dropped.
    Start(piece);
  } else if (state_ == State::kSkipping) {
    if (piece.last) state_ = State::kIdle;
    return;
  } else if (state_ == State::kIdle) {
    Start(piece);  // a piece without NEW_MSG after a finished message begins one
  } else {
    partial_.insert(partial_.end(), piece.data.begin(), piece.data.end());
  }
  if (partial_.size() > maxMessage_) {
    overflowed_ = true;
    Gap();
    return;
  }
  if (piece.last) {
    if (!partial_.empty()) out.push_back(MessageEvent(std::exchange(partial_, {}), flags_));
    state_ = State::kIdle;
  }
}

void MessageAssembler::Gap() {
  state_ = State::kSkipping;
  partial_.clear();
}

}  // namespace dpnet
