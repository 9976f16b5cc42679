// The soak: all 256 players streaming their state at 60 Hz with events, weapons and
// notifications on four link threads, ship changes on a fifth racing the dialog's check
// boxes, distant lightning keeping the delayed-sound queue full, and the dialog thread
// ticking every 250 ms, for SOAK_SECONDS (5 unless set). Every line appended to the
// status log must reach the log's observer, once and in order. Run under the address
// and thread sanitizers, a sound used after its deletion or a race is a failure too.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/main_dialog.h"
#include "app/session_state.h"
#include "app/startup_sequence.h"
#include "tests/stress/link_traffic.h"
#include "tests/support/module_stage.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kLinkThreads = 4;
constexpr int kSlotsPerThread = PLAYER_SLOT_COUNT / kLinkThreads;
constexpr auto kFrame = std::chrono::microseconds(16667);  // 60 Hz
constexpr const char* kMarker = "soak line ";
constexpr const char* kQueueFull = "Could not find an unused delayed sound slot!";

// What the observer saw; it runs under the log's lock, so these need no lock of their own.
struct Seen {
  std::uint64_t lines = 0;
  std::uint64_t markers = 0;
  std::uint64_t outOfOrder = 0;
  std::uint64_t queueFull = 0;
} seen;

void Observe(std::string_view line) {
  ++seen.lines;
  if (line == kQueueFull) ++seen.queueFull;
  if (!line.starts_with(kMarker)) return;
  const std::string expected = kMarker + std::to_string(seen.markers);
  if (line != expected) ++seen.outOfOrder;
  ++seen.markers;
}

std::chrono::seconds SoakDuration() {
  const char* text = std::getenv("SOAK_SECONDS");
  return std::chrono::seconds(text != nullptr ? std::atoi(text) : 5);
}

// Runs `frame` at 60 Hz until stop; a late frame is not made up for.
template <typename Frame>
std::uint64_t AtSixtyHertz(const std::atomic<bool>& stop, Frame frame) {
  std::uint64_t count = 0;
  for (auto due = Clock::now(); !stop; ++count) {
    frame(count);
    due = std::max(due + kFrame, Clock::now() - kFrame);
    std::this_thread::sleep_until(due);
  }
  return count;
}

struct Counts {
  std::atomic<std::uint64_t> states{0}, events{0}, weapons{0}, notifications{0}, shipChanges{0};
  std::atomic<std::uint64_t> clicks{0}, ticks{0}, markers{0};
};

void LinkThread(int first, const std::atomic<bool>& stop, Counts& counts) {
  AtSixtyHertz(stop, [&](std::uint64_t frame) {
    for (int slot = first; slot < first + kSlotsPerThread; ++slot) {
      soak::SendPlayerState(slot, frame);
    }
    const int slot = first + static_cast<int>(frame % kSlotsPerThread);
    soak::SendEvent(slot, frame);
    soak::SendWeapon(slot, frame);
    soak::SendNotification(slot, frame);
    if (first == 0) soak::SendDistantLightning(frame);
    counts.states += kSlotsPerThread;
    counts.events += first == 0 ? 2 : 1;
    counts.weapons += 1;
    counts.notifications += 1;
  });
}

// The dialog thread: the 250 ms tick, and between ticks a click on a check box, the
// Onboard Effects box (the one the ship sounds hang on) every other time.
void DialogThread(HWND window, const std::atomic<bool>& stop, Counts& counts) {
  const int boxes[] = {IDC_ONBOARD, IDC_WEAPONS, IDC_ONBOARD, IDC_NOTIFICATIONS, IDC_ONBOARD,
                       IDC_DOCK_ANNOUNCEMENTS, IDC_ONBOARD, IDC_ENVIRONMENTAL, IDC_ONBOARD,
                       IDC_END_OF_TRANSMISSION};
  auto nextTick = Clock::now();
  for (std::uint64_t i = 0; !stop; ++i) {
    if (Clock::now() >= nextTick) {
      TimerTick(window);
      ++counts.ticks;
      nextTick += 250ms;
    }
    DialogProc(window, WM_COMMAND, static_cast<std::uintptr_t>(boxes[i % std::size(boxes)]), 0);
    ++counts.clicks;
    if (i % 64 == 0) DialogProc(window, WM_COMMAND, IDC_WHODAT, 0);
    std::this_thread::sleep_for(5ms);
  }
}

TEST(SoakTest, AllPlayersAtSixtyHertzWithTransfersClicksAndAFullQueueLoseNoLogLine) {
  ModuleStage stage;
  stage.Ready(PLAYER_SLOT_COUNT);
  seen = {};
  SetStatusLineObserver(Observe);
  Counts counts;
  std::atomic<bool> stop{false};
  std::vector<std::thread> threads;
  for (int i = 0; i < kLinkThreads; ++i) {
    threads.emplace_back(LinkThread, i * kSlotsPerThread, std::cref(stop), std::ref(counts));
  }
  threads.emplace_back([&] {
    AtSixtyHertz(stop, [&](std::uint64_t frame) {
      if (frame % 6 == 0) {
        soak::SendShipChange(counts.shipChanges++);
      }
    });
  });
  threads.emplace_back([&] {
    for (std::uint64_t n = 0; !stop; ++n) {
      LogStatus(stage.Window(), kMarker + std::to_string(n));
      counts.markers = n + 1;
      std::this_thread::sleep_for(1ms);
    }
  });
  const auto started = Clock::now();
  std::thread dialog(DialogThread, stage.Window(), std::cref(stop), std::ref(counts));
  std::this_thread::sleep_for(SoakDuration());
  stop = true;
  dialog.join();
  for (std::thread& thread : threads) thread.join();
  const auto seconds = std::chrono::duration<double>(Clock::now() - started).count();
  SetStatusLineObserver(nullptr);

  EXPECT_EQ(seen.markers, counts.markers.load()) << "lines appended but never observed";
  EXPECT_EQ(seen.outOfOrder, 0u);
  EXPECT_GT(seen.queueFull, 0u) << "the delayed-sound queue was never full";
  EXPECT_GT(counts.shipChanges.load(), 0u);
  std::printf("soak: %.1f s; packets: %llu states, %llu events, %llu weapons, %llu notifications, "
              "%llu ship changes; %llu clicks, %llu ticks; %llu log lines observed (%llu queue full)\n",
              seconds, static_cast<unsigned long long>(counts.states.load()),
              static_cast<unsigned long long>(counts.events.load()),
              static_cast<unsigned long long>(counts.weapons.load()),
              static_cast<unsigned long long>(counts.notifications.load()),
              static_cast<unsigned long long>(counts.shipChanges.load()),
              static_cast<unsigned long long>(counts.clicks.load()),
              static_cast<unsigned long long>(counts.ticks.load()),
              static_cast<unsigned long long>(seen.lines), static_cast<unsigned long long>(seen.queueFull));
}

}  // namespace
