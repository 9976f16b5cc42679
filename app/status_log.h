// The status log: the 12 newest lines of the module's running report.
// LogStatus: any thread, never waits for the user interface.
// RefreshStatusBox: dialog thread only (answer to WM_APP).
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "app/dialog_window.h"

constexpr int STATUS_LINE_LIMIT = 12;
constexpr int STATUS_LINE_CHARS = 89;

// Called for every appended line, under the log's lock, in append order; the headless
// front end prints lines from here. Must not take another lock of the module.
using StatusLineObserver = void (*)(std::string_view line);

struct StatusLog {
  char statusLines[STATUS_LINE_LIMIT][STATUS_LINE_CHARS + 1] = {};
  std::int16_t statusLineCount = 0;
  std::recursive_mutex statusLogLock;
  StatusLineObserver observer = nullptr;
};

// Stores a copy of the text (cut at 89 characters) as the newest line, dropping the
// oldest beyond 12, then posts WM_APP to window (when there is one).
void LogStatus(HWND window, std::string_view text);

#if defined(__GNUC__)
#define STATUS_FORMAT_CHECK __attribute__((format(printf, 2, 3)))
#else
#define STATUS_FORMAT_CHECK
#endif

// Formats as printf does, then logs the result as LogStatus does (cut at 89 characters).
void LogStatusFormat(HWND window, const char* format, ...) STATUS_FORMAT_CHECK;

// Shows the kept lines in the status box, oldest first, and scrolls to the newest.
void RefreshStatusBox(HWND window);

// The kept lines joined by "\r\n", as the status box shows them.
std::string StatusText();

void SetStatusLineObserver(StatusLineObserver observer);
