#include "audio/direct_sound.h"

#include <mutex>
#include <utility>

namespace {

std::mutex factoryMutex;
DirectSoundFactory installedFactory;

}  // namespace

void SetDirectSoundFactory(DirectSoundFactory factory) {
  std::scoped_lock lock(factoryMutex);
  installedFactory = std::move(factory);
}

HRESULT DirectSoundCreate8(const GUID* deviceId, std::unique_ptr<IDirectSound8>* device,
                           void* outer) {
  if (device == nullptr || outer != nullptr || (deviceId != nullptr && *deviceId != GUID_NULL)) {
    return DSERR_INVALIDPARAM;
  }
  DirectSoundFactory factory;
  {
    std::scoped_lock lock(factoryMutex);
    factory = installedFactory;
  }
  if (!factory) return DSERR_NODRIVER;
  std::unique_ptr<IDirectSound8> created;
  const HRESULT status = factory(&created);
  if (Succeeded(status)) *device = std::move(created);
  return status;
}
