// The 250 ms tick: one start-up step per tick until the module is running, then the
// periodic update and the return of loops a lost device stopped on every tick. Dialog
// thread only; the connect completion (a link worker thread) moves the stage from
// STAGE_CONNECTING to STAGE_CONNECTED.
#pragma once

#include <cstdint>

#include "app/dialog_window.h"

constexpr std::int16_t STAGE_CONNECTING = 3;
constexpr std::int16_t STAGE_CONNECTED = 4;
constexpr std::int16_t STAGE_RUNNING = 7;

// The planet's rotation rate is the little-endian float at this offset of universe.dat.
constexpr long UNIVERSE_RECORD = 1;
constexpr long UNIVERSE_ROTATION_OFFSET = 17 + UNIVERSE_RECORD * 1000;

void TimerTick(HWND window);
