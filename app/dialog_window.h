// The main dialog as the module's logic sees it, whatever toolkit draws it.
// A front end implements DialogWindow; the dialog procedure (dialog thread) and the
// worker threads call it as each member says.
#pragma once

#include <cstdint>
#include <string>

// Messages of the dialog procedure, with the original values.
constexpr unsigned WM_DESTROY = 0x0002;
constexpr unsigned WM_CLOSE = 0x0010;
constexpr unsigned WM_INITDIALOG = 0x0110;
constexpr unsigned WM_COMMAND = 0x0111;
constexpr unsigned WM_TIMER = 0x0113;
constexpr unsigned WM_APP = 0x8000;

// Command ids of the dialog's controls.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDC_TEST_TONE = 1000;
constexpr int IDC_WHODAT = 1001;
constexpr int IDC_STATUS_BOX = 1015;
constexpr int IDC_WEAPONS = 1020;
constexpr int IDC_NOTIFICATIONS = 1021;
constexpr int IDC_DOCK_ANNOUNCEMENTS = 1022;
constexpr int IDC_ENVIRONMENTAL = 1024;
constexpr int IDC_ONBOARD = 1025;
constexpr int IDC_END_OF_TRANSMISSION = 1026;

class DialogWindow {
 public:
  virtual ~DialogWindow() = default;

  // Any thread: queue the message for the dialog thread and return at once.
  virtual void Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
  // Any thread: handle the message on the dialog thread; returns when it was handled.
  virtual std::intptr_t Send(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
  // Any thread: end the modal dialog with this result code (WM_DESTROY follows).
  virtual void End(int code) = 0;

  // Dialog thread only.
  virtual void SetItemText(int id, const std::string& text) = 0;
  virtual void ScrollToBottom(int id) = 0;
  virtual void EnableItem(int id, bool enabled) = 0;
  virtual bool IsItemEnabled(int id) const = 0;
  virtual void CheckItem(int id, bool checked) = 0;
  virtual void FocusItem(int id) = 0;
  virtual void SetIcons() = 0;
  // Periodic WM_TIMER messages with this id; they never pile up while the thread is busy.
  virtual void StartTimer(int id, unsigned periodMs) = 0;
  virtual void StopTimer(int id) = 0;
};

// The window handle the module passes around; null before the dialog exists.
using HWND = DialogWindow*;
