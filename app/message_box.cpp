#include "app/message_box.h"

#include <atomic>
#include <cstdio>
#include <string>

namespace {
std::atomic<MessageBoxPresenter*> presenter{nullptr};
}  // namespace

void SetMessageBoxPresenter(MessageBoxPresenter* newPresenter) { presenter = newPresenter; }

int ShowMessageBox(HWND owner, std::string_view text, std::string_view title, unsigned type) {
  if (MessageBoxPresenter* current = presenter.load()) {
    return current->Show(owner, text, title, type);
  }
  const std::string line = BoxLine(title, text) + "\n";
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
  return IDOK;
}

std::string BoxLine(std::string_view title, std::string_view text) {
  std::string line = "[";
  line.append(title);
  line += "] ";
  for (char c : text) {
    if (c == '\n') {
      line += "\\n";
    } else {
      line += c;
    }
  }
  return line;
}
