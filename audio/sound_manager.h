// SoundManager: owns the sound device and creates every Sound from a WAVE file.
// Init: dialog thread. CreateSound: dialog thread (the bank) and link worker threads
// (ship sounds); the device accepts concurrent calls.
#pragma once

#include <memory>

#include "app/dialog_window.h"
#include "audio/direct_sound.h"

class Sound;

class SoundManager {
 public:
  SoundManager();
  ~SoundManager();
  SoundManager(const SoundManager&) = delete;
  SoundManager& operator=(const SoundManager&) = delete;

  HRESULT Init(HWND window, DWORD cooperativeLevel);
  // On success *sound is a new Sound the caller owns; on failure *sound is untouched.
  // S_OK or DS_NO_VIRTUALIZATION on success; CO_E_NOTINITIALIZED before Init;
  // E_INVALIDARG for missing arguments or no buffers; E_FAIL for a missing, unreadable
  // or empty file; a device status when the device refuses the format.
  HRESULT CreateSound(Sound** sound, const char* fileName, DWORD creationFlags,
                      GUID algorithm3D, DWORD bufferCount);

 private:
  std::unique_ptr<IDirectSound8> device_;
};
