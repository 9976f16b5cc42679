// The main dialog's procedure: opening, the controls' commands, the close path, the
// timer and the log refresh. Dialog thread only (front ends deliver every message there).
#pragma once

#include <chrono>
#include <cstdint>

#include "app/dialog_window.h"

// The dialog procedure: true for the messages it handles, false for all others.
std::intptr_t DialogProc(HWND window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

// The WM_INITDIALOG work: icons, the sound manager, the check boxes, the focus and the
// 250 ms timer. A sound device that cannot be opened ends the dialog with code 3.
void InitDialog(HWND window);

// Any thread but the dialog's (the link's worker threads): the close the user would
// make, run on the dialog thread while the caller waits. Nothing without a dialog.
void RequestDialogClose();

constexpr int DIALOG_TIMER_ID = 0;
constexpr unsigned DIALOG_TIMER_PERIOD_MS = 250;
constexpr std::chrono::milliseconds CLOSE_PAUSE{1000};

// How WM_DESTROY ends the process (EndProcess by default) and how the close path pauses
// (a sleep by default). Tests replace both; set them before the dialog runs.
using ProcessExit = void (*)(int code);
using ClosePause = void (*)(std::chrono::milliseconds duration);
void SetProcessExit(ProcessExit exitProcess);
void SetClosePause(ClosePause pause);
