#include "bench/support/mixer_stage.h"

#include <cmath>

#include "app/session_state.h"
#include "audio/sound_bank.h"
#include "audio/sound_manager.h"
#include "link/player_state_packet.h"
#include "reactions/event_packet.h"
#include "tools/make_sound_pack/sound_pack.h"

namespace {

constexpr std::uint8_t kOwnSlot = 0;
constexpr float kShipType = 1.0f;
// The own ship 2 km up, over the equator.
constexpr Vector3 kOwnPosition{PLANET_RADIUS + 2.0f, 0.0f, 0.0f};

// Assigns the own slot as the console does, which creates the ship's own sounds.
void AssignOwnSlot() {
  EventPacket packet;
  packet.code = 0;
  packet.index = kOwnSlot;
  packet.valueB = kShipType;
  HandleEventPacket(EncodeEventPacket(packet));
}

// Spread over a disc round the own ship, 0.5 to 19.5 km away, each on its own heading.
Vector3 StartOf(int slot) {
  const float angle = 0.7f * static_cast<float>(slot);
  const float distance = 0.5f + 19.0f * static_cast<float>(slot) / PLAYER_SLOT_COUNT;
  return Add(kOwnPosition, Vector3{0.1f, distance * std::cos(angle), distance * std::sin(angle)});
}

Vector3 VelocityOf(int slot) {
  const float heading = 1.3f * static_cast<float>(slot);
  return Vector3{0.0f, 0.25f * std::cos(heading), 0.25f * std::sin(heading)};
}

}  // namespace

MixerStage::MixerStage() {
  if (!WriteSoundPack(folder_.Path().string(), SoundPackOptions{.speech = false})) return;
  auto* manager = new SoundManager();
  if (Failed(manager->Init(&window_, DSSCL_NORMAL))) return;
  session.soundManager = manager;
  session.dialogWindow = &window_;
  if (!LoadSoundBank(&window_)) return;
  session.soundsReady = 1;
  AssignOwnSlot();
  ready_ = session.engineLoop.Get() != nullptr;
}

MixerStage::~MixerStage() { session.dialogWindow = nullptr; }

void FillWorld() {
  for (int i = 0; i < PLAYER_SLOT_COUNT; ++i) {
    PlayerSlot& slot = session.players[i];
    std::scoped_lock lock(slot.lock);
    slot.active = 1;
    slot.ref = REF_FREE_FLIGHT;
    slot.type = 1;
    slot.objectId = static_cast<std::uint16_t>(i + 1);
    slot.position = i == kOwnSlot ? kOwnPosition : StartOf(i);
    slot.velocity = i == kOwnSlot ? Vector3{0.0f, 0.1f, 0.0f} : VelocityOf(i);
  }
}

PlayerStatePayload FlightStep(std::uint8_t slot, int step) {
  PlayerStatePacket packet;
  packet.slot = slot;
  packet.velocity = VelocityOf(slot);
  packet.position = Add(StartOf(slot), Scale(packet.velocity, 0.1f * static_cast<float>(step % 100)));
  packet.ref = REF_FREE_FLIGHT;
  return EncodePlayerStatePacket(packet);
}
