#include "tests/support/module_stage.h"

#include <cstdlib>
#include <string>

#include "app/session_state.h"
#include "app/startup_sequence.h"
#include "audio/sound_bank.h"
#include "audio/sound_manager.h"
#include "reactions/ship_sounds.h"
#include "tests/dialog/fake_sound_device.h"

ModuleStage::ModuleStage() {
  ResetSession();
  SetMessageBoxPresenter(&boxes_);
  InstallFakeSoundDevice();
  WriteSoundBankFiles(folder_.Path());
  WriteShipSoundFiles(folder_.Path());
  auto* manager = new SoundManager();
  session.soundManager = manager;
  session.dialogWindow = &window_;
  if (Failed(manager->Init(&window_, DSSCL_NORMAL)) || !LoadSoundBank(&window_)) {
    std::abort();  // the stage is broken, not the input
  }
}

ModuleStage::~ModuleStage() {
  DeleteLoadedSounds();
  ResetSession();
  SetMessageBoxPresenter(nullptr);
}

void ModuleStage::Ready(int players) {
  ResetSessionValues();
  ForgetCreatedBuffers();
  session.dialogWindow = &window_;
  session.soundsReady = 1;
  session.configurationComplete = 1;
  session.startupStage = STAGE_RUNNING;
  // A transfer or a failed selection may have replaced or emptied the ship sounds.
  if (session.cockpitAmbience.Get() == nullptr || session.engineLoop.Get() == nullptr ||
      session.cockpitStartup.Get() == nullptr) {
    AssignShipSounds(kShipType);
    if (session.cockpitAmbience.Get() == nullptr) std::abort();
  }
  session.shipType = kShipType;
  for (int i = 0; i < players; ++i) {
    PlayerSlot& slot = session.players[i];
    std::scoped_lock lock(slot.lock);
    slot.active = 1;
    slot.type = kShipType;
    slot.objectId = static_cast<std::uint16_t>(100 + i);
    slot.position = Vector3{PLANET_RADIUS + static_cast<float>(i), 0.0f, 0.0f};
    SetIvr(slot, "P" + std::to_string(i));
  }
}
