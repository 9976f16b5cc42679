// Sound: one loaded WAVE file on one or more device buffers that hold the same samples.
// Play, Stop, Rewind and IsPlaying are called from the dialog thread and the link's
// worker threads; the buffers accept that. The one lock guards the refill, so two
// threads restoring the same lost buffer do not read the file at the same time.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audio/direct_sound.h"
#include "audio/wave_file.h"

class Sound {
 public:
  using Buffers = std::vector<std::unique_ptr<IDirectSoundBuffer>>;

  // Takes over the buffers and the reader, and fills the first buffer (result ignored;
  // further buffers share its memory). fileName is the name it was created from.
  Sound(Buffers buffers, DWORD bufferSize, std::unique_ptr<WaveFile> waveFile,
        DWORD creationFlags, std::string fileName);
  virtual ~Sound();
  Sound(const Sound&) = delete;
  Sound& operator=(const Sound&) = delete;

  // Restores and refills a lost buffer first. DSERR_BUFFERLOST when the device stays
  // lost through the bounded retries.
  HRESULT Play(DWORD priority, DWORD playFlags, LONG volume, LONG frequency, LONG pan);
  HRESULT Stop();
  HRESULT Rewind();
  bool IsPlaying();

  // Dialog thread: a sound last played looping (and not stopped since) whose buffers
  // the device lost is restored, refilled and looped again, with the settings its
  // buffer kept. One Restore attempt and no pause: DSERR_BUFFERLOST while the device
  // is still away, S_FALSE when there is nothing to resume. One-shots are never replayed.
  HRESULT ResumeLostLoop();

  // Restore passes (each two Restore calls and a 10 ms pause) before Play gives up: a
  // device that is away costs a play at most 10 ms, since the dialog thread plays too.
  static constexpr int RESTORE_PASS_LIMIT = 1;

  HRESULT FillBuffer(IDirectSoundBuffer* buffer);
  HRESULT RestoreBuffer(IDirectSoundBuffer* buffer, bool* restored);
  IDirectSoundBuffer* PickFreeBuffer();

 private:
  HRESULT PlayUntraced(DWORD priority, DWORD playFlags, LONG volume, LONG frequency, LONG pan);
  // Runs operation on every present buffer; the bitwise OR of their statuses.
  HRESULT ForEachBuffer(const std::function<HRESULT(IDirectSoundBuffer&)>& operation);

  Buffers buffers_;
  DWORD bufferSize_;
  std::unique_ptr<WaveFile> waveFile_;
  DWORD creationFlags_;
  std::string fileName_;
  std::mutex fillMutex_;
  std::atomic<bool> looping_{false};  // last played looping, not stopped since
};
