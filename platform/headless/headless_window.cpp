#include "platform/headless/headless_window.h"

#include "resources/main_dialog.h"

HeadlessWindow::HeadlessWindow(std::shared_ptr<MessageLoop> loop, DialogProcedure procedure)
    : loop_(std::move(loop)), procedure_(procedure) {
  for (const ControlTemplate& control : MAIN_DIALOG_CONTROLS) {
    enabled_[control.id] = control.enabled;
  }
}

void HeadlessWindow::Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  loop_->Post([this, message, wParam, lParam] { procedure_(this, message, wParam, lParam); });
}

// After the dialog has ended nothing is handled and the answer is 0.
std::intptr_t HeadlessWindow::Send(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  std::intptr_t answer = 0;
  loop_->Invoke([&] { answer = procedure_(this, message, wParam, lParam); });
  return answer;
}

void HeadlessWindow::End(int code) {
  result_ = code;
  loop_->Quit();
}

bool HeadlessWindow::IsItemEnabled(int id) const {
  const auto found = enabled_.find(id);
  return found != enabled_.end() && found->second;
}

void HeadlessWindow::StartTimer(int id, unsigned periodMs) {
  loop_->SetTimer(id, std::chrono::milliseconds(periodMs),
                  [this, id] { procedure_(this, WM_TIMER, static_cast<std::uintptr_t>(id), 0); });
}

void HeadlessWindow::Click(int id) {
  if (id == IDOK || id == IDCANCEL) {
    procedure_(this, WM_COMMAND, static_cast<std::uintptr_t>(id), 0);
    return;
  }
  const ControlTemplate* control = FindControl(id);
  if (control == nullptr || control->kind == ControlKind::LogBox || !IsItemEnabled(id)) {
    return;
  }
  if (control->kind == ControlKind::CheckBox) {
    checked_[id] = !checked_[id];
  }
  procedure_(this, WM_COMMAND, static_cast<std::uintptr_t>(id), 0);
}

bool HeadlessWindow::SendClick(int id) {
  return loop_->Invoke([this, id] { Click(id); });
}
