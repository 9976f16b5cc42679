#include "platform/audio/sound_device_core.h"

#include <utility>

#include "platform/audio/openal_sound_buffer.h"

std::shared_ptr<SoundDeviceCore> SoundDeviceCore::Open(const SinkOps& sink,
                                                       const std::string& path) {
  auto mixer = LoopbackMixer::Create();
  if (!mixer) return nullptr;
  std::shared_ptr<SoundDeviceCore> core(new SoundDeviceCore(std::move(mixer), sink, path));
  std::scoped_lock lock(core->outputMutex_);
  if (!core->OpenSink()) return nullptr;
  return core;
}

SoundDeviceCore::SoundDeviceCore(std::unique_ptr<LoopbackMixer> mixer, const SinkOps& sink,
                                 std::string path)
    : mixer_(std::move(mixer)), ops_(sink), path_(std::move(path)) {}

SoundDeviceCore::~SoundDeviceCore() {
  std::scoped_lock lock(outputMutex_);
  if (sink_ != nullptr) ops_.close(sink_);
}

bool SoundDeviceCore::OpenSink() {
  LoopbackMixer* mixer = mixer_.get();
  sink_ = ops_.open(path_, [mixer](std::int16_t* frames, int frameCount) {
    mixer->Render(frames, frameCount);
  });
  return sink_ != nullptr;
}

unsigned SoundDeviceCore::CheckOutput() {
  std::scoped_lock lock(outputMutex_);
  if (sink_ != nullptr && !ops_.alive(sink_)) {
    ops_.close(sink_);
    sink_ = nullptr;
    ++generation_;
    StopBuffersOf(this);
  }
  return generation_;
}

std::optional<unsigned> SoundDeviceCore::Reopen() {
  CheckOutput();
  std::scoped_lock lock(outputMutex_);
  if (sink_ == nullptr && !OpenSink()) return std::nullopt;
  return generation_.load();
}
