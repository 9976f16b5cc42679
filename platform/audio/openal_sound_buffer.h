// OpenAlSoundBuffer: a device buffer as one OpenAL source playing one OpenAL buffer,
// whose sample memory (SampleMemory) Lock hands out. Unlock stops the buffer and puts it
// back at position 0 with the samples as written. Every value is checked here before it
// reaches OpenAL. Any thread; OpenAL calls under AlLock.
#pragma once

#include <atomic>
#include <memory>

#include <AL/al.h>

#include "audio/direct_sound.h"
#include "platform/audio/sample_memory.h"
#include "platform/audio/sound_device_core.h"

class OpenAlSoundBuffer final : public IDirectSoundBuffer {
 public:
  // description has been checked by CheckBufferDescription.
  OpenAlSoundBuffer(std::shared_ptr<SoundDeviceCore> core, const DSBUFFERDESC& description);
  // A copy of original's samples, format, controls and settings.
  OpenAlSoundBuffer(const OpenAlSoundBuffer& original);
  ~OpenAlSoundBuffer() override;
  // False when OpenAL had no source or buffer left for it.
  bool Valid() const { return source_ != 0; }
  OpenAlSoundBuffer& operator=(const OpenAlSoundBuffer&) = delete;

  HRESULT GetStatus(DWORD* status) override;
  HRESULT GetCurrentPosition(DWORD* play, DWORD* write) override;
  HRESULT Lock(DWORD offset, DWORD bytes, void** area1, DWORD* bytes1, void** area2,
               DWORD* bytes2, DWORD flags) override;
  HRESULT Unlock(void* area1, DWORD bytes1, void* area2, DWORD bytes2) override;
  HRESULT Restore() override;
  HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
  HRESULT Stop() override;
  HRESULT SetCurrentPosition(DWORD position) override;
  HRESULT SetVolume(LONG volume) override;
  HRESULT SetFrequency(DWORD frequency) override;
  HRESULT SetPan(LONG pan) override;

  // Applies the dialog's activation to every buffer without DSBCAPS_GLOBALFOCUS.
  static void ApplyDialogActive(bool active);
  // Stops every buffer of a device whose output went away (called by the core).
  friend void StopBuffersOf(const SoundDeviceCore* core);

 private:
  void CreateSource(DWORD bytes);
  bool Lost();
  ALenum SourceState() const;
  void Upload();
  void UploadOnce();
  void ApplyGain() const;
  void ApplyPitch() const;
  void ApplyPan() const;

  std::shared_ptr<SoundDeviceCore> core_;
  DWORD flags_;
  WAVEFORMATEX format_;
  std::unique_ptr<SampleMemory> memory_;
  ALuint source_ = 0;
  std::atomic<unsigned> generation_;
  LONG volume_ = 0;
  DWORD frequency_ = 0;  // 0: the samples' own rate
  LONG pan_ = 0;
  bool uploaded_ = false;  // under AlLock: the source holds the samples
};

// DS_OK, DSERR_INVALIDPARAM for a description that makes no sense, or DSERR_BADFORMAT
// for a format other than 8/16-bit mono/stereo PCM at 100..200000 Hz.
HRESULT CheckBufferDescription(const DSBUFFERDESC& description);

void StopBuffersOf(const SoundDeviceCore* core);
