#include "audio/sound.h"

#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

#include "app/random.h"
#include "audio/sound_trace.h"

Sound::Sound(Buffers buffers, DWORD bufferSize, std::unique_ptr<WaveFile> waveFile,
             DWORD creationFlags, std::string fileName)
    : buffers_(std::move(buffers)),
      bufferSize_(bufferSize),
      waveFile_(std::move(waveFile)),
      creationFlags_(creationFlags),
      fileName_(std::move(fileName)) {
  if (!buffers_.empty()) FillBuffer(buffers_[0].get());
}

Sound::~Sound() { TraceDelete(fileName_); }

HRESULT Sound::Play(DWORD priority, DWORD playFlags, LONG volume, LONG frequency, LONG pan) {
  const HRESULT status = PlayUntraced(priority, playFlags, volume, frequency, pan);
  TracePlay(fileName_, priority, playFlags, volume, frequency, pan, status);
  return status;
}

HRESULT Sound::PlayUntraced(DWORD priority, DWORD playFlags, LONG volume, LONG frequency,
                            LONG pan) {
  if (buffers_.empty()) return CO_E_NOTINITIALIZED;
  IDirectSoundBuffer* buffer = PickFreeBuffer();
  if (buffer == nullptr) return E_FAIL;
  bool restored = false;
  if (const HRESULT status = RestoreBuffer(buffer, &restored); Failed(status)) return status;
  if (restored) {
    if (const HRESULT status = FillBuffer(buffer); Failed(status)) return status;
  }
  // Statuses of the controls are ignored: a refused value leaves the previous one.
  if ((creationFlags_ & DSBCAPS_CTRLVOLUME) != 0) buffer->SetVolume(volume);
  if (frequency != -1 && (creationFlags_ & DSBCAPS_CTRLFREQUENCY) != 0) {
    buffer->SetFrequency(static_cast<DWORD>(frequency));
  }
  if ((creationFlags_ & DSBCAPS_CTRLPAN) != 0) buffer->SetPan(pan);
  const HRESULT status = buffer->Play(0, priority, playFlags);
  if (Succeeded(status)) looping_ = (playFlags & DSBPLAY_LOOPING) != 0;
  return status;
}

HRESULT Sound::ResumeLostLoop() {
  if (!looping_) return S_FALSE;
  IDirectSoundBuffer* lost = nullptr;
  for (const auto& buffer : buffers_) {
    DWORD status = 0;
    if (buffer && Succeeded(buffer->GetStatus(&status)) && (status & DSBSTATUS_BUFFERLOST) != 0) {
      if (buffer->Restore() == DSERR_BUFFERLOST) return DSERR_BUFFERLOST;
      if (const HRESULT filled = FillBuffer(buffer.get()); Failed(filled)) return filled;
      if (lost == nullptr) lost = buffer.get();
    }
  }
  if (lost == nullptr) return S_FALSE;
  return lost->Play(0, 0, DSBPLAY_LOOPING);
}

HRESULT Sound::Stop() {
  looping_ = false;
  const HRESULT status = ForEachBuffer([](IDirectSoundBuffer& buffer) { return buffer.Stop(); });
  TraceStop(fileName_, status);
  return status;
}

HRESULT Sound::Rewind() {
  const HRESULT status =
      ForEachBuffer([](IDirectSoundBuffer& buffer) { return buffer.SetCurrentPosition(0); });
  TraceRewind(fileName_, status);
  return status;
}

HRESULT Sound::ForEachBuffer(const std::function<HRESULT(IDirectSoundBuffer&)>& operation) {
  if (buffers_.empty()) return CO_E_NOTINITIALIZED;
  HRESULT status = S_OK;
  for (const auto& buffer : buffers_) {
    if (buffer) status |= operation(*buffer);
  }
  return status;
}

bool Sound::IsPlaying() {
  for (const auto& buffer : buffers_) {
    DWORD status = 0;
    if (buffer) buffer->GetStatus(&status);
    if ((status & DSBSTATUS_PLAYING) != 0) return true;
  }
  return false;
}

IDirectSoundBuffer* Sound::PickFreeBuffer() {
  if (buffers_.empty()) return nullptr;
  for (const auto& buffer : buffers_) {
    if (!buffer) continue;
    DWORD status = 0;
    buffer->GetStatus(&status);
    if ((status & DSBSTATUS_PLAYING) == 0) return buffer.get();
  }
  // All busy: the module's one generator picks, so the draw sequence stays the same.
  const auto draw = static_cast<std::size_t>(sm::rand());
  return buffers_[draw % buffers_.size()].get();
}

HRESULT Sound::RestoreBuffer(IDirectSoundBuffer* buffer, bool* restored) {
  if (buffer == nullptr) return CO_E_NOTINITIALIZED;
  if (restored != nullptr) *restored = false;
  DWORD status = 0;
  if (const HRESULT result = buffer->GetStatus(&status); Failed(result)) return result;
  if ((status & DSBSTATUS_BUFFERLOST) == 0) return S_FALSE;

  // A device that stays away must not hold the calling thread forever.
  for (int pass = 0; pass < RESTORE_PASS_LIMIT; ++pass) {
    if (buffer->Restore() == DSERR_BUFFERLOST) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (buffer->Restore() != DSERR_BUFFERLOST) {
      if (restored != nullptr) *restored = true;
      return S_OK;
    }
  }
  return DSERR_BUFFERLOST;
}

HRESULT Sound::FillBuffer(IDirectSoundBuffer* buffer) {
  if (buffer == nullptr || !waveFile_) return CO_E_NOTINITIALIZED;
  if (const HRESULT status = RestoreBuffer(buffer, nullptr); Failed(status)) return status;
  std::scoped_lock lock(fillMutex_);
  void* area = nullptr;
  DWORD areaSize = 0;
  if (const HRESULT status = buffer->Lock(0, bufferSize_, &area, &areaSize, nullptr, nullptr, 0);
      Failed(status)) {
    return status;
  }
  auto* bytes = static_cast<BYTE*>(area);
  waveFile_->Rewind();
  DWORD bytesRead = 0;
  if (const HRESULT status = waveFile_->Read(bytes, areaSize, &bytesRead); Failed(status)) {
    buffer->Unlock(area, 0, nullptr, 0);  // never leave the buffer locked
    return status;
  }
  const WAVEFORMATEX* format = waveFile_->Format();
  const int silence = format != nullptr && format->wBitsPerSample == 8 ? 0x80 : 0x00;
  std::memset(bytes + bytesRead, silence, areaSize - bytesRead);
  return buffer->Unlock(area, areaSize, nullptr, 0);
}
