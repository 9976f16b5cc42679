// The Qt dialog offscreen: what the template gives (captions, ids, geometry, tab order,
// initial states), clicks, keys, worker-thread messages, and a picture of the dialog.
#include <thread>

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include "app/main_dialog.h"
#include "app/session_state.h"
#include "audio/sound.h"
#include "platform/qt/qt_dialog.h"
#include "platform/qt/qt_message_boxes.h"
#include "tests/dialog/dialog_fakes.h"
#include "tests/dialog/fake_sound_device.h"

namespace {

struct Expected {
  const char* id;
  const char* caption;
  int x, y, width, height;
  bool enabled;
};

// The template in tab order.
constexpr Expected kControls[] = {
    {"1000", "&Test Tone", 280, 7, 50, 14, false},
    {"1020", "Weapons and Explosions", 119, 121, 96, 10, true},
    {"1021", "Notifications and Chat", 7, 121, 85, 10, true},
    {"1022", "Dock Announcements", 237, 110, 87, 10, true},
    {"1024", "Environmental Sounds", 119, 110, 87, 10, true},
    {"1025", "Onboard Effects", 237, 121, 67, 10, true},
    {"1026", "End of Transmission", 7, 111, 79, 10, true},
    {"1001", "&Whodat?", 280, 27, 50, 14, true},
    {"1015", "", 7, 7, 260, 92, true},
};

QApplication& Application() {
  static QApplication* application = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "qt_dialog_test";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
  }();
  return *application;
}

void ExpectCaptionsFit(const QtDialog& dialog) {
  for (const Expected& expected : kControls) {
    const auto* widget = dialog.findChild<QWidget*>(expected.id);
    if (const auto* box = qobject_cast<const QCheckBox*>(widget)) {
      EXPECT_LE(box->sizeHint().width(), box->width()) << expected.caption;
    }
    if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
      const int text = QFontMetrics(button->font()).horizontalAdvance(button->text().remove('&'));
      EXPECT_LE(text + 2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin), button->width())
          << expected.caption;
    }
  }
}

class QtDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application();
    ResetSession();
    InstallFakeSoundDevice();
  }
  void TearDown() override { ResetSession(); }

  template <typename Widget = QWidget>
  Widget* Control(const QtDialog& dialog, const char* id) {
    return dialog.findChild<Widget*>(id);
  }

  ScratchFolder folder;
  RecordingMessageBoxes boxes;
};

TEST_F(QtDialogTest, ControlsHaveTheTemplatesCaptionsIdsAndInitialStates) {
  QtDialog dialog(DialogProc, nullptr);
  DialogProc(&dialog, WM_INITDIALOG, 0, 0);
  EXPECT_EQ(dialog.windowTitle(), "Sound Module - Varnholt Industries");
  EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(dialog.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()) << "not resizable";
  EXPECT_FALSE(dialog.windowIcon().isNull());
  for (const Expected& expected : kControls) {
    QWidget* widget = Control(dialog, expected.id);
    ASSERT_NE(widget, nullptr) << expected.id;
    EXPECT_EQ(widget->isEnabled(), expected.enabled) << expected.id;
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      EXPECT_EQ(button->text(), expected.caption);
    }
    if (auto* box = qobject_cast<QCheckBox*>(widget)) {
      EXPECT_TRUE(box->isChecked()) << expected.id;
    }
  }
  EXPECT_NE(Control<QPushButton>(dialog, "1000"), nullptr);
  EXPECT_NE(Control<QPushButton>(dialog, "1001"), nullptr);
  auto* log = Control<QPlainTextEdit>(dialog, "1015");
  ASSERT_NE(log, nullptr);
  EXPECT_TRUE(log->isReadOnly());
  EXPECT_EQ(log->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST_F(QtDialogTest, GeometryFollowsTheDialogUnitsAndEveryCaptionFits) {
  const QFont original = QApplication::font();
  for (int points : {0, 16}) {
    if (points > 0) {
      QFont large = QApplication::font();
      large.setPointSize(points);
      QApplication::setFont(large);
    }
    QtDialog dialog(DialogProc, nullptr);
    const double unitX = dialog.width() / 337.0;
    const double unitY = dialog.height() / 138.0;
    const QFontMetrics metrics(dialog.font());
    EXPECT_GE(unitY, metrics.height() / 8.0 - 0.01) << points;
    for (const Expected& expected : kControls) {
      const QRect rect = Control(dialog, expected.id)->geometry();
      EXPECT_NEAR(rect.x(), expected.x * unitX, 1.0) << expected.id;
      EXPECT_NEAR(rect.y(), expected.y * unitY, 1.0) << expected.id;
      EXPECT_NEAR(rect.width(), expected.width * unitX, 1.5) << expected.id;
      EXPECT_NEAR(rect.height(), expected.height * unitY, 1.5) << expected.id;
    }
    ExpectCaptionsFit(dialog);
  }
  QApplication::setFont(original);
}

TEST_F(QtDialogTest, TabOrderIsTheTemplateOrder) {
  QtDialog dialog(DialogProc, nullptr);
  QWidget* widget = Control(dialog, "1000");
  for (const Expected& expected : kControls) {
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->objectName(), expected.id);
    EXPECT_EQ(widget->focusPolicy() & Qt::TabFocus, Qt::TabFocus) << expected.id;
    do {
      widget = widget->nextInFocusChain();
    } while (widget != nullptr && widget->objectName().isEmpty());
  }
}

