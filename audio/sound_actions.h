// The module's few ways of using a sound. Each does nothing for a missing sound (a
// handle not loaded or not created yet). Any thread.
#pragma once

#include <span>

#include "audio/direct_sound.h"
#include "audio/shared_sound.h"

class Sound;

// Priority 0, no flags, volume 0, frequency unchanged, pan 0.
void PlayOnce(Sound* sound);
// Priority 0, the looping flag, pan 0; a frequency of -1 leaves it unchanged.
void PlayLooping(Sound* sound, LONG volume, LONG frequency);
// From its start, even if it was heard a moment ago.
void RewindAndPlayOnce(Sound* sound);
void StopSound(Sound* sound);
void StopSounds(std::span<Sound* const> sounds);

// The same for a sound another thread may replace; the sound stays alive for the call.
void PlayOnce(const SharedSound& sound);
void PlayLooping(const SharedSound& sound, LONG volume, LONG frequency);
void StopSound(const SharedSound& sound);
