// OpenAlSoundBuffer: a device buffer as one OpenAL source playing one OpenAL buffer.
// The samples are kept in our own memory (handed out by Lock) and copied to OpenAL on
// Unlock; writing samples stops the buffer and puts it back at position 0. Every value
// is checked here before it reaches OpenAL. Any thread; OpenAL calls under AlLock.
#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include <AL/al.h>

#include "audio/direct_sound.h"
#include "platform/audio/sound_device_core.h"

class OpenAlSoundBuffer final : public IDirectSoundBuffer {
 public:
  // description has been checked by CheckBufferDescription.
  OpenAlSoundBuffer(std::shared_ptr<SoundDeviceCore> core, const DSBUFFERDESC& description);
  // A copy of original's samples, format, controls and settings.
  OpenAlSoundBuffer(const OpenAlSoundBuffer& original);
  ~OpenAlSoundBuffer() override;
  // False when OpenAL had no source left for it.
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
  void CreateSource();
  bool Lost();
  ALenum SourceState() const;
  void Upload();
  void UploadOnce();
  void ApplyGain() const;
  void ApplyPitch() const;
  void ApplyPan() const;
  DWORD UploadedBytes() const;

  std::shared_ptr<SoundDeviceCore> core_;
  DWORD flags_;
  WAVEFORMATEX format_;
  std::vector<BYTE> samples_;
  ALuint buffer_ = 0;
  ALuint source_ = 0;
  std::atomic<unsigned> generation_;
  LONG volume_ = 0;
  DWORD frequency_ = 0;  // 0: the samples' own rate
  LONG pan_ = 0;
  bool uploaded_ = false;  // under AlLock: OpenAL holds the samples
};

// DS_OK, DSERR_INVALIDPARAM for a description that makes no sense, or DSERR_BADFORMAT
// for a format other than 8/16-bit mono/stereo PCM at 100..200000 Hz.
HRESULT CheckBufferDescription(const DSBUFFERDESC& description);

void StopBuffersOf(const SoundDeviceCore* core);
