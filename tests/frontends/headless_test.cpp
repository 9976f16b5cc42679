// The headless front end with a recording dialog procedure: clicks from the input,
// messages from other threads, timers, and the end of the dialog.
#include <algorithm>
#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/headless/headless_front_end.h"
#include "platform/headless/message_loop.h"
#include "platform/headless/timer_table.h"

namespace {

std::vector<int> commands;
std::vector<unsigned> messages;
int ticks = 0;
std::thread::id dialogThread;

void ResetRecords() {
  commands.clear();
  messages.clear();
  ticks = 0;
}

std::shared_ptr<std::istream> Input(const std::string& text) {
  return std::make_shared<std::istringstream>(text);
}

// Records commands; close (2) ends the dialog with 2, and the dialog ends by itself
// with 9 on the twentieth tick so that a faulty test cannot hang.
std::intptr_t ClickRecorder(HWND window, unsigned message, std::uintptr_t wParam, std::intptr_t) {
  messages.push_back(message);
  if (message == WM_INITDIALOG) {
    dialogThread = std::this_thread::get_id();
    window->StartTimer(0, 20);
  } else if (message == WM_COMMAND) {
    commands.push_back(static_cast<int>(wParam));
    if (wParam == IDCANCEL) {
      window->End(2);
    }
    if (wParam == IDC_WHODAT) {
      window->EnableItem(IDC_TEST_TONE, true);
    }
  } else if (message == WM_TIMER && ++ticks == 20) {
    window->End(9);
  }
  return message == WM_APP ? 42 : 1;
}

TEST(HeadlessFrontEndTest, InputLinesActAsClicksOnEnabledControlsOnly) {
  ResetRecords();
  HeadlessFrontEnd frontEnd(Input("1000\n1023\n1015\nnoise\n1020\n1\n1001\n1000\r\n7\n2\n1021\n"), nullptr);
  EXPECT_EQ(frontEnd.RunDialog(ClickRecorder), 2);
  EXPECT_EQ(commands, (std::vector<int>{1020, 1, 1001, 1000, 2}));
  EXPECT_EQ(messages.front(), WM_INITDIALOG);
  EXPECT_EQ(messages.back(), WM_DESTROY);
}

TEST(HeadlessFrontEndTest, EndOfInputChangesNothingAndTimersKeepTicking) {
  ResetRecords();
  bool activated = false;
  static bool* seen = &activated;
  HeadlessFrontEnd frontEnd(Input(""), [](bool active) { *seen = active; });
  EXPECT_EQ(frontEnd.RunDialog(ClickRecorder), 9);
  EXPECT_EQ(ticks, 20);
  EXPECT_TRUE(commands.empty());
  EXPECT_TRUE(activated) << "the dialog counts as active";
}

// Counts the clicks; only close ends the dialog, so a flood is read to its end.
std::intptr_t ClickCounter(HWND window, unsigned message, std::uintptr_t wParam, std::intptr_t) {
  if (message == WM_COMMAND) {
    commands.push_back(static_cast<int>(wParam));
    if (wParam == IDCANCEL) window->End(2);
  }
  return 1;
}

// A megabyte without a line break is one overlong line: dropped, not kept. Thousands of
// clicks then arrive one at a time, in order, and a last line needs no line break.
TEST(HeadlessFrontEndTest, AFloodOfInputIsReadInOrderAndKeepsNoOverlongLine) {
  ResetRecords();
  std::string text(1 << 20, '9');
  text += "\n";
  for (int i = 0; i < 5000; ++i) {
    text += i % 2 == 0 ? "1001\n" : "1020\n";
  }
  text += "2";
  HeadlessFrontEnd frontEnd(Input(text), nullptr);
  EXPECT_EQ(frontEnd.RunDialog(ClickCounter), 2);
  ASSERT_EQ(commands.size(), 5001u);
  for (std::size_t i = 0; i < 5000; ++i) {
    ASSERT_EQ(commands[i], i % 2 == 0 ? 1001 : 1020) << i;
  }
  EXPECT_EQ(commands.back(), 2);
}

TEST(MessageLoopTest, InvokeRunsOnTheLoopThreadAndFailsOnceTheLoopHasQuit) {
  MessageLoop loop;
  std::thread::id ranOn;
  std::thread worker([&] {
    EXPECT_TRUE(loop.Invoke([&] { ranOn = std::this_thread::get_id(); }));
    loop.Quit();
  });
  loop.Run();
  worker.join();
  EXPECT_EQ(ranOn, std::this_thread::get_id());
  EXPECT_FALSE(loop.Invoke([] {})) << "posts after the end are dropped";
}

// The loop's timing with the time injected: each tick fires when it is due or, if the
// thread is still busy, as soon as the previous tick ends. The first tick runs 400 ms.
TEST(TimerTableTest, ATickThatRanLongIsFollowedByOneLateTickThenAWholePeriod) {
  using std::chrono::milliseconds;
  const TimerTable::Clock::time_point start;
  TimerTable::Clock::time_point now = start;
  std::vector<long> firedAt;
  TimerTable timers;
  timers.Set(1, milliseconds(250), [&] {
    firedAt.push_back(static_cast<long>((now - start) / milliseconds(1)));
    now += milliseconds(firedAt.size() == 1 ? 400 : 10);
  }, start);
  while (firedAt.size() < 4) {
    now = std::max(now, timers.NextDue());
    timers.FireDue(now);
  }
  EXPECT_EQ(firedAt, (std::vector<long>{250, 650, 900, 1150}));
}

}  // namespace
