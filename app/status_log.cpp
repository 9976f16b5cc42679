#include "app/status_log.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
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

void LogStatusFormat(HWND window, const char* format, ...) {
  // Room for a line and then some: what does not fit is cut here or by LogStatus.
  char text[4 * (STATUS_LINE_CHARS + 1)];
  std::va_list arguments;
  va_start(arguments, format);
  const int written = std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  if (written < 0) return;
  LogStatus(window, std::string_view(text, std::min<std::size_t>(static_cast<std::size_t>(written), sizeof text - 1)));
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
