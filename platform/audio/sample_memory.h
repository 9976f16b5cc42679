// SampleMemory: one OpenAL buffer and the memory its samples are written in. Where this
// OpenAL can map a buffer for good, that memory is OpenAL's own storage and the mixer
// plays what is written there, so the samples exist once. Otherwise (no buffer mapping,
// or a size that is not whole frames) it is our memory, copied to OpenAL by Attach.
// Under AlLock with the buffer's context current, apart from Bytes.
#pragma once

#include <memory>
#include <span>

#include <AL/al.h>

#include "audio/direct_sound.h"

class SampleMemory {
 public:
  // bytes bytes of format's samples, all silence; null when OpenAL has no buffer left.
  static std::unique_ptr<SampleMemory> Create(const WAVEFORMATEX& format, DWORD bytes);
  ~SampleMemory();
  SampleMemory(const SampleMemory&) = delete;
  SampleMemory& operator=(const SampleMemory&) = delete;

  // Any thread: the memory stays where it is for the buffer's life.
  std::span<BYTE> Bytes() const { return bytes_; }
  // The whole frames of the memory: what the mixer plays.
  DWORD PlayedBytes() const;
  void FillSilence();
  // Gives the source the samples as they are now written; the source must be stopped.
  void Attach(ALuint source);

 private:
  SampleMemory(const WAVEFORMATEX& format, ALuint buffer) : format_(format), buffer_(buffer) {}
  bool Map(DWORD bytes);
  bool Mapped() const { return copy_ == nullptr; }

  const WAVEFORMATEX format_;
  const ALuint buffer_;
  std::span<BYTE> bytes_;
  std::unique_ptr<BYTE[]> copy_;  // null while OpenAL's storage is mapped
};
