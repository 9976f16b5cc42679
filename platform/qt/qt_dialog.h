// The main dialog as a Qt Widgets dialog, built from the dialog template, turning
// clicks, Esc, the close button and its timers into messages for the dialog procedure.
// Constructed and run on the GUI thread; Post, Send and End accept any thread (worker
// threads hand their messages to the GUI thread; Send waits for the answer).
#pragma once

#include <atomic>
#include <map>

#include <QDialog>

#include "app/front_end.h"
#include "platform/qt/gui_thread_tasks.h"

class QTimer;

class QtDialog : public QDialog, public DialogWindow {
 public:
  QtDialog(DialogProcedure procedure, void (*onActivation)(bool active));

  void Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
  std::intptr_t Send(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
  void End(int code) override;

  void SetItemText(int id, const std::string& text) override;
  void ScrollToBottom(int id) override;
  void EnableItem(int id, bool enabled) override;
  bool IsItemEnabled(int id) const override;
  void CheckItem(int id, bool checked) override;
  void FocusItem(int id) override;
  void SetIcons() override;
  void StartTimer(int id, unsigned periodMs) override;
  void StopTimer(int id) override;

  bool Ended() const { return ended_; }
  int Result() const { return result_; }

 protected:
  void reject() override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void BuildControls();
  QWidget* Item(int id) const;
  std::intptr_t Deliver(unsigned message, std::uintptr_t wParam);

  DialogProcedure procedure_;
  void (*onActivation_)(bool active);
  std::atomic<bool> ended_{false};
  std::atomic<int> result_{0};
  std::map<int, QTimer*> timers_;
  GuiThreadTasks gui_;
};
