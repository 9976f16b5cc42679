// The sounds of the own ship's flight through the air: the wind and landing-gear
// airflow loops and the phrase at the speed of sound. Link worker threads (the own
// slot's player state packets).
#pragma once

#include <cstdint>

#include "app/vector3.h"

struct Airflow {
  Vector3 airVelocity;  // km/s, against the air turning with the planet
  float altitude = 0.0f;  // km
};

// Plays both loops from the airflow while ref is -1 (free flight) below 100 km, else
// stops them; the phrase marks each crossing of the local speed of sound.
void PlayFlightSounds(std::int8_t ref, const Airflow& airflow);
