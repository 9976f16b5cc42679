#include <SDL.h>

#include <memory>
#include <utility>

#include "platform/audio/loopback_mixer.h"
#include "platform/audio/output_sink.h"

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

void* Open(const std::string&, MixPull pull) {
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
