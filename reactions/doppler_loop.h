// The Doppler loop: the sound of the nearest ship, louder as it nears and higher as it
// closes in, smoothed from tick to tick. Dialog thread (the periodic update).
#pragma once

#include "reactions/nearest_ship.h"

struct DopplerTarget {
  float volume;     // hundredths of a decibel
  float frequency;  // Hz
};

// Audible within 6 km, silent (-10000) beyond or without a ship; 8100 Hz at a steady
// distance.
DopplerTarget DopplerTargetFor(const NearestShip& ship);

// Moves the loop three quarters of the way from its last values toward the target and
// plays it with the result, on every running tick whatever the switches say.
void PlayDopplerLoop(const DopplerTarget& target);
