// The DirectSound-like device interface the module plays through, with the original
// constants and status values. The platform layer installs a factory that
// DirectSoundCreate8 calls; with none installed, creation fails.
// Device and buffer objects accept calls from any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "app/dialog_window.h"
#include "app/platform_types.h"

using LONG = std::int32_t;
using WORD = std::uint16_t;

constexpr HRESULT DS_OK = 0;
constexpr HRESULT DS_NO_VIRTUALIZATION = 0x0878000A;
constexpr HRESULT DSERR_INVALIDPARAM = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DSERR_BADFORMAT = static_cast<HRESULT>(0x88780064u);
constexpr HRESULT DSERR_BUFFERLOST = static_cast<HRESULT>(0x88780096u);
constexpr HRESULT DSERR_CONTROLUNAVAIL = static_cast<HRESULT>(0x8878001Eu);
constexpr HRESULT DSERR_NODRIVER = static_cast<HRESULT>(0x88780078u);
constexpr HRESULT DSERR_OUTOFMEMORY = E_OUTOFMEMORY;

constexpr DWORD DSSCL_NORMAL = 1;

constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x20;
constexpr DWORD DSBCAPS_CTRLPAN = 0x40;
constexpr DWORD DSBCAPS_CTRLVOLUME = 0x80;
constexpr DWORD DSBCAPS_CTRLFX = 0x200;
constexpr DWORD DSBCAPS_GLOBALFOCUS = 0x8000;

constexpr DWORD DSBSTATUS_PLAYING = 0x1;
constexpr DWORD DSBSTATUS_BUFFERLOST = 0x2;
constexpr DWORD DSBSTATUS_LOOPING = 0x4;

constexpr DWORD DSBPLAY_LOOPING = 0x1;
constexpr DWORD DSBLOCK_ENTIREBUFFER = 0x2;

constexpr LONG DSBVOLUME_MIN = -10000;
constexpr LONG DSBVOLUME_MAX = 0;
constexpr LONG DSBPAN_LEFT = -10000;
constexpr LONG DSBPAN_RIGHT = 10000;
constexpr DWORD DSBFREQUENCY_ORIGINAL = 0;
constexpr DWORD DSBFREQUENCY_MIN = 100;
constexpr DWORD DSBFREQUENCY_MAX = 200000;
constexpr DWORD DSBSIZE_MIN = 4;
constexpr DWORD DSBSIZE_MAX = 0x0FFFFFFF;

constexpr WORD WAVE_FORMAT_PCM = 1;

// The format block header; cbSize extra bytes follow it directly (18 bytes, packed).
#pragma pack(push, 1)
struct WAVEFORMATEX {
  WORD wFormatTag;
  WORD nChannels;
  DWORD nSamplesPerSec;
  DWORD nAvgBytesPerSec;
  WORD nBlockAlign;
  WORD wBitsPerSample;
  WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);

struct DSBUFFERDESC {
  DWORD dwSize = 36;
  DWORD dwFlags = 0;
  DWORD dwBufferBytes = 0;
  DWORD dwReserved = 0;
  const WAVEFORMATEX* lpwfxFormat = nullptr;
  GUID guid3DAlgorithm = GUID_NULL;
};

// One secondary buffer: its own copy of the samples plus play state. Destroying the
// object releases it.
class IDirectSoundBuffer {
 public:
  virtual ~IDirectSoundBuffer() = default;
  virtual HRESULT GetStatus(DWORD* status) = 0;
  // Play and write positions in bytes (the write position equals the play position).
  virtual HRESULT GetCurrentPosition(DWORD* play, DWORD* write) = 0;
  // Hands out the bytes [offset, offset + bytes), wrapping to the start as a second area.
  virtual HRESULT Lock(DWORD offset, DWORD bytes, void** area1, DWORD* bytes1, void** area2,
                       DWORD* bytes2, DWORD flags) = 0;
  // Ends a Lock; the written samples are what the buffer plays from then on.
  virtual HRESULT Unlock(void* area1, DWORD bytes1, void* area2, DWORD bytes2) = 0;
  // Brings back a lost buffer's memory (not its contents) once an output is open again.
  virtual HRESULT Restore() = 0;
  // Starts, or, when already playing, continues from the current position with the new
  // looping flag.
  virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
  // Pauses: the position is kept.
  virtual HRESULT Stop() = 0;
  virtual HRESULT SetCurrentPosition(DWORD position) = 0;
  virtual HRESULT SetVolume(LONG volume) = 0;
  virtual HRESULT SetFrequency(DWORD frequency) = 0;
  virtual HRESULT SetPan(LONG pan) = 0;
};

class IDirectSound8 {
 public:
  virtual ~IDirectSound8() = default;
  virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;
  virtual HRESULT CreateSoundBuffer(const DSBUFFERDESC* description,
                                    std::unique_ptr<IDirectSoundBuffer>* buffer, void* outer) = 0;
  // A second buffer playing the original's samples with its own position.
  virtual HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original,
                                       std::unique_ptr<IDirectSoundBuffer>* duplicate) = 0;
};

using DirectSoundFactory = std::function<HRESULT(std::unique_ptr<IDirectSound8>* device)>;

// Main thread, before any device is created; an empty factory uninstalls.
void SetDirectSoundFactory(DirectSoundFactory factory);

// Creates the default device through the installed factory (deviceId and outer must be
// null). Without a factory: DSERR_NODRIVER and *device untouched.
HRESULT DirectSoundCreate8(const GUID* deviceId, std::unique_ptr<IDirectSound8>* device,
                           void* outer);
