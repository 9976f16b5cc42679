#include "platform/audio/openal_sound_device.h"

#include <memory>
#include <utility>

#include "audio/direct_sound.h"
#include "platform/audio/al_lock.h"
#include "platform/audio/install_sound_device.h"
#include "platform/audio/loopback_mixer.h"
#include "platform/audio/openal_sound_buffer.h"
#include "platform/audio/sound_device_core.h"

namespace {

class OpenAlSoundDevice final : public IDirectSound8 {
 public:
  explicit OpenAlSoundDevice(std::shared_ptr<SoundDeviceCore> core) : core_(std::move(core)) {}

  HRESULT SetCooperativeLevel(HWND, DWORD level) override {
    constexpr DWORD DSSCL_WRITEPRIMARY = 4;
    return level >= DSSCL_NORMAL && level <= DSSCL_WRITEPRIMARY ? DS_OK : DSERR_INVALIDPARAM;
  }

  HRESULT CreateSoundBuffer(const DSBUFFERDESC* description,
                            std::unique_ptr<IDirectSoundBuffer>* buffer, void* outer) override {
    if (description == nullptr || buffer == nullptr || outer != nullptr) return DSERR_INVALIDPARAM;
    if (const HRESULT status = CheckBufferDescription(*description); Failed(status)) return status;
    return Keep(std::make_unique<OpenAlSoundBuffer>(core_, *description), buffer);
  }

  HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original,
                               std::unique_ptr<IDirectSoundBuffer>* duplicate) override {
    const auto* ours = dynamic_cast<const OpenAlSoundBuffer*>(original);
    if (ours == nullptr || duplicate == nullptr) return DSERR_INVALIDPARAM;
    return Keep(std::make_unique<OpenAlSoundBuffer>(*ours), duplicate);
  }

 private:
  static HRESULT Keep(std::unique_ptr<OpenAlSoundBuffer> created,
                      std::unique_ptr<IDirectSoundBuffer>* out) {
    if (!created->Valid()) return DSERR_OUTOFMEMORY;
    *out = std::move(created);
    return DS_OK;
  }

  std::shared_ptr<SoundDeviceCore> core_;
};

const SinkOps& SinkFor(AudioOutput::Kind kind) {
  switch (kind) {
    case AudioOutput::Kind::WavFile:
      return WAV_FILE_SINK;
    case AudioOutput::Kind::Null:
      return NULL_SINK;
    case AudioOutput::Kind::Device:
      break;
  }
  return SDL_SINK;
}

}  // namespace

void InstallSoundDevice(const SinkOps& sink, const std::string& path) {
  KeepOpenAlOffTheSystemDevices();
  HoldOpenAlAtExit();
  SetDirectSoundFactory([&sink, path](std::unique_ptr<IDirectSound8>* device) -> HRESULT {
    auto core = SoundDeviceCore::Open(sink, path);
    if (!core) return DSERR_NODRIVER;
    *device = std::make_unique<OpenAlSoundDevice>(std::move(core));
    return DS_OK;
  });
}

void UseOpenAlSoundDevice(const AudioOutput& output) {
  InstallSoundDevice(SinkFor(output.kind), output.path);
}

void SetDialogActive(bool active) { OpenAlSoundBuffer::ApplyDialogActive(active); }
