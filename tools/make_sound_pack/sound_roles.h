// What each file of the sound pack is, from its name alone: the group it belongs to,
// whether the module loops it, the sample rate it is written at and, for the onboard
// voice, its words. Constant data and pure look-ups; any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

enum class SoundGroup {
  Tones,     // test and signal tones
  Beeps,     // roster and chat beeps
  Chimes,    // dock and cargo chimes
  Voice,     // onboard computer and ground control phrases
  Thunder,   // thunder claps at five distances
  Rain,      // the four rain loops, light to heavy
  Airflow,   // wind, gear airflow and waves: noise loops
  Drones,    // engines, cabin ambience, mining, rumble and the passing ship: tonal loops
  Machines,  // weapons fire, launches, gear, docking clamps and start-ups
  Impacts,   // hits, crashes, breaks, splashes and skids
};

// Every group, in the order the pack writes them.
inline constexpr SoundGroup SOUND_GROUPS[] = {
    SoundGroup::Tones,   SoundGroup::Beeps,   SoundGroup::Chimes, SoundGroup::Voice,
    SoundGroup::Thunder, SoundGroup::Rain,    SoundGroup::Airflow, SoundGroup::Drones,
    SoundGroup::Machines, SoundGroup::Impacts,
};

// A plural noun for progress lines ("thunder claps").
std::string_view GroupName(SoundGroup group);

SoundGroup GroupOf(std::string_view fileName);

// Whether the module plays the file as a loop (it must then loop without a click).
bool IsLoop(std::string_view fileName);

// The lowest partial of a tonal loop, in whole hertz; 0 for the noise loops.
int LoopFundamental(std::string_view fileName);

// The rate the file is written at: for loops whose playback rate the module sets, the
// rate it sets most of the time, so the sound is at its natural pitch there.
int FileRate(std::string_view fileName);

// The words of a spoken file, or nothing for other sounds.
std::optional<std::string> SpokenText(std::string_view fileName);
