// The offline output for tests: the test's own thread pulls the mix, so the real mixer
// is heard without an audio device or a clock, and the output can be made to go away.
// One per process; any thread.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/audio/output_sink.h"

class OfflineOutput {
 public:
  // Interleaved stereo frames of the newest device's mix; silence when none is open.
  std::vector<std::int16_t> Render(int frameCount);
  // The output goes away: buffers report lost until it is back and they are restored.
  void Disconnect();
  void Reconnect();

 private:
  friend struct OfflineSinkOps;
  std::mutex mutex_;
  MixPull pull_;
  bool connected_ = true;
};

// Installs the DirectSoundCreate8 factory with the offline output (connected) and
// returns it.
OfflineOutput& UseOfflineSoundDevice();
