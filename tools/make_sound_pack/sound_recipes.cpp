#include "tools/make_sound_pack/sound_recipes.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "tools/make_sound_pack/sound_roles.h"

namespace {

std::uint32_t Hash(std::string_view text) {
  std::uint32_t hash = 2166136261u;
  for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return hash;
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// The digit after a fixed prefix ("c2thun3b" -> 3, "c2prec4" -> 4), kept in 1..highest.
int Digit(std::string_view name, std::size_t at, int highest) {
  return at < name.size() ? std::clamp(name[at] - '0', 1, highest) : 1;
}

// A harmonic drum of whole-hertz partials with a little circular noise: seamless.
// The cabin ambiences play at full volume whenever the engines run, so they are written
// quietly, as a bed under everything else.
Clip DroneLoop(std::string_view name, std::uint32_t seed, int rate) {
  const int fundamental = LoopFundamental(name);
  const bool cabin = Contains(name, "-idle") || Contains(name, "CABIN");
  Signal loop = Sine(fundamental, 1.0, rate);
  Mix(loop, Sine(2 * fundamental, 1.0, rate), 0.5f);
  Mix(loop, Sine(3 * fundamental, 1.0, rate), 0.3f);
  Mix(loop, Sine(5 * fundamental + 1, 1.0, rate), 0.15f);
  Mix(loop, LoopNoise(seed, 0.9, 1.0, rate), 0.6f);
  Normalize(loop, cabin ? 0.15f : 0.5f);
  return MonoClip(loop, rate);
}

// Wind and gear airflow: dark noise with one slow swell per loop; the gear's is rougher,
// the waves' darker and deeper.
Clip AirLoop(std::string_view name, std::uint32_t seed, int rate) {
  const bool gear = Contains(name, "GEAR");
  const bool waves = Contains(name, "wave");
  Signal loop = LoopNoise(seed, gear ? 0.95 : waves ? 0.993 : 0.985, 2.0, rate);
  const Signal swell = Sine(0.5, 2.0, rate);
  const float depth = waves ? 0.8f : 0.5f;
  for (std::size_t i = 0; i < loop.size(); ++i) loop[i] *= 1.0f + depth * swell[i];
  // The module keeps wind and gear airflow near full volume for most of a flight: at a
  // lower level they stay a bed under the cabin's other sounds instead of masking them.
  Normalize(loop, waves ? 0.5f : 0.25f);
  return WideClip(loop, rate);
}

// Rain: a hiss with drops on it, louder and denser the heavier it falls (1 to 4).
Clip RainLoop(std::string_view name, std::uint32_t seed, int rate) {
  const int heaviness = Digit(name, 6, 4);
  Signal loop = LoopNoise(seed, 0.3, 2.0, rate);
  Normalize(loop, 0.3f);
  AddDrops(loop, seed + 1, 30 * heaviness * heaviness, rate);
  Normalize(loop, 0.2f + 0.15f * static_cast<float>(heaviness));
  return WideClip(loop, rate);
}

// Thunder: near claps (1, 2) open with a crack; farther ones roll in later and darker.
Clip Thunder(std::string_view name, std::uint32_t seed, int rate) {
  const int distance = Digit(name, 6, 5);
  const double seconds = 2.0 + 0.5 * distance + (seed % 10) / 10.0;
  Signal rumble = LoopNoise(seed, 0.985 + 0.002 * distance, seconds, rate);
  Normalize(rumble, 1.0f);
  Shape(rumble, Rolls(seed, 3, 0.02 + 0.1 * distance, seconds / 4.0, seconds, rate));
  if (distance <= 2) {
    Signal crack = LoopNoise(seed + 1, 0.2, 0.5, rate);
    Normalize(crack, 1.0f);
    Decay(crack, 0.08, rate);
    Mix(rumble, crack, 0.8f);
  }
  return OneShotClip(std::move(rumble), rate, 0.8f);
}

Clip Chime(std::uint32_t seed, int rate) {
  const double root = 600.0 + seed % 400;
  Signal chime = Sine(root, 1.2, rate);
  Mix(chime, Sine(root * 2.76, 1.2, rate), 0.4f);
  Signal second = Sine(root * 1.26, 1.2, rate);
  Decay(second, 0.3, rate);
  Decay(chime, 0.4, rate);
  chime.insert(chime.end(), second.begin(), second.end());
  return OneShotClip(std::move(chime), rate, 0.6f);
}

// Impacts, breaks, splashes, skids: a noise burst over a low thump.
Clip Impact(std::string_view name, std::uint32_t seed, int rate) {
  const bool bright = Contains(name, "splash") || Contains(name, "splas") ||
                      Contains(name, "skid") || Contains(name, "Sputter");
  const double seconds = 0.4 + (seed % 8) / 10.0;
  Signal burst = LoopNoise(seed, bright ? 0.2 : 0.8, seconds, rate);
  Mix(burst, Sweep(120.0 + seed % 60, 40.0, seconds, rate), bright ? 0.2f : 1.0f);
  Decay(burst, seconds / 4.0, rate);
  return OneShotClip(std::move(burst), rate, 0.8f);
}

// Launches, start-ups and machinery: a sweep with some grit.
Clip Machine(std::string_view name, std::uint32_t seed, int rate) {
  const bool rising = Contains(name, "start") || Contains(name, "UP") || Contains(name, "repair");
  const double seconds = Contains(name, "start") ? 2.0 : 0.6;
  const double low = 150.0 + seed % 100;
  Signal sweep = rising ? Sweep(low, low * 4, seconds, rate) : Sweep(low * 4, low, seconds, rate);
  Mix(sweep, LoopNoise(seed, 0.5, seconds, rate), 0.3f);
  return OneShotClip(std::move(sweep), rate, 0.6f);
}

Clip Beep(double frequency, double seconds, int rate) {
  return OneShotClip(Sine(frequency, seconds, rate), rate, 0.5f);
}

// Two tones, high then low.
Clip TwoTone(double high, double low, int rate) {
  Signal tones = Sine(high, 0.25, rate);
  const Signal second = Sine(low, 0.25, rate);
  tones.insert(tones.end(), second.begin(), second.end());
  return OneShotClip(std::move(tones), rate, 0.5f);
}

Clip Tone(const std::string& name, int rate) {
  if (Contains(name, "hi low")) return TwoTone(1200.0, 800.0, rate);
  return Beep(std::atof(name.c_str()), 1.0, rate);
}

}  // namespace

Clip Synthesize(const std::string& fileName) {
  const std::string_view name = fileName;
  const std::uint32_t seed = Hash(name);
  const int rate = FileRate(name);
  switch (GroupOf(name)) {
    case SoundGroup::Tones: return Tone(fileName, rate);
    case SoundGroup::Beeps: return Beep(500.0 + seed % 1500, 0.12, rate);
    case SoundGroup::Chimes: return Chime(seed, rate);
    case SoundGroup::Voice: return TwoTone(700.0 + seed % 300, 500.0 + seed % 200, rate);
    case SoundGroup::Thunder: return Thunder(name, seed, rate);
    case SoundGroup::Rain: return RainLoop(name, seed, rate);
    case SoundGroup::Airflow: return AirLoop(name, seed, rate);
    case SoundGroup::Drones: return DroneLoop(name, seed, rate);
    case SoundGroup::Machines: return Machine(name, seed, rate);
    case SoundGroup::Impacts: return Impact(name, seed, rate);
  }
  return Impact(name, seed, rate);
}
