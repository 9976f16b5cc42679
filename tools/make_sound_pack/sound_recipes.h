// What each file of the sound pack sounds like, chosen from its name: tones at the
// named frequency, beeps, chimes, noise for thunder, rain and wind, seamless engine and
// cabin loops, impacts, sweeps, and the phrases of the onboard voice. Pure; any thread.
#pragma once

#include <optional>
#include <string>

#include "tools/make_sound_pack/synth.h"

// The synthesised sound for the file name (a phrase is rendered as a short tone figure).
Clip Synthesize(const std::string& fileName);

// The words of a spoken file, or nothing for other sounds.
std::optional<std::string> SpokenText(const std::string& fileName);

// Whether the module plays the file as a loop (it must then loop without a click).
bool IsLoop(const std::string& fileName);
