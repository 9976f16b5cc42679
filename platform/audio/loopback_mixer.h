// LoopbackMixer: one OpenAL Soft loopback device and its context, mixing every source of
// the context into 16-bit stereo frames at MIX_RATE whenever an output pulls.
// Render: any thread (an output's thread); construction and destruction: any thread.
#pragma once

#include <cstdint>
#include <memory>

#include <AL/alc.h>

#include "platform/audio/mono_level.h"

constexpr int MIX_RATE = 44100;

// The loopback mixer is all we use of OpenAL: this stops it from probing and opening the
// system's sound servers, and from logging to stderr. Main thread, before the first
// device (it sets the environment).
void KeepOpenAlOffTheSystemDevices();
constexpr int MIX_CHANNELS = 2;

class LoopbackMixer {
 public:
  // Null when the loopback extension is missing or the device cannot be made.
  static std::unique_ptr<LoopbackMixer> Create();
  ~LoopbackMixer();
  LoopbackMixer(const LoopbackMixer&) = delete;
  LoopbackMixer& operator=(const LoopbackMixer&) = delete;

  // Writes frameCount interleaved stereo frames of the current mix.
  void Render(std::int16_t* frames, int frameCount);
  ALCcontext* Context() const { return context_; }
  // The gain that brings a mono source to its recorded level in each channel.
  float MonoGain() const { return monoGain_; }

 private:
  LoopbackMixer(ALCdevice* device, ALCcontext* context, RenderSamples render, float monoGain)
      : device_(device), context_(context), render_(render), monoGain_(monoGain) {}

  ALCdevice* device_;
  ALCcontext* context_;
  RenderSamples render_;
  float monoGain_;
};
