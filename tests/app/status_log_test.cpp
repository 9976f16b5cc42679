#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/session_state.h"
#include "app/status_log.h"
#include "tests/support/recording_window.h"

namespace {

std::vector<std::string> observed;

void Observe(std::string_view line) { observed.emplace_back(line); }

class StatusLogTest : public testing::Test {
 protected:
  void SetUp() override {
    std::scoped_lock lock(session.statusLog.statusLogLock);
    session.statusLog.statusLineCount = 0;
    observed.clear();
    SetStatusLineObserver(Observe);
  }
  void TearDown() override { SetStatusLineObserver(nullptr); }
};

}  // namespace

TEST_F(StatusLogTest, EmptyLogShowsEmptyText) {
  RecordingWindow window;
  RefreshStatusBox(&window);
  EXPECT_EQ(window.texts[IDC_STATUS_BOX], "");
  EXPECT_EQ(window.scrolledToBottom, std::vector<int>{IDC_STATUS_BOX});
}

TEST_F(StatusLogTest, LinesJoinWithCrLfAndNoneAfterTheLast) {
  RecordingWindow window;
  LogStatus(&window, "Loading sound files...");
  EXPECT_EQ(StatusText(), "Loading sound files...");
  LogStatus(&window, "Ready!");
  RefreshStatusBox(&window);
  EXPECT_EQ(window.texts[IDC_STATUS_BOX], "Loading sound files...\r\nReady!");
  ASSERT_EQ(window.Posted().size(), 2u);
  EXPECT_EQ(window.Posted()[0].message, WM_APP);
  EXPECT_EQ(window.Posted()[0].wParam, 0u);
  EXPECT_EQ(window.Posted()[0].lParam, 0);
}

TEST_F(StatusLogTest, KeepsTheTwelveNewestAfterTheThirteenth) {
  for (int i = 1; i <= 13; ++i) {
    LogStatus(nullptr, "line " + std::to_string(i));
  }
  std::string expected;
  for (int i = 2; i <= 13; ++i) {
    expected += (i > 2 ? "\r\n" : "") + std::string("line ") + std::to_string(i);
  }
  EXPECT_EQ(StatusText(), expected);
  EXPECT_EQ(observed.size(), 13u);
}

TEST_F(StatusLogTest, LongTextIsCutAndNeverSpills) {
  const std::string longText(200, 'x');
  LogStatus(nullptr, longText);
  LogStatus(nullptr, "next");
  EXPECT_EQ(StatusText(), std::string(89, 'x') + "\r\nnext");
}

TEST_F(StatusLogTest, TextIsCopiedNotUsedAsPattern) {
  LogStatus(nullptr, "%s%n%x 100%");
  EXPECT_EQ(StatusText(), "%s%n%x 100%");
}

TEST_F(StatusLogTest, WithoutWindowLineIsStillStored) {
  LogStatus(nullptr, "before the dialog");
  EXPECT_EQ(StatusText(), "before the dialog");
}

TEST_F(StatusLogTest, ConcurrentAppendsLoseNothingAndKeepEachThreadsOrder) {
  constexpr int kThreads = 8;
  constexpr int kLines = 500;
  RecordingWindow window;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &window] {
      for (int i = 0; i < kLines; ++i) {
        LogStatus(&window, std::to_string(t) + ":" + std::to_string(i));
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  ASSERT_EQ(observed.size(), static_cast<std::size_t>(kThreads * kLines));
  std::vector<int> next(kThreads, 0);
  for (const std::string& line : observed) {
    const int t = std::stoi(line.substr(0, line.find(':')));
    const int i = std::stoi(line.substr(line.find(':') + 1));
    ASSERT_EQ(i, next[static_cast<std::size_t>(t)]) << line;
    ++next[static_cast<std::size_t>(t)];
  }
  EXPECT_EQ(window.Posted().size(), static_cast<std::size_t>(kThreads * kLines));
  // The box shows the last twelve appended, in append order.
  std::string expected;
  for (std::size_t k = observed.size() - 12; k < observed.size(); ++k) {
    expected += (expected.empty() ? "" : "\r\n") + observed[k];
  }
  EXPECT_EQ(StatusText(), expected);
}
