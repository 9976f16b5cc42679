#include "reactions/atmosphere.h"

#include "app/session_state.h"

float Altitude(Vector3 position) {
  const float altitude = Length(position) - PLANET_RADIUS;
  return altitude < 0.0f ? 0.0f : altitude;
}

float AirDensity(float altitude) { return Expf(-altitude / 8.0f); }

float AirTemperature(float h) {
  if (h < 12.0f) return 20.0f - 76.0f * h / 12.0f;
  if (h < 48.0f) return 56.0f * ((h - 12.0f) * (h - 12.0f)) / 1296.0f - 56.0f;
  if (h < 52.0f) return 0.0f;
  if (h < 80.0f) return -90.0f * (h - 52.0f) / 28.0f;
  // The square of the whole height: the layer starts some 23 degrees colder than the
  // one below it ends.
  if (h < 190.0f) return -90.0f - 0.003628809f * (h * h);
  return -221.0f;
}

float LocalSpeedOfSound(float altitude) {
  return SPEED_OF_SOUND * Sqrtf(1.0f + AirTemperature(altitude) / 273.0f);
}
