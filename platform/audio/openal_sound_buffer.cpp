#include "platform/audio/openal_sound_buffer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <set>
#include <span>

#include "platform/audio/al_lock.h"
#include "platform/audio/mono_level.h"

namespace {

// Every live buffer, for the dialog's activation and for output losses; under AlLock.
std::set<OpenAlSoundBuffer*>& Registry() {
  static std::set<OpenAlSoundBuffer*> buffers;
  return buffers;
}

std::atomic<bool> dialogActive{true};

}  // namespace

HRESULT CheckBufferDescription(const DSBUFFERDESC& description) {
  const WAVEFORMATEX* format = description.lpwfxFormat;
  if (description.dwSize != 36 || format == nullptr || description.dwBufferBytes < DSBSIZE_MIN ||
      description.dwBufferBytes > DSBSIZE_MAX) {
    return DSERR_INVALIDPARAM;
  }
  const bool pcm = format->wFormatTag == WAVE_FORMAT_PCM &&
                   (format->nChannels == 1 || format->nChannels == 2) &&
                   (format->wBitsPerSample == 8 || format->wBitsPerSample == 16) &&
                   format->nSamplesPerSec >= DSBFREQUENCY_MIN &&
                   format->nSamplesPerSec <= DSBFREQUENCY_MAX &&
                   format->nBlockAlign == format->nChannels * format->wBitsPerSample / 8;
  return pcm ? DS_OK : DSERR_BADFORMAT;
}

OpenAlSoundBuffer::OpenAlSoundBuffer(std::shared_ptr<SoundDeviceCore> core,
                                     const DSBUFFERDESC& description)
    : core_(std::move(core)),
      flags_(description.dwFlags),
      format_(*description.lpwfxFormat),
      generation_(core_->CheckOutput()) {
  format_.cbSize = 0;
  CreateSource(description.dwBufferBytes);
}

OpenAlSoundBuffer::OpenAlSoundBuffer(const OpenAlSoundBuffer& original)
    : IDirectSoundBuffer(),
      core_(original.core_),
      flags_(original.flags_),
      format_(original.format_),
      generation_(original.generation_.load()),
      volume_(original.volume_),
      frequency_(original.frequency_),
      pan_(original.pan_) {
  const std::span<const BYTE> samples = original.memory_->Bytes();
  CreateSource(static_cast<DWORD>(samples.size()));
  if (Valid()) std::ranges::copy(samples, memory_->Bytes().begin());
}

void OpenAlSoundBuffer::CreateSource(DWORD bytes) {
  AlLock lock(core_->Context());
  memory_ = SampleMemory::Create(format_, bytes);
  if (memory_ == nullptr) return;
  alGenSources(1, &source_);
  if (alGetError() != AL_NO_ERROR) {
    memory_.reset();
    source_ = 0;
    return;
  }
  // Heard as recorded: no distance, no direction unless panned.
  HearAsRecorded(source_, core_->MonoGain());
  ApplyGain();
  ApplyPitch();
  ApplyPan();
  Registry().insert(this);
}

OpenAlSoundBuffer::~OpenAlSoundBuffer() {
  AlLock lock(core_->Context());
  Registry().erase(this);
  if (!Valid()) return;
  alDeleteSources(1, &source_);
  memory_.reset();  // while the lock is held
}

bool OpenAlSoundBuffer::Lost() { return core_->CheckOutput() != generation_; }

ALenum OpenAlSoundBuffer::SourceState() const {
  ALint state = AL_INITIAL;
  alGetSourcei(source_, AL_SOURCE_STATE, &state);
  return state;
}

void OpenAlSoundBuffer::Upload() {
  alSourceStop(source_);
  memory_->Attach(source_);
  alSourceRewind(source_);
  uploaded_ = true;
}

// A new buffer's silence reaches the source only if it is played or positioned before
// its first Unlock: a sound's buffer is written at once, and where the samples are
// copied to OpenAL, copying the silence first cost a tenth of the sound bank's load.
void OpenAlSoundBuffer::UploadOnce() {
  if (!uploaded_) Upload();
}

// A mono buffer plays at its recorded level in each channel, a stereo one in its own.
void OpenAlSoundBuffer::ApplyGain() const {
  const bool audible = (flags_ & DSBCAPS_GLOBALFOCUS) != 0 || dialogActive;
  const float channelGain = format_.nChannels == 1 ? core_->MonoGain() : 1.0f;
  const float gain = !audible || volume_ <= DSBVOLUME_MIN
                         ? 0.0f
                         : channelGain * static_cast<float>(std::pow(10.0, volume_ / 2000.0));
  alSourcef(source_, AL_GAIN, gain);
}

void OpenAlSoundBuffer::ApplyPitch() const {
  const double rate = frequency_ == DSBFREQUENCY_ORIGINAL ? format_.nSamplesPerSec : frequency_;
  alSourcef(source_, AL_PITCH, static_cast<float>(rate / format_.nSamplesPerSec));
}

// Pan places a mono source on the left-right axis; stereo sources keep their channels.
void OpenAlSoundBuffer::ApplyPan() const {
  const float x = static_cast<float>(pan_) / DSBPAN_RIGHT;
  alSource3f(source_, AL_POSITION, x, 0.0f, -std::sqrt(1.0f - x * x));
}

HRESULT OpenAlSoundBuffer::GetStatus(DWORD* status) {
  if (status == nullptr) return DSERR_INVALIDPARAM;
  if (Lost()) {
    *status = DSBSTATUS_BUFFERLOST;
    return DS_OK;
  }
  AlLock lock(core_->Context());
  *status = 0;
  if (SourceState() == AL_PLAYING) {
    ALint looping = AL_FALSE;
    alGetSourcei(source_, AL_LOOPING, &looping);
    *status = DSBSTATUS_PLAYING | (looping == AL_TRUE ? DSBSTATUS_LOOPING : 0);
  }
  return DS_OK;
}

