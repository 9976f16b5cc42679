// The sound device of this port: device buffers mixed by OpenAL Soft's loopback
// device, whose mix is pulled by one output (the audio device, a WAV file, or nothing).
// UseOpenAlSoundDevice: main thread, before the dialog. SetDialogActive: any thread.
#pragma once

#include <string>

struct AudioOutput {
  enum class Kind { Device, WavFile, Null };
  Kind kind = Kind::Device;
  std::string path;  // the WAV file for Kind::WavFile
};

// Installs the factory behind DirectSoundCreate8: every device it creates mixes into
// this output. Opening the output fails creation (no silent fallback).
void UseOpenAlSoundDevice(const AudioOutput& output);

// Whether the dialog is the active window (default true). Buffers created without
// DSBCAPS_GLOBALFOCUS are silent while it is not.
void SetDialogActive(bool active);
