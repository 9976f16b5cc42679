// Packet handling: the time LinkMessageHandler takes for one received payload of each
// kind, with all 256 players in flight and the sound bank loaded on the real mixer;
// then a mix of every kind on two link worker threads at once while the dialog's
// timer runs the periodic update. Every figure is ns of wall time per packet.
#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "app/session_state.h"
#include "bench/support/full_world_main.h"
#include "bench/support/mixer_stage.h"
#include "link/link_messages.h"
#include "link/message_dispatch.h"
#include "reactions/event_packet.h"
#include "reactions/periodic_update.h"
#include "reactions/weapon_packet.h"

namespace {

template <std::size_t N>
void Receive(const std::array<std::uint8_t, N>& payload) {
  DPNMSG_RECEIVE message;
  message.pReceiveData = payload.data();
  message.dwReceiveDataSize = N;
  LinkMessageHandler(nullptr, DPN_MSGID_RECEIVE, &message);
}

// An engine level change of the own ship: the engine loop's volume and frequency.
EventPayload EngineLevel(int step) {
  EventPacket packet;
  packet.code = 10;
  packet.index = 0;
  packet.valueA = 3.0f;
  packet.valueC = -static_cast<float>(step % 2000);
  packet.valueD = 22000.0f + static_cast<float>(step % 100);
  return EncodeEventPacket(packet);
}

// A launch by another ship in earshot: every slot is looked at for the launcher.
WeaponPayload Launch(int step) {
  WeaponPacket packet;
  packet.kind = WEAPON_LAUNCH;
  packet.weapon = 1;
  packet.launcherId = static_cast<std::uint16_t>(2 + step % 250);
  return EncodeWeaponPacket(packet);
}

// An explosion 5 km away: its sound is queued for its travel time.
WeaponPayload Explosion(int) {
  WeaponPacket packet;
  packet.kind = WEAPON_EXPLOSION;
  packet.position = Add(session.players[0].position, Vector3{0.0f, 5.0f, 0.0f});
  return EncodeWeaponPacket(packet);
}

// A chat line from another player: a status line and the chat beep.
NotificationPayload Chat(int) {
  NotificationPayload payload{};
  payload[1] = 1;
  return payload;
}

// The delayed sounds run out as the timer would let them: all slots free again.
void FreeDelayedSounds() {
  for (DelayedSoundSlot& slot : session.delayedSounds) {
    std::scoped_lock lock(slot.lock);
    slot.active = 0;
  }
}

// One packet of each kind in turn, as a busy world sends them.
void ReceiveOneOfEach(int step) {
  Receive(FlightStep(static_cast<std::uint8_t>(step), step));
  Receive(EngineLevel(step));
  Receive(step % 2 == 0 ? Launch(step) : Explosion(step));
  Receive(Chat(step));
}

template <auto MakePacket>
void Handle(benchmark::State& state) {
  int step = 0;
  for (auto _ : state) {
    Receive(MakePacket(step));
    if (++step % DELAYED_SOUND_SLOT_COUNT == 0) {
      state.PauseTiming();
      FreeDelayedSounds();
      state.ResumeTiming();
    }
  }
  state.SetItemsProcessed(state.iterations());
}

// The dialog thread's 250 ms timer beside the two worker threads.
class Timer {
 public:
  Timer()
      : thread_([this] {
          while (!stop_) {
            PeriodicUpdate(session.dialogWindow);
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
          }
        }) {}
  ~Timer() {
    stop_ = true;
    thread_.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

void HandleMixOnTwoThreads(benchmark::State& state) {
  static Timer* timer = nullptr;
  if (state.thread_index() == 0) timer = new Timer();
  int step = state.thread_index() * 7;
  for (auto _ : state) {
    ReceiveOneOfEach(step++);
    if (state.thread_index() == 0 && step % 16 == 0) FreeDelayedSounds();
  }
  state.SetItemsProcessed(state.iterations() * 4);
  if (state.thread_index() == 0) {
    delete timer;
    timer = nullptr;
  }
}

void PlayerState(benchmark::State& state) {
  Handle<[](int step) { return FlightStep(static_cast<std::uint8_t>(step), step); }>(state);
}

BENCHMARK(PlayerState);
BENCHMARK(Handle<EngineLevel>)->Name("Event");
BENCHMARK(Handle<Launch>)->Name("WeaponLaunch");
BENCHMARK(Handle<Explosion>)->Name("WeaponExplosion");
BENCHMARK(Handle<Chat>)->Name("Notification");
BENCHMARK(HandleMixOnTwoThreads)->Threads(2)->UseRealTime();

void PrintPerPacket(const FigureReporter& reporter) {
  for (const char* name : {"PlayerState", "Event", "WeaponLaunch", "WeaponExplosion", "Notification",
                           "HandleMixOnTwoThreads/real_time/threads:2"}) {
    const double rate = reporter.Figure(name);
    std::printf("packet handling %s: %.0f ns per packet (goal 1000)\n", name, rate > 0 ? 1e9 / rate : 0.0);
  }
}

}  // namespace

int main(int argc, char** argv) { return RunInFullWorld(argc, argv, PrintPerPacket); }
