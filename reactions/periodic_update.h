// The running part of every 250 ms tick once the module is ready: the test tone
// button, the delayed sounds, the gear fade, the Doppler loop of the nearest ship, the
// "&Whodat?" lines and the rain loops. Dialog thread only.
#pragma once

#include "app/dialog_window.h"

void PeriodicUpdate(HWND window);
