// The one global record of the module's state, shared by the dialog thread and the
// link's worker threads.
//
// Locks (recursive), always taken in this order: player slot locks, then one
// delayed-sound slot's lock, then the status log's lock innermost. Another slot and
// the own slot are taken together as a pair (LockSlotPair), since ownSlot may change
// between two threads' reads of it. precipitationLock is taken alone.
// Single-value fields (flags, switches, the stage, ownSlot, floats) are atomics read
// and written without a lock; a reader accepts a value from just before or after a write.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "app/status_log.h"
#include "app/vector3.h"
#include "audio/shared_sound.h"
#include "audio/sound_bank.h"

class Sound;
class SoundManager;

using Lock = std::recursive_mutex;

constexpr float SPEED_OF_SOUND = 0.33129f;  // km/s
constexpr float PLANET_RADIUS = 2939.6f;    // km
constexpr Vector3 spinAxis{0.0f, 0.0f, 1.0f};

constexpr int PLAYER_SLOT_COUNT = 256;
constexpr int DELAYED_SOUND_SLOT_COUNT = 64;
constexpr int IVR_CHARS = 6;

struct PlayerSlot {
  Vector3 position;
  Vector3 velocity;
  Vector3 surfaceVelocity;
  float latitudeAngle = 0.0f;
  // active and objectId are written under the lock like every field, but are atomics
  // so that a launch can pass over the slots that cannot be its launcher without
  // taking each of their locks (see HandleWeaponPacket).
  std::atomic<std::uint8_t> active{0};
  std::int8_t ref = 0;
  std::uint8_t type = 0;
  char ivr[IVR_CHARS + 1] = {};
  std::atomic<std::uint16_t> objectId{0};  // compared with the weapon packets' unsigned ids
  Lock lock;
};

// Stores at most 6 characters of text and the terminator; longer text is cut.
void SetIvr(PlayerSlot& slot, std::string_view text);

struct DelayedSoundSlot {
  std::uint8_t active = 0;
  std::int16_t volume = 0;
  float delay = 0.0f;
  Sound* sound = nullptr;
  Lock lock;
};

// A byte flag written by one thread and read by another without a lock.
using Flag = std::atomic<std::uint8_t>;

// Flip as the dialog's check boxes do: 0 becomes 1, anything else becomes 0.
void FlipSwitch(Flag& flag);

struct SessionState {
  std::atomic<HWND> dialogWindow{nullptr};
  std::atomic<std::int16_t> startupStage{0};
  StatusLog statusLog;
  Flag whodatRequested{0};
  std::u16string g_wszHostName;  // dialog thread only

  std::atomic<std::uint8_t> ownSlot{0};
  std::atomic<std::uint8_t> ownPlayerNumber{0};
  std::atomic<std::uint8_t> shipType{0};
  std::atomic<float> cabinDamping{0.0f};

  Flag soundsReady{0};
  Flag configurationComplete{0};
  Flag docked{0};
  Flag propulsionOn{0};
  Flag gearDown{0};
  Flag hullIonized{0};
  Flag supersonic{0};
  std::atomic<float> gearFade{0.0f};
  std::atomic<float> planetRotationRate{0.0f};

  Flag weaponsSwitch{1};
  Flag notificationsSwitch{1};
  Flag dockAnnouncementsSwitch{1};
  Flag environmentalSwitch{1};
  Flag onboardSwitch{1};
  Flag endOfTransmissionSwitch{1};

  std::atomic<SoundManager*> soundManager{nullptr};
  SoundBank bank;
  SharedSound cockpitAmbience;
  SharedSound engineLoop;
  SharedSound cockpitStartup;

  // Carried from tick to tick by the periodic update (dialog thread only).
  float lastDopplerVolume = -10000.0f;
  float lastDopplerFrequency = 8000.0f;
  float precipitationLevel = 0.0f;
  std::uint8_t lastEnvironmentalSwitch = 0;
  bool environmentalSwitchSeen = false;  // lastEnvironmentalSwitch is set on the first tick
  std::int16_t precipitationLoopIndex = 0;

  PlayerSlot players[PLAYER_SLOT_COUNT];
  DelayedSoundSlot delayedSounds[DELAYED_SOUND_SLOT_COUNT];

  float precipitationIntensity = 0.0f;  // under precipitationLock
  Lock precipitationLock;
};

extern SessionState session;

// The entry point's clearing: no active player or delayed slot, the four sound
// arrays null, no precipitation.
void ClearSessionTables();
