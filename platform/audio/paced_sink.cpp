// The WAV file and null outputs: a thread of our own pulls the mix at the real-time
// rate, so sounds take their own length to play, and hands each period to a consumer.
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "app/process_end.h"
#include "platform/audio/loopback_mixer.h"
#include "platform/audio/output_sink.h"
#include "platform/audio/wav_writer.h"

namespace {

constexpr int PERIOD_FRAMES = 256;
constexpr auto WAKE_INTERVAL = std::chrono::milliseconds(5);

using Consume = std::function<void(const std::int16_t* frames, int frameCount)>;

class PacedSink {
 public:
  PacedSink(MixPull pull, Consume consume)
      : pull_(std::move(pull)), consume_(std::move(consume)), thread_([this] { Run(); }) {}
  ~PacedSink() {
    stop_ = true;
    thread_.join();
  }
  PacedSink(const PacedSink&) = delete;
  PacedSink& operator=(const PacedSink&) = delete;

 private:
  void Run() {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    std::int64_t framesDone = 0;
    std::vector<std::int16_t> period(PERIOD_FRAMES * MIX_CHANNELS);
    while (!stop_) {
      const auto elapsed = std::chrono::duration<double>(Clock::now() - start).count();
      const auto framesDue = static_cast<std::int64_t>(elapsed * MIX_RATE);
      while (framesDue - framesDone >= PERIOD_FRAMES) {
        pull_(period.data(), PERIOD_FRAMES);
        consume_(period.data(), PERIOD_FRAMES);
        framesDone += PERIOD_FRAMES;
      }
      std::this_thread::sleep_for(WAKE_INTERVAL);
    }
  }

  MixPull pull_;
  Consume consume_;
  std::atomic<bool> stop_{false};
  std::thread thread_;  // last: starts once the members above are ready
};

// Every WAV file's appends. The process end takes it for good, so each file ends on
// a whole period with its header's sizes written.
std::mutex& WavAppendLock() {
  static auto* lock = new std::mutex;
  return *lock;
}

void HoldWavFilesToTheEnd() { WavAppendLock().lock(); }

void* OpenWavFile(const std::string& path, MixPull pull) {
  static const bool endStepAdded = (AddProcessEndStep(HoldWavFilesToTheEnd), true);
  static_cast<void>(endStepAdded);
  std::shared_ptr<WavWriter> writer = WavWriter::Create(path);
  if (!writer) return nullptr;
  return new PacedSink(std::move(pull), [writer](const std::int16_t* frames, int frameCount) {
    std::scoped_lock hold(WavAppendLock());
    writer->Append(frames, frameCount);
  });
}

void* OpenNull(const std::string&, MixPull pull) {
  return new PacedSink(std::move(pull), [](const std::int16_t*, int) {});
}

void Close(void* sink) { delete static_cast<PacedSink*>(sink); }

bool Alive(void*) { return true; }

}  // namespace

const SinkOps WAV_FILE_SINK{OpenWavFile, Close, Alive};
const SinkOps NULL_SINK{OpenNull, Close, Alive};