TEST_F(QtDialogTest, ClickingTestTonePlaysOnceAndDisablesTheButton) {
  TestSound tone = MakeTestSound(folder.Path(), "tone.wav");
  session.bank.testTone = tone.sound.get();
  QtDialog dialog(DialogProc, nullptr);
  DialogProc(&dialog, WM_INITDIALOG, 0, 0);
  auto* button = Control<QPushButton>(dialog, "1000");
  button->click();
  EXPECT_EQ(tone.buffer->plays, 0) << "a disabled button does not click";
  dialog.EnableItem(IDC_TEST_TONE, true);
  button->click();
  EXPECT_EQ(tone.buffer->plays, 1);
  EXPECT_FALSE(button->isEnabled());
}

TEST_F(QtDialogTest, CheckBoxesFlipOnlyTheirOwnSwitch) {
  QtDialog dialog(DialogProc, nullptr);
  DialogProc(&dialog, WM_INITDIALOG, 0, 0);
  auto* dock = Control<QCheckBox>(dialog, "1022");
  dock->click();
  EXPECT_FALSE(dock->isChecked());
  EXPECT_EQ(session.dockAnnouncementsSwitch.load(), 0);
  for (Flag* other : {&session.weaponsSwitch, &session.notificationsSwitch, &session.environmentalSwitch,
                      &session.onboardSwitch, &session.endOfTransmissionSwitch}) {
    EXPECT_EQ(other->load(), 1);
  }
  dock->click();
  EXPECT_EQ(session.dockAnnouncementsSwitch.load(), 1);
}

TEST_F(QtDialogTest, EscapeClosesWithCodeTwoAndEnterDoesNothing) {
  QtDialog dialog(DialogProc, nullptr);
  DialogProc(&dialog, WM_INITDIALOG, 0, 0);
  QTest::keyClick(&dialog, Qt::Key_Return);
  QTest::keyClick(&dialog, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_FALSE(dialog.Ended());
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_TRUE(dialog.Ended());
  EXPECT_EQ(dialog.Result(), 2);
  EXPECT_EQ(StatusText(), "Closing connection...");
}

TEST_F(QtDialogTest, WorkerThreadsReachTheDialogByPostAndBlockingSend) {
  QtDialog dialog(DialogProc, nullptr);
  DialogProc(&dialog, WM_INITDIALOG, 0, 0);
  std::thread worker([&] {
    LogStatus(&dialog, "from a worker");
    dialog.Send(WM_CLOSE, 0, 0);
  });
  while (!dialog.Ended()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  worker.join();
  QCoreApplication::processEvents();
  EXPECT_EQ(Control<QPlainTextEdit>(dialog, "1015")->toPlainText(), "from a worker\nClosing connection...");
  EXPECT_EQ(dialog.Result(), 2);
}

TEST_F(QtDialogTest, AWorkersMessageBoxIsShownOnTheGuiThreadWhileTheWorkerWaits) {
  SetMessageBoxPresenter(nullptr);
  GuiThreadTasks gui;
  QtMessageBoxes presenter(gui);
  QString shownTitle;
  QString shownText;
  QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
  bool onGuiThread = false;
  std::atomic<bool> answered = false;
  std::thread worker([&] {
    presenter.Show(nullptr, "Failed on ConnectToSession.\n\nPlease verify", "Check Connection", MB_ICONERROR);
    answered = true;
  });
  // The box runs its own event loop; a timer answers it from inside that loop.
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shownTitle = box->windowTitle();
      shownText = box->text();
      shownIcon = box->icon();
      onGuiThread = QThread::currentThread() == box->thread();
      box->accept();
    }
  });
  answer.start(10);
  while (!answered) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  worker.join();
  EXPECT_TRUE(onGuiThread);
  EXPECT_EQ(shownTitle, "Check Connection");
  EXPECT_EQ(shownText, "Failed on ConnectToSession.\n\nPlease verify");
  EXPECT_EQ(shownIcon, QMessageBox::Critical);
}

TEST_F(QtDialogTest, ActivationChangesAreReported) {
  static std::vector<bool> changes;
  changes.clear();
  QtDialog dialog(DialogProc, [](bool active) { changes.push_back(active); });
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  ASSERT_FALSE(changes.empty());
  EXPECT_TRUE(changes.back());
}

TEST_F(QtDialogTest, SavesAPictureOfTheDialog) {
  QtDialog dialog(DialogProc, nullptr);
  DialogProc(&dialog, WM_INITDIALOG, 0, 0);
  for (const char* line : {"Loading barycentrics data...", "Connecting to client...",
                           "Connected, getting configuration...", "Loading sound files...", "Ready!"}) {
    LogStatus(&dialog, line);
  }
  dialog.EnableItem(IDC_TEST_TONE, true);
  dialog.show();
  QCoreApplication::processEvents();
  const QString path = QStringLiteral(FRONTENDS_OUTPUT_DIR "/main_dialog.png");
  EXPECT_TRUE(dialog.grab().save(path));
}

}  // namespace
