#include "audio/sound_manager.h"

#include <new>
#include <string>
#include <utility>

#include "audio/sound.h"
#include "audio/sound_trace.h"
#include "audio/wave_file.h"

SoundManager::SoundManager() = default;
SoundManager::~SoundManager() = default;

HRESULT SoundManager::Init(HWND window, DWORD cooperativeLevel) {
  device_.reset();
  if (const HRESULT status = DirectSoundCreate8(nullptr, &device_, nullptr); Failed(status)) {
    return status;
  }
  if (const HRESULT status = device_->SetCooperativeLevel(window, cooperativeLevel);
      Failed(status)) {
    return status;
  }
  return S_OK;
}

namespace {

// More buffers than any sound could play at once is a caller's mistake.
constexpr DWORD MAX_BUFFER_COUNT = 256;

// Buffers for one sound: the first created from the description, the others sharing
// its memory unless effects need a buffer of their own.
HRESULT CreateBuffers(IDirectSound8& device, const DSBUFFERDESC& description, DWORD count,
                      Sound::Buffers* buffers) {
  buffers->resize(count);
  HRESULT result = device.CreateSoundBuffer(&description, &(*buffers)[0], nullptr);
  if (Failed(result)) return result;
  for (DWORD i = 1; i < count; ++i) {
    const HRESULT status =
        (description.dwFlags & DSBCAPS_CTRLFX) != 0
            ? device.CreateSoundBuffer(&description, &(*buffers)[i], nullptr)
            : device.DuplicateSoundBuffer((*buffers)[0].get(), &(*buffers)[i]);
    if (Failed(status)) return status;
  }
  return result;
}

}  // namespace

HRESULT SoundManager::CreateSound(Sound** sound, const char* fileName, DWORD creationFlags,
                                  GUID algorithm3D, DWORD bufferCount) {
  if (!device_) return CO_E_NOTINITIALIZED;
  if (fileName == nullptr || sound == nullptr || bufferCount == 0 ||
      bufferCount > MAX_BUFFER_COUNT) {
    return E_INVALIDARG;
  }

  auto waveFile = std::make_unique<WaveFile>();
  waveFile->Open(fileName, WaveFile::READ);
  HRESULT status = E_FAIL;
  Sound::Buffers buffers;
  if (waveFile->DataSize() != 0) {
    DSBUFFERDESC description;
    description.dwFlags = creationFlags;
    description.dwBufferBytes = waveFile->DataSize();
    description.lpwfxFormat = waveFile->Format();
    description.guid3DAlgorithm = algorithm3D;
    status = CreateBuffers(*device_, description, bufferCount, &buffers);
  }
  if (Succeeded(status)) {
    const DWORD size = waveFile->DataSize();
    *sound = new (std::nothrow)
        Sound(std::move(buffers), size, std::move(waveFile), creationFlags, fileName);
    if (*sound == nullptr) status = E_OUTOFMEMORY;
  }
  TraceCreate(fileName, creationFlags, status);
  return status;
}
