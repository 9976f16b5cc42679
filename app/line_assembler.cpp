#include "app/line_assembler.h"

void LineAssembler::Feed(std::string_view bytes, const std::function<void(const std::string&)>& onLine) {
  while (!bytes.empty()) {
    const std::size_t newline = bytes.find('\n');
    const std::string_view piece = bytes.substr(0, newline);
    if (!overlong_ && pending_.size() + piece.size() > limit_) {
      overlong_ = true;
      pending_.clear();
    }
    if (!overlong_) {
      pending_.append(piece);
    }
    if (newline == std::string_view::npos) {
      return;
    }
    if (overlong_) {
      ++dropped_;
    } else {
      onLine(pending_);
    }
    pending_.clear();
    overlong_ = false;
    bytes.remove_prefix(newline + 1);
  }
}
