// A dialog window that draws nothing and drops what is posted to it, for benchmarks
// that run the module's reactions without a front end. Any thread.
#pragma once

#include "app/dialog_window.h"

class QuietWindow final : public DialogWindow {
 public:
  void Post(unsigned, std::uintptr_t, std::intptr_t) override {}
  std::intptr_t Send(unsigned, std::uintptr_t, std::intptr_t) override { return 0; }
  void End(int) override {}
  void SetItemText(int, const std::string&) override {}
  void ScrollToBottom(int) override {}
  void EnableItem(int, bool) override {}
  bool IsItemEnabled(int) const override { return true; }
  void CheckItem(int, bool) override {}
  void FocusItem(int) override {}
  void SetIcons() override {}
  void StartTimer(int, unsigned) override {}
  void StopTimer(int) override {}
};
