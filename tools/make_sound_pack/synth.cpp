#include "tools/make_sound_pack/synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

std::size_t Length(double seconds, int rate) {
  return static_cast<std::size_t>(seconds * rate);
}

std::int16_t ToPcm(float value) {
  return static_cast<std::int16_t>(std::lround(std::clamp(value, -1.0f, 1.0f) * 32767.0f));
}

}  // namespace

Signal Sine(double frequency, double seconds, int rate) {
  Signal signal(Length(seconds, rate));
  for (std::size_t i = 0; i < signal.size(); ++i) {
    signal[i] = static_cast<float>(
        std::sin(2.0 * std::numbers::pi * frequency * static_cast<double>(i) / rate));
  }
  return signal;
}

Signal Sweep(double from, double to, double seconds, int rate) {
  Signal signal(Length(seconds, rate));
  double phase = 0.0;
  for (std::size_t i = 0; i < signal.size(); ++i) {
    const double progress = static_cast<double>(i) / static_cast<double>(signal.size());
    phase += 2.0 * std::numbers::pi * (from + (to - from) * progress) / rate;
    signal[i] = static_cast<float>(std::sin(phase));
  }
  return signal;
}

Signal LoopNoise(std::uint32_t seed, double smoothing, double seconds, int rate) {
  Signal white(Length(seconds, rate));
  std::uint32_t state = seed | 1u;
  for (float& sample : white) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    sample = static_cast<float>(state) / 2147483648.0f - 1.0f;
  }
  Signal out(white.size());
  float level = 0.0f;
  const auto keep = static_cast<float>(smoothing);
  for (int pass = 0; pass < 2; ++pass) {
    for (std::size_t i = 0; i < white.size(); ++i) {
      level = keep * level + (1.0f - keep) * white[i];
      out[i] = level;
    }
  }
  return out;
}

void Mix(Signal& a, const Signal& b, float scale) {
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) a[i] += scale * b[i];
}

void Decay(Signal& signal, double timeConstant, int rate) {
  for (std::size_t i = 0; i < signal.size(); ++i) {
    signal[i] *= static_cast<float>(std::exp(-static_cast<double>(i) / (timeConstant * rate)));
  }
}

void FadeEnds(Signal& signal, double seconds, int rate) {
  const std::size_t fade = std::min(Length(seconds, rate), signal.size() / 2);
  for (std::size_t i = 0; i < fade; ++i) {
    const float gain = static_cast<float>(i) / static_cast<float>(fade);
    signal[i] *= gain;
    signal[signal.size() - 1 - i] *= gain;
  }
}

void Normalize(Signal& signal, float peak) {
  float largest = 0.0f;
  for (const float sample : signal) largest = std::max(largest, std::abs(sample));
  if (largest == 0.0f) return;
  for (float& sample : signal) sample *= peak / largest;
}

Clip MonoClip(const Signal& signal, int rate) {
  Clip clip{rate, 1, {}};
  clip.samples.reserve(signal.size());
  for (const float sample : signal) clip.samples.push_back(ToPcm(sample));
  return clip;
}

Clip WideClip(const Signal& signal, int rate) {
  Clip clip{rate, 2, {}};
  clip.samples.reserve(signal.size() * 2);
  const std::size_t half = signal.size() / 2;
  for (std::size_t i = 0; i < signal.size(); ++i) {
    clip.samples.push_back(ToPcm(signal[i]));
    clip.samples.push_back(ToPcm(signal[(i + half) % signal.size()]));
  }
  return clip;
}
