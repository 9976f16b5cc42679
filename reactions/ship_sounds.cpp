#include "reactions/ship_sounds.h"

#include <memory>
#include <optional>
#include <string>

#include "app/message_box.h"
#include "app/session_state.h"
#include "audio/ship_sound_files.h"
#include "audio/sound.h"
#include "audio/sound_actions.h"
#include "audio/sound_bank_table.h"
#include "audio/sound_manager.h"
#include "reactions/event_packet.h"
#include "reactions/float_fields.h"

namespace {

struct ShipModel {
  const ShipSoundFiles& files;
  float cabinDamping;
};

// Types 1 and 6 share a model; 0, 2 and 7 and above are not ships the module knows.
std::optional<ShipModel> ModelOf(std::uint8_t type) {
  switch (type) {
    case 1:
    case 6:
      return ShipModel{SHIP_SOUND_FILES[0], 0.0f};
    case 3:
      return ShipModel{SHIP_SOUND_FILES[1], 0.125f};
    case 4:
      return ShipModel{SHIP_SOUND_FILES[2], 0.1f};
    case 5:
      return ShipModel{SHIP_SOUND_FILES[3], 0.075f};
    default:
      return std::nullopt;
  }
}

struct ShipSound {
  SharedSound& handle;
  DWORD flags;
  const char* failureText;
};

constexpr DWORD kAmbienceFlags = DSBCAPS_GLOBALFOCUS;
constexpr DWORD kEngineFlags = DSBCAPS_GLOBALFOCUS | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY;
constexpr DWORD kStartupFlags = DSBCAPS_GLOBALFOCUS;

void ShowFatal(const std::string& text) {
  HWND dialog = session.dialogWindow;
  ShowMessageBox(dialog, text, "Could not find file!", MB_OK | MB_ICONERROR);
  if (dialog != nullptr) dialog->End(2);
}

// A failed creation leaves the handle empty. A sound it replaces (left by a transfer
// running on another thread) is stopped so that it never plays on unheard.
HRESULT CreateInto(const ShipSound& ship, const char* file) {
  SoundManager* manager = session.soundManager;
  Sound* created = nullptr;
  const std::string path = SoundFolderFile(file);
  const HRESULT status = manager != nullptr
                             ? manager->CreateSound(&created, path.c_str(), ship.flags, GUID_NULL, 1)
                             : CO_E_NOTINITIALIZED;
  if (const std::shared_ptr<Sound> replaced = ship.handle.Exchange(std::shared_ptr<Sound>(created))) {
    replaced->Stop();
  }
  return status;
}

}  // namespace

void SelectShipSounds(std::uint8_t type) {
  const std::optional<ShipModel> model = ModelOf(type);
  if (!model) {
    ShowFatal("Unknown ship type " + std::to_string(type) + "!");
    return;
  }
  const ShipSound sounds[] = {
      {session.cockpitAmbience, kAmbienceFlags, "Could not find cockpit ambience!"},
      {session.engineLoop, kEngineFlags, "Could not find engine!"},
      {session.cockpitStartup, kStartupFlags, "Could not find cockpit startup!"},
  };
  const char* files[] = {model->files.cockpitAmbience, model->files.engineLoop, model->files.cockpitStartup};
  HRESULT statuses[3];
  for (int i = 0; i < 3; ++i) statuses[i] = CreateInto(sounds[i], files[i]);
  session.cabinDamping = model->cabinDamping;
  for (int i = 0; i < 3; ++i) {
    if (Failed(statuses[i])) ShowFatal(sounds[i].failureText);
  }
}

void ReleaseShipSounds() {
  SharedSound* handles[] = {&session.cockpitAmbience, &session.engineLoop, &session.cockpitStartup};
  for (SharedSound* handle : handles) StopSound(*handle);
  // Each Sound goes once its last user on another thread has let it go.
  for (SharedSound* handle : handles) handle->Exchange(nullptr);
}

void AssignShipSounds(std::uint8_t type) {
  // A second assignment would otherwise leave the first ship's sounds behind.
  ReleaseShipSounds();
  SelectShipSounds(type);
}

void TransferToSlot(const EventPacket& packet) {
  LogStatusFormat(session.dialogWindow, "Transferred to slot %i", packet.index);
  session.ownSlot = packet.index;
  session.shipType = TruncateToByte(packet.valueB);
  // Keeps reactions away from the handles while they change. Readiness comes back only
  // if it was there before (or the bank finished loading meanwhile): a transfer before
  // the bank exists must not let reactions play its empty handles.
  const bool wasReady = session.soundsReady.exchange(0) != 0;
  ReleaseShipSounds();
  SelectShipSounds(session.shipType);
  if (wasReady) session.soundsReady = 1;
  if (session.onboardSwitch != 0) {
    PlayOnce(session.cockpitStartup);
    PlayLooping(session.cockpitAmbience, 0, -1);
  }
}

void StartPropulsion(const EventPacket& /*packet*/) {
  session.propulsionOn = 1;
  if (session.soundsReady != 0 && session.onboardSwitch != 0) {
    PlayOnce(session.cockpitStartup);
    PlayLooping(session.cockpitAmbience, 0, -1);
  }
}

void ShutDownPropulsion() {
  session.propulsionOn = 0;
  LogStatus(session.dialogWindow, "Propulsion shut down...");
  if (session.soundsReady == 0) return;
  StopSound(session.engineLoop);
  StopSound(session.bank.rumbleLoop);
  StopSound(session.cockpitAmbience);
}

void SetEngineLevel(const EventPacket& packet) {
  if (session.soundsReady == 0) return;
  // Wraps in 32 bits like the original arithmetic; the device refuses what it cannot play.
  const auto frequency = static_cast<LONG>(static_cast<std::uint32_t>(WholeNumber(packet.valueD)) + 100u);
  PlayLooping(session.engineLoop, WholeNumber16(packet.valueC), frequency);
}

void SetRumbleLevel(const EventPacket& packet) {
  if (session.soundsReady == 0) return;
  PlayLooping(session.bank.rumbleLoop, WholeNumber16(packet.valueC), -1);
}

Sound* VoiceOrChime(Sound* phrase) {
  const std::uint8_t type = session.shipType;
  return type == 1 || type == 6 ? session.bank.nchimeSound : phrase;
}
