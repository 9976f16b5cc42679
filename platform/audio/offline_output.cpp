#include "platform/audio/offline_output.h"

#include <utility>

#include "platform/audio/install_sound_device.h"
#include "platform/audio/loopback_mixer.h"

namespace {

OfflineOutput& TheOutput() {
  static OfflineOutput output;
  return output;
}

}  // namespace

struct OfflineSinkOps {
  static void* Open(const std::string&, MixPull pull) {
    OfflineOutput& output = TheOutput();
    std::scoped_lock lock(output.mutex_);
    if (!output.connected_) return nullptr;
    output.pull_ = std::move(pull);
    return &output;
  }
  static void Close(void*) {
    OfflineOutput& output = TheOutput();
    std::scoped_lock lock(output.mutex_);
    output.pull_ = nullptr;
  }
  static bool Alive(void*) {
    OfflineOutput& output = TheOutput();
    std::scoped_lock lock(output.mutex_);
    return output.connected_;
  }
};

namespace {

const SinkOps OFFLINE_SINK{OfflineSinkOps::Open, OfflineSinkOps::Close, OfflineSinkOps::Alive};

}  // namespace

std::vector<std::int16_t> OfflineOutput::Render(int frameCount) {
  std::vector<std::int16_t> frames(static_cast<std::size_t>(frameCount) * MIX_CHANNELS);
  std::scoped_lock lock(mutex_);
  if (pull_) pull_(frames.data(), frameCount);
  return frames;
}

void OfflineOutput::Disconnect() {
  std::scoped_lock lock(mutex_);
  connected_ = false;
}

void OfflineOutput::Reconnect() {
  std::scoped_lock lock(mutex_);
  connected_ = true;
}

OfflineOutput& UseOfflineSoundDevice() {
  OfflineOutput& output = TheOutput();
  output.Reconnect();
  InstallSoundDevice(OFFLINE_SINK, "");
  return output;
}
