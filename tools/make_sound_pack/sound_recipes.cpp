#include "tools/make_sound_pack/sound_recipes.h"

#include <array>
#include <cstdlib>
#include <string_view>
#include <utility>

namespace {

constexpr int RATE = 22050;

struct Phrase {
  std::string_view file;
  std::string_view text;
};

constexpr std::array<Phrase, 30> PHRASES{{
    {"voxen-tiaditcb.wav", "Target is airborne. Deploy interceptors."},
    {"voxen-amc.wav", "Approaching maximum ceiling."},
    {"voxen-vpt1.wav", "Vertical thrust on."},
    {"voxen-vpt0.wav", "Vertical thrust off."},
    {"voxen-ll0.wav", "Landing lights off."},
    {"voxen-ll1.wav", "Landing lights on."},
    {"voxen-strutse.wav", "Struts extended."},
    {"voxen-strutsr.wav", "Struts retracted."},
    {"voxen-hid.wav", "Hull ionization detected."},
    {"voxen-psb.wav", "Power systems balanced."},
    {"cycletarget.wav", "Cycling target."},
    {"voxen-cfl.wav", "Cargo full."},
    {"voxen-sr.wav", "Shields recharged."},
    {"voxen-pu.wav", "Pull up. Pull up."},
    {"voxen-tt.wav", "Terrain. Terrain."},
    {"voxen-struts.wav", "Check struts."},
    {"voxen-ba.wav", "Bank angle."},
    {"TURGRND0.wav", "Ground control. Bay zero is clear."},
    {"TURGRND1.wav", "Ground control. Bay one is clear."},
    {"TURGRND2.wav", "Ground control. Bay two is clear."},
    {"TURGRND3.wav", "Ground control. Bay three is clear."},
    {"TURGRND4.wav", "Ground control. Bay four is clear."},
    {"TURGRND5.wav", "Ground control. Bay five is clear."},
    {"TURGRND6.wav", "Ground control. Bay six is clear."},
    {"TURGRND7.wav", "Ground control. Bay seven is clear."},
    {"TURGRND8.wav", "Ground control. Bay eight is clear."},
    {"TURGRND9.wav", "Ground control. Bay nine is clear."},
    {"TURGRNDA.wav", "Ground control. Traffic on approach."},
    {"TURGRNDB.wav", "Ground control. Traffic departing."},
    {"TURGEVAC.wav", "Attention. Evacuate the dock area immediately."},
}};

// Loops and their fundamental (whole hertz, so a one-second loop closes on itself);
// a fundamental of 0 marks a noise loop.
constexpr std::array<std::pair<std::string_view, int>, 18> LOOPS{{
    {"c2prec1.wav", 0}, {"c2prec2.wav", 0}, {"c2prec3.wav", 0}, {"c2prec4.wav", 0},
    {"c5wind3.wav", 0}, {"mining.wav", 70}, {"waveloop.wav", 0}, {"GEARAERO.wav", 0},
    {"doppler.wav", 220}, {"rumble1.wav", 31}, {"320-idle.wav", 60}, {"321-idle.wav", 50},
    {"322-idle.wav", 75}, {"CABIN FANS.wav", 120}, {"AlienFreighter.wav", 45},
    {"MuVERmoto.wav", 90}, {"AlienEng1.wav", 65}, {"fighter_on_space1.wav", 110},
}};

std::uint32_t Hash(std::string_view text) {
  std::uint32_t hash = 2166136261u;
  for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return hash;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

Clip Finish(Signal signal, float peak) {
  FadeEnds(signal, 0.005, RATE);
  Normalize(signal, peak);
  return MonoClip(signal, RATE);
}

// A harmonic drum of whole-hertz partials with a little circular noise: seamless.
Clip EngineLoop(int fundamental, std::uint32_t seed) {
  Signal loop = Sine(fundamental, 1.0, RATE);
  Mix(loop, Sine(2 * fundamental, 1.0, RATE), 0.5f);
  Mix(loop, Sine(3 * fundamental, 1.0, RATE), 0.3f);
  Mix(loop, Sine(5 * fundamental + 1, 1.0, RATE), 0.15f);
  Mix(loop, LoopNoise(seed, 0.9, 1.0, RATE), 0.6f);
  Normalize(loop, 0.5f);
  return MonoClip(loop, RATE);
}

// Rain, wind and airflow: filtered noise, wider and louder for heavier rain.
Clip NoiseLoop(std::string_view name, std::uint32_t seed) {
  const bool wind = Contains(name, "wind") || Contains(name, "AERO") || Contains(name, "wave");
  Signal loop = LoopNoise(seed, wind ? 0.985 : 0.3, 2.0, RATE);
  if (wind) {
    Signal swell = Sine(0.5, 2.0, RATE);  // one slow swell per loop
    for (std::size_t i = 0; i < loop.size(); ++i) loop[i] *= 1.0f + 0.5f * swell[i];
  }
  const float level = StartsWith(name, "c2prec") ? 0.15f * static_cast<float>(name[6] - '0') : 0.5f;
  Normalize(loop, level);
  return WideClip(loop, RATE);
}

Clip Thunder(std::uint32_t seed) {
  const double seconds = 1.5 + (seed % 20) / 10.0;
  Signal rumble = LoopNoise(seed, 0.995, seconds, RATE);
  Mix(rumble, LoopNoise(seed + 1, 0.9, seconds, RATE), 0.1f);
  Decay(rumble, seconds / 3.0, RATE);
  return Finish(std::move(rumble), 0.8f);
}

Clip Chime(std::uint32_t seed) {
  const double root = 600.0 + seed % 400;
  Signal chime = Sine(root, 1.2, RATE);
  Mix(chime, Sine(root * 2.76, 1.2, RATE), 0.4f);
  Signal second = Sine(root * 1.26, 1.2, RATE);
  Decay(second, 0.3, RATE);
  Decay(chime, 0.4, RATE);
  chime.insert(chime.end(), second.begin(), second.end());
  return Finish(std::move(chime), 0.6f);
}

// Impacts, breaks, splashes, skids: a noise burst over a low thump.
Clip Impact(std::string_view name, std::uint32_t seed) {
  const bool bright = Contains(name, "splash") || Contains(name, "splas") ||
                      Contains(name, "skid") || Contains(name, "Sputter");
  const double seconds = 0.4 + (seed % 8) / 10.0;
  Signal burst = LoopNoise(seed, bright ? 0.2 : 0.8, seconds, RATE);
  Mix(burst, Sweep(120.0 + seed % 60, 40.0, seconds, RATE), bright ? 0.2f : 1.0f);
  Decay(burst, seconds / 4.0, RATE);
  return Finish(std::move(burst), 0.8f);
}

// Launches, start-ups and machinery: a sweep with some grit.
Clip Machine(std::string_view name, std::uint32_t seed) {
  const bool rising = Contains(name, "start") || Contains(name, "UP") || Contains(name, "repair");
  const double seconds = Contains(name, "start") ? 2.0 : 0.6;
  const double low = 150.0 + seed % 100;
  Signal sweep = rising ? Sweep(low, low * 4, seconds, RATE) : Sweep(low * 4, low, seconds, RATE);
  Mix(sweep, LoopNoise(seed, 0.5, seconds, RATE), 0.3f);
  return Finish(std::move(sweep), 0.6f);
}

Clip Beep(double frequency, double seconds) {
  return Finish(Sine(frequency, seconds, RATE), 0.5f);
}

// Two tones, high then low.
Clip TwoTone(double high, double low) {
  Signal tones = Sine(high, 0.25, RATE);
  const Signal second = Sine(low, 0.25, RATE);
  tones.insert(tones.end(), second.begin(), second.end());
  return Finish(std::move(tones), 0.5f);
}

}  // namespace

std::optional<std::string> SpokenText(const std::string& fileName) {
  for (const Phrase& phrase : PHRASES) {
    if (phrase.file == fileName) return std::string(phrase.text);
  }
  return std::nullopt;
}

bool IsLoop(const std::string& fileName) {
  for (const auto& [file, fundamental] : LOOPS) {
    if (file == fileName) return true;
  }
  return false;
}

Clip Synthesize(const std::string& fileName) {
  const std::string_view name = fileName;
  const std::uint32_t seed = Hash(name);
  for (const auto& [file, fundamental] : LOOPS) {
    if (file != name) continue;
    return fundamental > 0 ? EngineLoop(fundamental, seed) : NoiseLoop(name, seed);
  }
  if (Contains(name, "hztone")) return Beep(std::atof(fileName.c_str()), 1.0);
  if (StartsWith(name, "beep")) return Beep(500.0 + seed % 1500, 0.12);
  if (StartsWith(name, "c2thun")) return Thunder(seed);
  if (Contains(name, "CHIME") || Contains(name, "chime") || Contains(name, "cha-ching")) {
    return Chime(seed);
  }
  if (Contains(name, "hi low")) return TwoTone(1200.0, 800.0);
  if (SpokenText(fileName)) return TwoTone(700.0 + seed % 300, 500.0 + seed % 200);
  if (Contains(name, "fire") || Contains(name, "Launch") || Contains(name, "start") ||
      Contains(name, "GEAR") || Contains(name, "gear") || Contains(name, "DOCK") ||
      Contains(name, "RELEASE") || Contains(name, "repair") || Contains(name, "dihv")) {
    return Machine(name, seed);
  }
  return Impact(name, seed);
}
