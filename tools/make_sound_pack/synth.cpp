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

// A xorshift generator: the same numbers for the same seed on every run and machine.
class Seeded {
 public:
  explicit Seeded(std::uint32_t seed) : state_(seed | 1u) {}
  std::uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  // Uniform in -1..1.
  float Signed() { return static_cast<float>(Next()) / 2147483648.0f - 1.0f; }
  // Uniform in 0..1.
  double Unit() { return static_cast<double>(Next()) / 4294967296.0; }

 private:
  std::uint32_t state_;
};

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
  Seeded random(seed);
  for (float& sample : white) sample = random.Signed();
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

Signal Rolls(std::uint32_t seed, int count, double attack, double decay, double seconds,
             int rate) {
  Signal envelope(Length(seconds, rate), 0.0f);
  Seeded random(seed);
  for (int roll = 0; roll < count; ++roll) {
    const double start = roll == 0 ? 0.0 : random.Unit() * seconds / 2.0;
    const double height = roll == 0 ? 1.0 : 0.4 + 0.5 * random.Unit();
    for (std::size_t i = Length(start, rate); i < envelope.size(); ++i) {
      const double t = static_cast<double>(i) / rate - start;
      envelope[i] += static_cast<float>(height * (1.0 - std::exp(-t / attack)) * std::exp(-t / decay));
    }
  }
  Normalize(envelope, 1.0f);
  return envelope;
}

void AddDrops(Signal& signal, std::uint32_t seed, int count, int rate) {
  if (signal.empty()) return;
  Seeded random(seed);
  const std::size_t dropLength = Length(0.02, rate);
  for (int drop = 0; drop < count; ++drop) {
    const auto start = static_cast<std::size_t>(random.Unit() * static_cast<double>(signal.size()));
    const double pitch = 2000.0 + 3000.0 * random.Unit();
    const double height = 0.3 + 0.7 * random.Unit();
    for (std::size_t i = 0; i < dropLength; ++i) {
      const double t = static_cast<double>(i) / rate;
      signal[(start + i) % signal.size()] += static_cast<float>(
          height * std::sin(2.0 * std::numbers::pi * pitch * t) * std::exp(-t / 0.003));
    }
  }
}

void Mix(Signal& a, const Signal& b, float scale) {
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) a[i] += scale * b[i];
}

void Shape(Signal& signal, const Signal& envelope) {
  for (std::size_t i = 0; i < std::min(signal.size(), envelope.size()); ++i) {
    signal[i] *= envelope[i];
  }
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

Signal FromPcm(const std::vector<std::int16_t>& samples) {
  Signal signal;
  signal.reserve(samples.size());
  for (const std::int16_t sample : samples) signal.push_back(static_cast<float>(sample) / 32768.0f);
  return signal;
}

Clip MonoClip(const Signal& signal, int rate) {
  Clip clip{rate, 1, {}};
  clip.samples.reserve(signal.size());
  for (const float sample : signal) clip.samples.push_back(ToPcm(sample));
  return clip;
}

Clip OneShotClip(Signal signal, int rate, float peak) {
  FadeEnds(signal, 0.005, rate);
  Normalize(signal, peak);
  return MonoClip(signal, rate);
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
