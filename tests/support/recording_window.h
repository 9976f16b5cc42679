// A DialogWindow that records what the module asks of it, for tests. Any thread.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "app/dialog_window.h"

class RecordingWindow : public DialogWindow {
 public:
  struct Message {
    unsigned message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
  };

  void Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override {
    std::scoped_lock lock(mutex_);
    posted.push_back({message, wParam, lParam});
  }
  std::intptr_t Send(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override {
    std::scoped_lock lock(mutex_);
    sent.push_back({message, wParam, lParam});
    return 0;
  }
  void End(int code) override {
    std::scoped_lock lock(mutex_);
    endCodes.push_back(code);
  }
  void SetItemText(int id, const std::string& text) override { texts[id] = text; }
  void ScrollToBottom(int id) override { scrolledToBottom.push_back(id); }
  void EnableItem(int id, bool enabled) override { enabled_[id] = enabled; }
  bool IsItemEnabled(int id) const override {
    auto found = enabled_.find(id);
    return found == enabled_.end() || found->second;
  }
  void CheckItem(int id, bool isChecked) override { checked[id] = isChecked; }
  void FocusItem(int id) override { focused = id; }
  void SetIcons() override { iconsSet = true; }
  void StartTimer(int id, unsigned periodMs) override { timers[id] = periodMs; }
  void StopTimer(int id) override { timers.erase(id); }

  std::vector<Message> Posted() const {
    std::scoped_lock lock(mutex_);
    return posted;
  }
  std::vector<Message> SentMessages() const {
    std::scoped_lock lock(mutex_);
    return sent;
  }
  std::vector<int> EndCodes() const {
    std::scoped_lock lock(mutex_);
    return endCodes;
  }
  std::vector<unsigned> PostedIds() const {
    std::vector<unsigned> ids;
    for (const Message& message : Posted()) {
      ids.push_back(message.message);
    }
    return ids;
  }

  std::map<int, std::string> texts;
  std::map<int, bool> checked;
  std::vector<int> scrolledToBottom;
  std::map<int, unsigned> timers;
  int focused = 0;
  bool iconsSet = false;

 private:
  mutable std::mutex mutex_;
  std::vector<Message> posted;
  std::vector<Message> sent;
  std::vector<int> endCodes;
  std::map<int, bool> enabled_;
};