HRESULT OpenAlSoundBuffer::GetCurrentPosition(DWORD* play, DWORD* write) {
  if (Lost()) return DSERR_BUFFERLOST;
  AlLock lock(core_->Context());
  ALint offset = 0;
  alGetSourcei(source_, AL_BYTE_OFFSET, &offset);
  const auto position = static_cast<DWORD>(std::max(offset, 0));
  if (play != nullptr) *play = position;
  if (write != nullptr) *write = position;
  return DS_OK;
}

HRESULT OpenAlSoundBuffer::Lock(DWORD offset, DWORD bytes, void** area1, DWORD* bytes1,
                                void** area2, DWORD* bytes2, DWORD flags) {
  const std::span<BYTE> samples = memory_->Bytes();
  const auto size = static_cast<DWORD>(samples.size());
  if ((flags & DSBLOCK_ENTIREBUFFER) != 0) {
    offset = 0;
    bytes = size;
  }
  if (area1 == nullptr || bytes1 == nullptr || offset >= size || bytes == 0 || bytes > size) {
    return DSERR_INVALIDPARAM;
  }
  if (Lost()) return DSERR_BUFFERLOST;
  *area1 = samples.data() + offset;
  *bytes1 = std::min(bytes, size - offset);
  const DWORD wrapped = area2 != nullptr && bytes2 != nullptr ? bytes - *bytes1 : 0;
  if (area2 != nullptr) *area2 = wrapped > 0 ? samples.data() : nullptr;
  if (bytes2 != nullptr) *bytes2 = wrapped;
  return DS_OK;
}

HRESULT OpenAlSoundBuffer::Unlock(void* area1, DWORD, void*, DWORD) {
  const std::span<BYTE> samples = memory_->Bytes();
  if (area1 < samples.data() || area1 >= samples.data() + samples.size()) {
    return DSERR_INVALIDPARAM;
  }
  AlLock lock(core_->Context());
  Upload();
  return DS_OK;
}

HRESULT OpenAlSoundBuffer::Restore() {
  const std::optional<unsigned> generation = core_->Reopen();
  if (!generation) return DSERR_BUFFERLOST;
  if (*generation == generation_) return DS_OK;
  AlLock lock(core_->Context());
  // The memory comes back; its contents do not.
  memory_->FillSilence();
  Upload();
  generation_ = *generation;
  return DS_OK;
}

HRESULT OpenAlSoundBuffer::Play(DWORD reserved, DWORD, DWORD flags) {
  if (reserved != 0) return DSERR_INVALIDPARAM;
  if (Lost()) return DSERR_BUFFERLOST;
  AlLock lock(core_->Context());
  UploadOnce();
  alSourcei(source_, AL_LOOPING, (flags & DSBPLAY_LOOPING) != 0 ? AL_TRUE : AL_FALSE);
  // alSourcePlay would restart a playing source from the beginning.
  if (SourceState() != AL_PLAYING) alSourcePlay(source_);
  return DS_OK;
}

HRESULT OpenAlSoundBuffer::Stop() {
  AlLock lock(core_->Context());
  if (SourceState() == AL_PLAYING) alSourcePause(source_);
  return DS_OK;
}

HRESULT OpenAlSoundBuffer::SetCurrentPosition(DWORD position) {
  if (position >= memory_->Bytes().size()) return DSERR_INVALIDPARAM;
  const DWORD frameStart = position - position % format_.nBlockAlign;
  if (frameStart >= memory_->PlayedBytes()) return DSERR_INVALIDPARAM;
  AlLock lock(core_->Context());
  UploadOnce();
  alSourcei(source_, AL_BYTE_OFFSET, static_cast<ALint>(frameStart));
  return DS_OK;
}

HRESULT OpenAlSoundBuffer::SetVolume(LONG volume) {
  if ((flags_ & DSBCAPS_CTRLVOLUME) == 0) return DSERR_CONTROLUNAVAIL;
  if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
  AlLock lock(core_->Context());
  volume_ = volume;
  ApplyGain();
  return DS_OK;
}

HRESULT OpenAlSoundBuffer::SetFrequency(DWORD frequency) {
  if ((flags_ & DSBCAPS_CTRLFREQUENCY) == 0) return DSERR_CONTROLUNAVAIL;
  if (frequency != DSBFREQUENCY_ORIGINAL &&
      (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX)) {
    return DSERR_INVALIDPARAM;
  }
  AlLock lock(core_->Context());
  frequency_ = frequency;
  ApplyPitch();
  return DS_OK;
}

HRESULT OpenAlSoundBuffer::SetPan(LONG pan) {
  if ((flags_ & DSBCAPS_CTRLPAN) == 0) return DSERR_CONTROLUNAVAIL;
  if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
  AlLock lock(core_->Context());
  pan_ = pan;
  ApplyPan();
  return DS_OK;
}

void OpenAlSoundBuffer::ApplyDialogActive(bool active) {
  AlLock lock(nullptr);
  dialogActive = active;
  for (OpenAlSoundBuffer* buffer : Registry()) {
    if ((buffer->flags_ & DSBCAPS_GLOBALFOCUS) != 0) continue;
    lock.Use(buffer->core_->Context());
    buffer->ApplyGain();
  }
}

void StopBuffersOf(const SoundDeviceCore* core) {
  AlLock lock(nullptr);
  for (OpenAlSoundBuffer* buffer : Registry()) {
    if (buffer->core_.get() != core) continue;
    lock.Use(buffer->core_->Context());
    alSourceStop(buffer->source_);
  }
}
