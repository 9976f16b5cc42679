// Modal message boxes. Any thread: the installed presenter shows the box where its
// toolkit allows (the dialog thread, or stderr) and the caller waits for the answer.
#pragma once

#include <string>
#include <string_view>

#include "app/dialog_window.h"

constexpr unsigned MB_OK = 0x00;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONWARNING = 0x30;

class MessageBoxPresenter {
 public:
  virtual ~MessageBoxPresenter() = default;
  // Shows the box and returns the id of the button that answered it.
  virtual int Show(HWND owner, std::string_view text, std::string_view title, unsigned type) = 0;
};

// Without a presenter, boxes are written to stderr as "[title] text" and count as OK.
void SetMessageBoxPresenter(MessageBoxPresenter* presenter);
int ShowMessageBox(HWND owner, std::string_view text, std::string_view title, unsigned type);

// The one-line form of a box: "[title] text", line breaks written as the two characters \n.
std::string BoxLine(std::string_view title, std::string_view text);
