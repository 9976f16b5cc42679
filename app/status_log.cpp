#include "app/status_log.h"

#include <algorithm>
#include <cstring>

#include "app/session_state.h"

namespace {
StatusLog& Log() { return session.statusLog; }
}  // namespace

void LogStatus(HWND window, std::string_view text) {
  StatusLog& log = Log();
  std::scoped_lock lock(log.statusLogLock);
  if (log.statusLineCount == STATUS_LINE_LIMIT) {
    std::memmove(log.statusLines[0], log.statusLines[1], sizeof(log.statusLines[0]) * (STATUS_LINE_LIMIT - 1));
    --log.statusLineCount;
  }
  char* line = log.statusLines[log.statusLineCount];
  const std::size_t length = std::min<std::size_t>(text.size(), STATUS_LINE_CHARS);
  std::memcpy(line, text.data(), length);
  line[length] = '\0';
  ++log.statusLineCount;
  if (log.observer != nullptr) {
    log.observer(std::string_view(line, length));
  }
  if (window != nullptr) {
    window->Post(WM_APP, 0, 0);
  }
}

std::string StatusText() {
  StatusLog& log = Log();
  std::scoped_lock lock(log.statusLogLock);
  std::string text;
  for (int i = 0; i < log.statusLineCount; ++i) {
    if (i > 0) {
      text += "\r\n";
    }
    text += log.statusLines[i];
  }
  return text;
}

void RefreshStatusBox(HWND window) {
  StatusLog& log = Log();
  std::scoped_lock lock(log.statusLogLock);
  window->SetItemText(IDC_STATUS_BOX, StatusText());
  window->ScrollToBottom(IDC_STATUS_BOX);
}

void SetStatusLineObserver(StatusLineObserver observer) {
  StatusLog& log = Log();
  std::scoped_lock lock(log.statusLogLock);
  log.observer = observer;
}
