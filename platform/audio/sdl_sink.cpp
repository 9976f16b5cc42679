#include <SDL.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "platform/audio/loopback_mixer.h"
#include "platform/audio/output_sink.h"
#include "resources/version_info.h"

namespace {

// At most this many frames per callback, so a started sound is heard within ~6 ms.
constexpr Uint16 PERIOD_FRAMES = 256;

struct SdlSink {
  MixPull pull;
  SDL_AudioDeviceID device = 0;
};

void Callback(void* userdata, Uint8* stream, int length) {
  auto* sink = static_cast<SdlSink*>(userdata);
  sink->pull(reinterpret_cast<std::int16_t*>(stream), length / (MIX_CHANNELS * 2));
}

// Desktop mixers list the stream under the program's name, with the icon of its desktop
// entry; what the user has set in the environment stays. Once, on the first open (the
// dialog thread), before any other thread reads the environment for it.
bool NameTheStream() {
  const std::string name(FILE_DESCRIPTION);
  SDL_SetHintWithPriority(SDL_HINT_APP_NAME, name.c_str(), SDL_HINT_DEFAULT);
  SDL_SetHintWithPriority(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, name.c_str(), SDL_HINT_DEFAULT);
  // This SDL has no hint for the icon; PulseAudio takes it from the environment.
  return setenv("PULSE_PROP_application.icon_name", "soundmodule", 0) == 0;
}

void* Open(const std::string&, MixPull pull) {
  static const bool named = NameTheStream();
  static_cast<void>(named);
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
  auto sink = std::make_unique<SdlSink>();
  sink->pull = std::move(pull);
  SDL_AudioSpec wanted{};
  wanted.freq = MIX_RATE;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = MIX_CHANNELS;
  wanted.samples = PERIOD_FRAMES;
  wanted.callback = Callback;
  wanted.userdata = sink.get();
  // No allowed changes: SDL converts to whatever the hardware wants.
  sink->device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
  if (sink->device == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  SDL_PauseAudioDevice(sink->device, 0);
  return sink.release();
}

void Close(void* state) {
  std::unique_ptr<SdlSink> sink(static_cast<SdlSink*>(state));
  SDL_CloseAudioDevice(sink->device);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool Alive(void* state) {
  return SDL_GetAudioDeviceStatus(static_cast<SdlSink*>(state)->device) != SDL_AUDIO_STOPPED;
}

}  // namespace

const SinkOps SDL_SINK{Open, Close, Alive};
