// SoundDeviceCore: what one device and its buffers share: the loopback mixer, the output
// that pulls it, and the loss generation. When the output goes away the generation
// moves on, every buffer of the device stops and reports lost until it is restored on a
// reopened output. Any thread; output checks are serialised by the core's own lock.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/audio/loopback_mixer.h"
#include "platform/audio/output_sink.h"

class SoundDeviceCore {
 public:
  // Null when the mixer cannot be made or the output cannot be opened.
  static std::shared_ptr<SoundDeviceCore> Open(const SinkOps& sink, const std::string& path);
  ~SoundDeviceCore();
  SoundDeviceCore(const SoundDeviceCore&) = delete;
  SoundDeviceCore& operator=(const SoundDeviceCore&) = delete;

  ALCcontext* Context() const { return mixer_->Context(); }
  float MonoGain() const { return mixer_->MonoGain(); }
  // The current generation, after noticing an output that went away.
  unsigned CheckOutput();
  // Opens the output again when it went away: the generation to restore to, or nothing
  // while no output can be opened.
  std::optional<unsigned> Reopen();

 private:
  SoundDeviceCore(std::unique_ptr<LoopbackMixer> mixer, const SinkOps& sink, std::string path);
  bool OpenSink();

  std::unique_ptr<LoopbackMixer> mixer_;
  const SinkOps& ops_;
  const std::string path_;
  std::mutex outputMutex_;
  void* sink_ = nullptr;  // under outputMutex_; null while the output is away
  std::atomic<unsigned> generation_{0};
};
