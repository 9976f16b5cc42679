// The debug lines of the "&Whodat?" button: the nearest ship and the Doppler loop's
// new and old values. Dialog thread (the periodic update).
#pragma once

#include "app/dialog_window.h"
#include "reactions/doppler_loop.h"
#include "reactions/nearest_ship.h"

// Logs the lines and clears whodatRequested.
void LogWhodatLines(HWND window, const NearestShip& ship, const DopplerTarget& target);
