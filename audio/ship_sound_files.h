// The twelve ship sound files, by ship sound and by ship model (ambience, engine,
// start-up), as named under the Sounds folder. Constant data; any thread.
#pragma once

#include <array>

struct ShipSoundFiles {
  const char* cockpitAmbience;
  const char* engineLoop;
  const char* cockpitStartup;
};

// Ship types 1 and 6 share the first model; types 3, 4 and 5 use the others in order.
inline constexpr std::array<ShipSoundFiles, 4> SHIP_SOUND_FILES{{
    {"321-idle.wav", "MuVERmoto.wav", "vehicle_start.wav"},
    {"320-idle.wav", "AlienFreighter.wav", "startup40.wav"},
    {"322-idle.wav", "AlienEng1.wav", "prowler_start.wav"},
    {"CABIN FANS.wav", "fighter_on_space1.wav", "cruiser_start.wav"},
}};
