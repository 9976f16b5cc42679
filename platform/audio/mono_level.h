// How loud this OpenAL's mixer plays a mono source straight ahead in each stereo channel.
// Its panning spreads a mono source over both channels below the level it was recorded
// at, where the sounds' owners expect it at that level in each channel, as stereo files
// already are. Under AlLock with the device's context current.
#pragma once

#include <AL/al.h>
#include <AL/alc.h>

using RenderSamples = void (*)(ALCdevice*, ALCvoid*, ALCsizei);

// The per-channel level (1: as recorded) of a centred mono source, measured by mixing a
// short probe on the device before anything else plays; 1 when it cannot be measured.
float CentredMonoLevel(ALCdevice* device, RenderSamples render);

// Sets a source up to be heard as recorded: no distance, and room for the gain that
// makes up for the panning of a mono source.
void HearAsRecorded(ALuint source, float monoGain);
