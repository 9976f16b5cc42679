#include "tools/make_sound_pack/sound_roles.h"

#include <array>

namespace {

// Files the module plays at their own rate are written at this one.
constexpr int OWN_RATE = 22050;

// Rates the module sets on its frequency-controlled loops, at the point each spends most
// of its time: still air for wind and gear airflow (22150 + 22050 × airflow) and for rain
// (22050 + 11025 × the airspeed share), a ship neither closing nor receding for the
// passing-ship loop (8000 × Doppler factor + 100), and the console's idle level of 22050
// for the engines (level + 100). Faster flight then raises the pitch, as it should.
constexpr int STILL_AIR_WIND_RATE = 22150;
constexpr int STILL_AIR_RAIN_RATE = 22050;
constexpr int NO_DOPPLER_RATE = 8100;
constexpr int IDLE_ENGINE_RATE = 22150;

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

struct Loop {
  std::string_view file;
  SoundGroup group;
  int fundamental;  // whole hertz, so a one-second loop closes on itself; 0: noise
  int rate;
};

constexpr std::array<Loop, 18> LOOPS{{
    {"c2prec1.wav", SoundGroup::Rain, 0, STILL_AIR_RAIN_RATE},
    {"c2prec2.wav", SoundGroup::Rain, 0, STILL_AIR_RAIN_RATE},
    {"c2prec3.wav", SoundGroup::Rain, 0, STILL_AIR_RAIN_RATE},
    {"c2prec4.wav", SoundGroup::Rain, 0, STILL_AIR_RAIN_RATE},
    {"c5wind3.wav", SoundGroup::Airflow, 0, STILL_AIR_WIND_RATE},
    {"GEARAERO.wav", SoundGroup::Airflow, 0, STILL_AIR_WIND_RATE},
    {"waveloop.wav", SoundGroup::Airflow, 0, OWN_RATE},
    {"doppler.wav", SoundGroup::Drones, 220, NO_DOPPLER_RATE},
    {"mining.wav", SoundGroup::Drones, 70, OWN_RATE},
    {"rumble1.wav", SoundGroup::Drones, 31, OWN_RATE},
    {"320-idle.wav", SoundGroup::Drones, 60, OWN_RATE},
    {"321-idle.wav", SoundGroup::Drones, 50, OWN_RATE},
    {"322-idle.wav", SoundGroup::Drones, 75, OWN_RATE},
    {"CABIN FANS.wav", SoundGroup::Drones, 120, OWN_RATE},
    {"AlienFreighter.wav", SoundGroup::Drones, 45, IDLE_ENGINE_RATE},
    {"MuVERmoto.wav", SoundGroup::Drones, 90, IDLE_ENGINE_RATE},
    {"AlienEng1.wav", SoundGroup::Drones, 65, IDLE_ENGINE_RATE},
    {"fighter_on_space1.wav", SoundGroup::Drones, 110, IDLE_ENGINE_RATE},
}};

const Loop* FindLoop(std::string_view fileName) {
  for (const Loop& loop : LOOPS) {
    if (loop.file == fileName) return &loop;
  }
  return nullptr;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool ContainsAny(std::string_view text, std::initializer_list<std::string_view> parts) {
  for (const std::string_view part : parts) {
    if (text.find(part) != std::string_view::npos) return true;
  }
  return false;
}

}  // namespace

std::string_view GroupName(SoundGroup group) {
  switch (group) {
    case SoundGroup::Tones: return "tones";
    case SoundGroup::Beeps: return "beeps";
    case SoundGroup::Chimes: return "chimes";
    case SoundGroup::Voice: return "spoken phrases";
    case SoundGroup::Thunder: return "thunder claps";
    case SoundGroup::Rain: return "rain loops";
    case SoundGroup::Airflow: return "wind and wave loops";
    case SoundGroup::Drones: return "engine and cabin loops";
    case SoundGroup::Machines: return "machines and weapons";
    case SoundGroup::Impacts: return "impacts";
  }
  return "sounds";
}

SoundGroup GroupOf(std::string_view name) {
  if (const Loop* loop = FindLoop(name)) return loop->group;
  if (SpokenText(name)) return SoundGroup::Voice;
  if (ContainsAny(name, {"hztone", "hi low"})) return SoundGroup::Tones;
  if (StartsWith(name, "beep")) return SoundGroup::Beeps;
  if (StartsWith(name, "c2thun")) return SoundGroup::Thunder;
  if (ContainsAny(name, {"CHIME", "chime", "cha-ching"})) return SoundGroup::Chimes;
  if (ContainsAny(name, {"fire", "Launch", "start", "GEAR", "gear", "DOCK", "RELEASE", "repair",
                         "dihv"})) {
    return SoundGroup::Machines;
  }
  return SoundGroup::Impacts;
}

bool IsLoop(std::string_view fileName) { return FindLoop(fileName) != nullptr; }

int LoopFundamental(std::string_view fileName) {
  const Loop* loop = FindLoop(fileName);
  return loop != nullptr ? loop->fundamental : 0;
}

int FileRate(std::string_view fileName) {
  const Loop* loop = FindLoop(fileName);
  return loop != nullptr ? loop->rate : OWN_RATE;
}

std::optional<std::string> SpokenText(std::string_view fileName) {
  for (const Phrase& phrase : PHRASES) {
    if (phrase.file == fileName) return std::string(phrase.text);
  }
  return std::nullopt;
}
