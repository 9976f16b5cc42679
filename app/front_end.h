// What a toolkit must offer to run the module's dialog: show it modally, turn its
// user's actions and timers into messages for the dialog procedure, and end it.
// RunDialog: main thread only; it becomes the dialog thread.
#pragma once

#include <cstdint>

#include "app/dialog_window.h"

// The dialog procedure: true (1) for a message it handled, false (0) otherwise.
using DialogProcedure = std::intptr_t (*)(HWND window, unsigned message, std::uintptr_t wParam,
                                          std::intptr_t lParam);

class FrontEnd {
 public:
  virtual ~FrontEnd() = default;
  // Creates the dialog, sends WM_INITDIALOG, delivers messages until DialogWindow::End,
  // then sends WM_DESTROY and returns the code given to End (when WM_DESTROY returns).
  virtual int RunDialog(DialogProcedure procedure) = 0;
};
