// The module as a benchmark runs it: a sound pack in a scratch folder that is the
// current directory, the sound bank and the ship's own sounds loaded on whatever sound
// device is installed (the real OpenAL mixer), the sounds ready, and a dialog window
// that drops its messages. Main thread of a benchmark, once per process; the bank
// stays loaded until the process ends, as in the module.
#pragma once

#include <memory>

#include "bench/support/quiet_window.h"
#include "link/packet_handlers.h"
#include "tests/support/scratch_folder.h"

class MixerStage {
 public:
  // False from Ready() when the pack could not be written or a sound not loaded.
  MixerStage();
  ~MixerStage();
  MixerStage(const MixerStage&) = delete;
  MixerStage& operator=(const MixerStage&) = delete;

  bool Ready() const { return ready_; }
  HWND Window() { return &window_; }

 private:
  ScratchFolder folder_;
  QuietWindow window_;
  bool ready_ = false;
};

// Every one of the 256 slots active and in free flight around the own ship (slot 0)
// within earshot, each with its own position, speed and object id (slot + 1).
void FillWorld();
// The player state packet that moves slot along its course by one step.
PlayerStatePayload FlightStep(std::uint8_t slot, int step);
