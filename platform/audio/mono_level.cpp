#include "platform/audio/mono_level.h"

#include <array>
#include <cstdint>
#include <vector>

#include "platform/audio/loopback_mixer.h"

namespace {

constexpr std::int16_t PROBE_VALUE = 16384;
constexpr int PROBE_FRAMES = 512;  // past the mixer's fade-in of a new source
// Beyond this the mixer's own gain limit would clip the make-up gain.
constexpr float LOWEST_LEVEL = 1.0f / 16.0f;

float ProbeLevel(ALCdevice* device, RenderSamples render, ALuint source) {
  const std::vector<std::int16_t> constant(2 * PROBE_FRAMES, PROBE_VALUE);
  ALuint buffer = 0;
  alGenBuffers(1, &buffer);
  alBufferData(buffer, AL_FORMAT_MONO16, constant.data(),
               static_cast<ALsizei>(constant.size() * sizeof(std::int16_t)), MIX_RATE);
  HearAsRecorded(source, 1.0f);
  alSource3f(source, AL_POSITION, 0.0f, 0.0f, -1.0f);
  alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
  alSourcePlay(source);
  std::array<std::int16_t, 2 * PROBE_FRAMES> mix{};
  render(device, mix.data(), PROBE_FRAMES);
  const float level = static_cast<float>(mix[mix.size() - 2]) / PROBE_VALUE;
  alSourceStop(source);
  render(device, mix.data(), PROBE_FRAMES);  // lets the mixer finish with the probe
  alSourcei(source, AL_BUFFER, 0);
  alDeleteBuffers(1, &buffer);
  return level;
}

}  // namespace

float CentredMonoLevel(ALCdevice* device, RenderSamples render) {
  alGetError();
  ALuint source = 0;
  alGenSources(1, &source);
  if (alGetError() != AL_NO_ERROR) return 1.0f;
  const float level = ProbeLevel(device, render, source);
  alDeleteSources(1, &source);
  const bool measured = alGetError() == AL_NO_ERROR && level >= LOWEST_LEVEL && level <= 1.0f;
  return measured ? level : 1.0f;
}

void HearAsRecorded(ALuint source, float monoGain) {
  alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
  alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
  alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
  alSourcef(source, AL_MAX_GAIN, monoGain);
}
