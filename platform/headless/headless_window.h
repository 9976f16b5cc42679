// The dialog without a window: control states kept in memory, messages delivered
// through a MessageLoop on the dialog thread. Members as DialogWindow says.
#pragma once

#include <atomic>
#include <map>
#include <memory>

#include "app/front_end.h"
#include "platform/headless/message_loop.h"

class HeadlessWindow : public DialogWindow {
 public:
  HeadlessWindow(std::shared_ptr<MessageLoop> loop, DialogProcedure procedure);

  void Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
  std::intptr_t Send(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
  void End(int code) override;

  void SetItemText(int, const std::string&) override {}
  void ScrollToBottom(int) override {}
  void EnableItem(int id, bool enabled) override { enabled_[id] = enabled; }
  bool IsItemEnabled(int id) const override;
  void CheckItem(int id, bool checked) override { checked_[id] = checked; }
  void FocusItem(int) override {}
  void SetIcons() override {}
  void StartTimer(int id, unsigned periodMs) override;
  void StopTimer(int id) override { loop_->KillTimer(id); }

  // A click on the control, as a user's: ignored for a disabled control or an id that
  // is no button or check box; a check box changes its check before it reports.
  void Click(int id);
  // Any thread but the dialog's: the click run on the dialog thread and waited for, so
  // a flood of clicks queues no more than one at a time. False once the loop has quit.
  bool SendClick(int id);

  int Result() const { return result_; }

 private:
  std::shared_ptr<MessageLoop> loop_;
  DialogProcedure procedure_;
  std::atomic<int> result_{0};
  std::map<int, bool> enabled_;
  std::map<int, bool> checked_;
};
