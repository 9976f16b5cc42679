// Installs itself as the message box presenter for the life of a test and records
// every box as "[title] text". Any thread.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "app/message_box.h"

class RecordingMessageBoxes : public MessageBoxPresenter {
 public:
  RecordingMessageBoxes() { SetMessageBoxPresenter(this); }
  ~RecordingMessageBoxes() override { SetMessageBoxPresenter(nullptr); }
  RecordingMessageBoxes(const RecordingMessageBoxes&) = delete;
  RecordingMessageBoxes& operator=(const RecordingMessageBoxes&) = delete;

  int Show(HWND owner, std::string_view text, std::string_view title, unsigned type) override {
    std::scoped_lock lock(mutex_);
    boxes_.push_back({owner, std::string(title), std::string(text), type});
    return IDOK;
  }

  struct Box {
    HWND owner;
    std::string title;
    std::string text;
    unsigned type;
  };
  std::vector<Box> Boxes() const {
    std::scoped_lock lock(mutex_);
    return boxes_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Box> boxes_;
};
