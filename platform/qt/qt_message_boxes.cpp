#include "platform/qt/qt_message_boxes.h"

#include <QMessageBox>

#include "platform/qt/latin1_text.h"

namespace {

QMessageBox::Icon BoxIcon(unsigned type) {
  switch (type & 0xF0u) {
    case MB_ICONERROR:
      return QMessageBox::Critical;
    case MB_ICONWARNING:
      return QMessageBox::Warning;
    default:
      return QMessageBox::NoIcon;
  }
}

int ShowHere(HWND owner, const QString& text, const QString& title, unsigned type) {
  QMessageBox box(BoxIcon(type), title, text, QMessageBox::Ok, dynamic_cast<QWidget*>(owner));
  box.exec();
  return IDOK;
}

}  // namespace

// A box that can no longer be shown (the front end is gone) counts as answered.
int QtMessageBoxes::Show(HWND owner, std::string_view text, std::string_view title, unsigned type) {
  const QString shownText = Latin1Text(text);
  const QString shownTitle = Latin1Text(title);
  int answer = IDOK;
  gui_.Invoke([&] { answer = ShowHere(owner, shownText, shownTitle, type); });
  return answer;
}
