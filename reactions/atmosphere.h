// The planet's air as the flight, weapon and weather sounds hear it: height above the
// ground, density, temperature and the local speed of sound. Pure; any thread.
#pragma once

#include "app/vector3.h"

// Length(position) - PLANET_RADIUS in km; never below 0 (NaN stays NaN).
float Altitude(Vector3 position);
// exp(-altitude / 8): 1 at the ground, thinning with a scale height of 8 km.
float AirDensity(float altitude);
// Degrees Celsius at the altitude (km), the standard layers of this planet's air.
float AirTemperature(float altitude);
// km/s at the altitude: SPEED_OF_SOUND scaled by the square root of the absolute
// temperature over 273 K.
float LocalSpeedOfSound(float altitude);
