// How much quieter a sound from outside the ship is heard in its cabin. Any thread.
#pragma once

#include "app/session_state.h"

// Hundredths of a decibel to take off an outside sound: 5000 x cabinDamping.
inline float CabinLoss() { return 5000.0f * session.cabinDamping; }
