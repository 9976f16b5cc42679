#include "platform/audio/loopback_mixer.h"

#include <cstdlib>

#include <AL/al.h>
#include <AL/alext.h>

#include "platform/audio/al_lock.h"
#include "platform/audio/mono_level.h"

namespace {

template <typename Function>
Function LoopbackFunction(const char* name) {
  return reinterpret_cast<Function>(alcGetProcAddress(nullptr, name));
}

}  // namespace

// OpenAL Soft is not built for ThreadSanitizer: its context threads hand data over
// through atomics the sanitizer cannot see, which it would report as races.
extern "C" const char* __tsan_default_suppressions() { return "race:libopenal.so\n"; }

void KeepOpenAlOffTheSystemDevices() {
  setenv("ALSOFT_DRIVERS", "null", 1);
  // Its log goes to stderr, which the headless front end keeps for message boxes.
  setenv("ALSOFT_LOGLEVEL", "0", 0);
}

std::unique_ptr<LoopbackMixer> LoopbackMixer::Create() {
  AlLock lock(nullptr);
  if (alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback") == ALC_FALSE) return nullptr;
  const auto open = LoopbackFunction<LPALCLOOPBACKOPENDEVICESOFT>("alcLoopbackOpenDeviceSOFT");
  const auto render = LoopbackFunction<LPALCRENDERSAMPLESSOFT>("alcRenderSamplesSOFT");
  if (open == nullptr || render == nullptr) return nullptr;
  ALCdevice* device = open(nullptr);
  if (device == nullptr) return nullptr;
  const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT,
                               ALC_FORMAT_TYPE_SOFT,     ALC_SHORT_SOFT,
                               ALC_FREQUENCY,            MIX_RATE,
                               ALC_HRTF_SOFT,            ALC_FALSE,
                               0};
  ALCcontext* context = alcCreateContext(device, attributes);
  if (context == nullptr) {
    alcCloseDevice(device);
    return nullptr;
  }
  lock.Use(context);
  const float monoGain = 1.0f / CentredMonoLevel(device, render);
  return std::unique_ptr<LoopbackMixer>(new LoopbackMixer(device, context, render, monoGain));
}

LoopbackMixer::~LoopbackMixer() {
  AlLock lock(nullptr);
  if (alcGetCurrentContext() == context_) alcMakeContextCurrent(nullptr);
  alcDestroyContext(context_);
  alcCloseDevice(device_);
}

void LoopbackMixer::Render(std::int16_t* frames, int frameCount) {
  AlLock lock(nullptr);
  render_(device_, frames, frameCount);
}
