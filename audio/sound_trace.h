// The sound trace: one JSON line per operation on a Sound, flushed per line.
// OpenSoundTrace: main thread, before the dialog. The Trace* calls: any thread; they
// do nothing while no trace is open.
#pragma once

#include <string>
#include <string_view>

#include "audio/direct_sound.h"

// False, and nothing traced, when the file cannot be created.
bool OpenSoundTrace(const std::string& path);
void CloseSoundTrace();

// fileName may carry its folder ("Sounds\\beep31.wav"); the trace keeps the last part.
void TraceCreate(std::string_view fileName, DWORD flags, HRESULT status);
void TracePlay(std::string_view fileName, DWORD priority, DWORD flags, LONG volume,
               LONG frequency, LONG pan, HRESULT status);
void TraceStop(std::string_view fileName, HRESULT status);
void TraceRewind(std::string_view fileName, HRESULT status);
void TraceDelete(std::string_view fileName);
