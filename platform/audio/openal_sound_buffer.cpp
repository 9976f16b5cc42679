#include "platform/audio/openal_sound_buffer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <set>

#include "platform/audio/al_lock.h"

namespace {

// Every live buffer, for the dialog's activation and for output losses; under AlLock.
std::set<OpenAlSoundBuffer*>& Registry() {
  static std::set<OpenAlSoundBuffer*> buffers;
  return buffers;
}

std::atomic<bool> dialogActive{true};

ALenum AlFormat(const WAVEFORMATEX& format) {
  if (format.wBitsPerSample == 8) {
    return format.nChannels == 1 ? AL_FORMAT_MONO8 : AL_FORMAT_STEREO8;
  }
  return format.nChannels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
}

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
      samples_(description.dwBufferBytes, format_.wBitsPerSample == 8 ? 0x80 : 0x00),
      generation_(core_->CheckOutput()) {
  format_.cbSize = 0;
  CreateSource();
}

OpenAlSoundBuffer::OpenAlSoundBuffer(const OpenAlSoundBuffer& original)
    : IDirectSoundBuffer(),
      core_(original.core_),
      flags_(original.flags_),
      format_(original.format_),
      samples_(original.samples_),
      generation_(original.generation_.load()),
      volume_(original.volume_),
      frequency_(original.frequency_),
      pan_(original.pan_) {
  CreateSource();
}

void OpenAlSoundBuffer::CreateSource() {
  AlLock lock(core_->Context());
  alGetError();
  alGenBuffers(1, &buffer_);
  alGenSources(1, &source_);
  if (alGetError() != AL_NO_ERROR) {
    alDeleteBuffers(1, &buffer_);
    buffer_ = 0;
    source_ = 0;
    return;
  }
  // Heard as recorded: no distance, no direction unless panned.
  alSourcei(source_, AL_SOURCE_RELATIVE, AL_TRUE);
  alSource3f(source_, AL_POSITION, 0.0f, 0.0f, 0.0f);
  alSourcef(source_, AL_ROLLOFF_FACTOR, 0.0f);
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
  alDeleteBuffers(1, &buffer_);
}

bool OpenAlSoundBuffer::Lost() { return core_->CheckOutput() != generation_; }

ALenum OpenAlSoundBuffer::SourceState() const {
  ALint state = AL_INITIAL;
  alGetSourcei(source_, AL_SOURCE_STATE, &state);
  return state;
}

DWORD OpenAlSoundBuffer::UploadedBytes() const {
  const DWORD size = static_cast<DWORD>(samples_.size());
  return size - size % format_.nBlockAlign;
}

// OpenAL takes whole frames only, and no new data while the source holds the buffer.
void OpenAlSoundBuffer::Upload() {
  alSourceStop(source_);
  alSourcei(source_, AL_BUFFER, 0);
  alBufferData(buffer_, AlFormat(format_), samples_.data(),
               static_cast<ALsizei>(UploadedBytes()), static_cast<ALsizei>(format_.nSamplesPerSec));
  alSourcei(source_, AL_BUFFER, static_cast<ALint>(buffer_));
  alSourceRewind(source_);
  uploaded_ = true;
}

// A new buffer's silence reaches OpenAL only if it is played or positioned before its
// first Unlock: a sound's buffer is written at once, and copying the silence first
// cost a tenth of the sound bank's load.
void OpenAlSoundBuffer::UploadOnce() {
  if (!uploaded_) Upload();
}

void OpenAlSoundBuffer::ApplyGain() const {
  const bool audible = (flags_ & DSBCAPS_GLOBALFOCUS) != 0 || dialogActive;
  const float gain = !audible || volume_ <= DSBVOLUME_MIN
                         ? 0.0f
                         : static_cast<float>(std::pow(10.0, volume_ / 2000.0));
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
  const auto size = static_cast<DWORD>(samples_.size());
  if ((flags & DSBLOCK_ENTIREBUFFER) != 0) {
    offset = 0;
    bytes = size;
  }
  if (area1 == nullptr || bytes1 == nullptr || offset >= size || bytes == 0 || bytes > size) {
    return DSERR_INVALIDPARAM;
  }
  if (Lost()) return DSERR_BUFFERLOST;
  *area1 = samples_.data() + offset;
  *bytes1 = std::min(bytes, size - offset);
  const DWORD wrapped = area2 != nullptr && bytes2 != nullptr ? bytes - *bytes1 : 0;
  if (area2 != nullptr) *area2 = wrapped > 0 ? samples_.data() : nullptr;
  if (bytes2 != nullptr) *bytes2 = wrapped;
  return DS_OK;
}

HRESULT OpenAlSoundBuffer::Unlock(void* area1, DWORD, void*, DWORD) {
  const BYTE* start = samples_.data();
  if (area1 < start || area1 >= start + samples_.size()) return DSERR_INVALIDPARAM;
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
  std::ranges::fill(samples_, format_.wBitsPerSample == 8 ? 0x80 : 0x00);
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
  if (position >= samples_.size()) return DSERR_INVALIDPARAM;
  const DWORD frameStart = position - position % format_.nBlockAlign;
  if (frameStart >= UploadedBytes()) return DSERR_INVALIDPARAM;
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
