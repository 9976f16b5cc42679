// What each file of the sound pack sounds like, chosen from its role: tones at the named
// frequency, beeps, chimes, thunder with its rolls, rain with its drops, wind, seamless
// engine and cabin loops, impacts and machine sweeps. Pure; any thread.
#pragma once

#include <string>

#include "tools/make_sound_pack/synth.h"

// The synthesised sound for the file name, at the file's rate. A spoken phrase comes
// out as a short two-tone figure standing in for the voice.
Clip Synthesize(const std::string& fileName);
