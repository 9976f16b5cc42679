// Packet to sound: from the host's send of a chat notice to the first mixed period
// that holds a sample of the chat beep, through the link, LinkMessageHandler,
// the real mixer and SDL's audio output as the module uses them live. SDL's dummy
// driver (or another named by SDL_AUDIODRIVER, such as disk) stands in for a card; a
// tap behind the mix notes when each period is handed to the driver.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "app/session_state.h"
#include "audio/sound.h"
#include "bench/support/link_connect.h"
#include "bench/support/mixer_stage.h"
#include "link/message_dispatch.h"
#include "link/notification_packet.h"
#include "link/packet_handlers.h"
#include "platform/audio/install_sound_device.h"
#include "platform/audio/loopback_mixer.h"
#include "platform/audio/output_sink.h"
#include "platform/link/link_host.h"
#include "platform/link/tcp_link_client.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// What the tap has seen of the mix, written on SDL's audio thread.
struct Tap {
  std::atomic<int> periodFrames{0};
  std::atomic<int> silentPeriods{0};
  std::atomic<bool> armed{false};
  std::atomic<Clock::rep> heardAt{0};
};
Tap tap;

// The mixer dithers its 16-bit output, so its silence is noise of one step either way;
// anything beyond that is a sound.
constexpr int kDitherFloor = 1;

void Observe(const std::int16_t* frames, int frameCount) {
  tap.periodFrames = frameCount;
  const std::int16_t* end = frames + static_cast<std::ptrdiff_t>(frameCount) * MIX_CHANNELS;
  if (std::all_of(frames, end, [](std::int16_t sample) { return std::abs(sample) <= kDitherFloor; })) {
    ++tap.silentPeriods;
    return;
  }
  tap.silentPeriods = 0;
  if (tap.armed.exchange(false)) tap.heardAt = Clock::now().time_since_epoch().count();
}

void* OpenTapped(const std::string& path, MixPull pull) {
  return SDL_SINK.open(path, [pull](std::int16_t* frames, int frameCount) {
    pull(frames, frameCount);
    Observe(frames, frameCount);
  });
}

const SinkOps TAPPED_SDL_SINK{OpenTapped, SDL_SINK.close, SDL_SINK.alive};

// When the module's notification handler returned: the beep has been started.
std::atomic<Clock::rep> handledAt{0};

void HandleAndNote(const NotificationPayload& payload) {
  HandleNotificationPacket(payload);
  handledAt = Clock::now().time_since_epoch().count();
}

template <typename Predicate>
bool WaitUntil(Predicate ready, Clock::duration limit) {
  const Clock::time_point deadline = Clock::now() + limit;
  while (!ready()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(100us);
  }
  return true;
}

// The cabin quiet, so that the beep is all there is to hear.
void SilenceShip() {
  for (const SharedSound* ship : {&session.cockpitAmbience, &session.cockpitStartup, &session.engineLoop}) {
    if (const std::shared_ptr<Sound> sound = ship->Get()) sound->Stop();
  }
}

// One chat notice from player 1, sent at a random moment of the output's period (a
// send just after a period was handed over would always wait the longest); the beep is
// stopped and rewound once heard. False when the beep was not heard within a second.
struct Delays {
  std::vector<double> total;    // send to the period that holds the beep
  std::vector<double> handled;  // send to the handler's return
  std::vector<double> mixed;    // the handler's return to the period that holds the beep
};

double Ms(Clock::time_point from, Clock::rep to) {
  return std::chrono::duration<double, std::milli>(Clock::time_point(Clock::duration(to)) - from).count();
}

bool OneNotice(LinkHost& host, std::minstd_rand& random, Delays& delays) {
  NotificationPayload chat{};
  chat[1] = 1;
  if (!WaitUntil([] { return tap.silentPeriods >= 2; }, 1s)) return false;
  std::this_thread::sleep_for(std::chrono::microseconds(random() % 6000));
  tap.armed = true;
  const Clock::time_point sent = Clock::now();
  host.SendData(chat);
  const bool heard = WaitUntil([] { return !tap.armed; }, 1s);
  session.bank.chatBeep->Stop();
  session.bank.chatBeep->Rewind();
  if (!heard) return false;
  delays.total.push_back(Ms(sent, tap.heardAt));
  delays.handled.push_back(Ms(sent, handledAt));
  delays.mixed.push_back(delays.total.back() - delays.handled.back());
  return true;
}

double Percentile(std::vector<double> values, double share) {
  std::sort(values.begin(), values.end());
  const auto index = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
  return values[index];
}

void PrintSpread(const char* what, const std::vector<double>& delays) {
  std::printf("%s: median %.2f ms, p99 %.2f ms, max %.2f ms\n", what, Percentile(delays, 0.5),
              Percentile(delays, 0.99), Percentile(delays, 1.0));
}

int Measure(LinkHost& host, int count) {
  Delays delays;
  std::minstd_rand random(12);
  for (int i = 0; i < count; ++i) {
    if (!OneNotice(host, random, delays)) {
      std::fprintf(stderr, "packet to sound: notice %d was not heard\n", i);
      return 1;
    }
  }
  const double period = 1000.0 * tap.periodFrames / MIX_RATE;
  std::printf("packet to sound over %d notices; output period %d frames = %.2f ms\n", count,
              tap.periodFrames.load(), period);
  PrintSpread("  send to the handler's return", delays.handled);
  PrintSpread("  the handler's return to the mixed period with the beep", delays.mixed);
  PrintSpread("  send to the mixed period with the beep", delays.total);
  std::printf("packet to sound p99 / (period + 2 ms): %.2f (goal 1)\n",
              Percentile(delays.total, 0.99) / (period + 2.0));
  return 0;
}

}  // namespace

// Usage: packet_to_sound_bench [--quick]
int main(int argc, char** argv) {
  const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  InstallSoundDevice(TAPPED_SDL_SINK, "");
  MixerStage stage;
  if (!stage.Ready()) return 1;
  SilenceShip();
  LinkHost host;
  TcpLinkClient client;
  packetHandlers.notification = HandleAndNote;
  client.Initialize(nullptr, LinkMessageHandler, 0);
  const auto stageBefore = session.startupStage.load();
  if (!ConnectToHost(client, host) ||
      !WaitUntil([&] { return session.startupStage != stageBefore; }, 5s)) {
    std::fputs("packet to sound: the link did not connect\n", stderr);
    return 1;
  }
  return Measure(host, quick ? 10 : 400);
}
