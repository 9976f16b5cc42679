#include "platform/qt/qt_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QThread>
#include <QTimer>

#include <vector>

#include "platform/qt/dialog_metrics.h"
#include "platform/qt/latin1_text.h"
#include "resources/main_dialog.h"

namespace {

bool OnGuiThread(const QObject& object) { return QThread::currentThread() == object.thread(); }

QWidget* MakeControl(const ControlTemplate& control, QWidget* parent) {
  const QString caption = Latin1Text(control.caption);
  switch (control.kind) {
    case ControlKind::PushButton: {
      auto* button = new QPushButton(caption, parent);
      button->setAutoDefault(false);  // Enter is the dialog's, not the focused button's
      return button;
    }
    case ControlKind::CheckBox:
      return new QCheckBox(caption, parent);
    case ControlKind::LogBox: {
      auto* box = new QPlainTextEdit(parent);
      box->setReadOnly(true);
      box->setTabChangesFocus(true);
      box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      return box;
    }
  }
  return nullptr;
}

}  // namespace

QtDialog::QtDialog(DialogProcedure procedure, void (*onActivation)(bool active))
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      procedure_(procedure),
      onActivation_(onActivation) {
  setWindowTitle(Latin1Text(MAIN_DIALOG.caption));
  BuildControls();
}

void QtDialog::BuildControls() {
  std::vector<QWidget*> widgets;
  DialogScale scale = BaseDialogScale(font());
  for (const ControlTemplate& control : MAIN_DIALOG_CONTROLS) {
    QWidget* widget = MakeControl(control, this);
    widget->setObjectName(QString::number(control.id));
    widget->setEnabled(control.enabled);
    widget->setFocusPolicy(Qt::StrongFocus);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      const int id = control.id;
      connect(button, &QAbstractButton::clicked, this,
              [this, id] { Deliver(WM_COMMAND, static_cast<std::uintptr_t>(id)); });
    }
    if (!widgets.empty()) {
      setTabOrder(widgets.back(), widget);
    }
    widgets.push_back(widget);
    scale = FitCaption(scale, control, CaptionWidth(*widget));
  }
  setFixedSize(DialogSize(scale));
  for (std::size_t i = 0; i < widgets.size(); ++i) {
    widgets[i]->setGeometry(ControlRect(MAIN_DIALOG_CONTROLS[i], scale));
  }
}

QWidget* QtDialog::Item(int id) const {
  return findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

std::intptr_t QtDialog::Deliver(unsigned message, std::uintptr_t wParam) {
  return procedure_(this, message, wParam, 0);
}

void QtDialog::Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  gui_.Post([this, message, wParam, lParam] { procedure_(this, message, wParam, lParam); });
}

// Once the dialog has ended nothing more is handled; the answer is 0.
std::intptr_t QtDialog::Send(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (OnGuiThread(*this)) {
    return procedure_(this, message, wParam, lParam);
  }
  std::intptr_t answer = 0;
  if (!ended_) {
    gui_.Invoke([&] { answer = procedure_(this, message, wParam, lParam); });
  }
  return answer;
}

void QtDialog::End(int code) {
  result_ = code;
  ended_ = true;
  if (OnGuiThread(*this)) {
    done(code);
  } else {
    gui_.Post([this, code] { done(code); });
  }
}

void QtDialog::SetItemText(int id, const std::string& text) {
  if (auto* box = qobject_cast<QPlainTextEdit*>(Item(id))) {
    QString shown = Latin1Text(text);
    box->setPlainText(shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  }
}

void QtDialog::ScrollToBottom(int id) {
  if (auto* box = qobject_cast<QPlainTextEdit*>(Item(id))) {
    box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
  }
}

void QtDialog::EnableItem(int id, bool enabled) {
  if (QWidget* item = Item(id)) {
    item->setEnabled(enabled);
  }
}

bool QtDialog::IsItemEnabled(int id) const {
  const QWidget* item = Item(id);
  return item != nullptr && item->isEnabled();
}

void QtDialog::CheckItem(int id, bool checked) {
  if (auto* box = qobject_cast<QCheckBox*>(Item(id))) {
    box->setChecked(checked);
  }
}

void QtDialog::FocusItem(int id) {
  if (QWidget* item = Item(id)) {
    item->setFocus();
  }
}

void QtDialog::SetIcons() { setWindowIcon(QIcon(QStringLiteral(":/icons/soundmodule.png"))); }

void QtDialog::StartTimer(int id, unsigned periodMs) {
  QTimer*& timer = timers_[id];
  if (timer == nullptr) {
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this,
            [this, id] { Deliver(WM_TIMER, static_cast<std::uintptr_t>(id)); });
  }
  timer->start(static_cast<int>(periodMs));
}

void QtDialog::StopTimer(int id) {
  if (const auto found = timers_.find(id); found != timers_.end()) {
    found->second->stop();
  }
}

// Esc, as the original dialog manager did, is the cancel command.
void QtDialog::reject() { Deliver(WM_COMMAND, IDCANCEL); }

// The close button asks the procedure; the dialog ends only when it says so.
void QtDialog::closeEvent(QCloseEvent* event) {
  event->ignore();
  Deliver(WM_CLOSE, 0);
}

void QtDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    Deliver(WM_COMMAND, IDOK);
    return;
  }
  QDialog::keyPressEvent(event);
}

void QtDialog::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && onActivation_ != nullptr) {
    onActivation_(isActiveWindow());
  }
  QDialog::changeEvent(event);
}
