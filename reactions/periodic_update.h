// The running part of every 250 ms tick once the module is ready: keeps the test tone
// button and the delayed sounds in step. Dialog thread only.
#pragma once

#include "app/dialog_window.h"

void PeriodicUpdate(HWND window);
