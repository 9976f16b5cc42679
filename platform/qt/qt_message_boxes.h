// Message boxes as Qt message boxes, always shown on the GUI thread: a worker thread's
// box is handed over there and the worker waits for the answer. Any thread.
#pragma once

#include "app/message_box.h"
#include "platform/qt/gui_thread_tasks.h"

class QtMessageBoxes : public MessageBoxPresenter {
 public:
  explicit QtMessageBoxes(GuiThreadTasks& gui) : gui_(gui) {}
  int Show(HWND owner, std::string_view text, std::string_view title, unsigned type) override;

 private:
  GuiThreadTasks& gui_;
};
