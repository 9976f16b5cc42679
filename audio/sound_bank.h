// The fixed bank of sounds loaded at start-up, and its loader.
// LoadSoundBank: dialog thread. The handles are written only while soundsReady is
// false and never change afterwards, so any thread may use them once it is set.
#pragma once

#include "app/dialog_window.h"

class Sound;

struct SoundBank {
  Sound* testTone = nullptr;
  Sound* endOfTransmissionTone = nullptr;
  Sound* playerAddedBeep = nullptr;
  Sound* chatBeep = nullptr;
  Sound* playerRemovedBeep = nullptr;
  Sound* notifyBeep = nullptr;
  Sound* thunderSounds[15] = {};
  Sound* precipitationLoops[4] = {};
  Sound* dockAnnouncements[12] = {};
  Sound* computerPhrases[11] = {};
  Sound* dockChime = nullptr;
  Sound* dockedSound = nullptr;
  Sound* undockedSound = nullptr;
  Sound* dockEvacAnnouncement = nullptr;
  Sound* chaChingSound = nullptr;
  Sound* nchimeSound = nullptr;
  Sound* computerCflPhrase = nullptr;
  Sound* hiLowTone = nullptr;
  Sound* computerSrPhrase = nullptr;
  Sound* computerPuPhrase = nullptr;
  Sound* computerTtPhrase = nullptr;
  Sound* computerStrutsPhrase = nullptr;
  Sound* computerBaPhrase = nullptr;
  Sound* gearUpSound = nullptr;
  Sound* gearDownSound = nullptr;
  Sound* dihvSound = nullptr;
  Sound* miningLoop = nullptr;
  Sound* waveLoop = nullptr;
  Sound* bodyHitSound = nullptr;
  Sound* bnsplas1Sound = nullptr;
  Sound* bnsplas2Sound = nullptr;
  Sound* selfDestructSound = nullptr;
  Sound* bncrash1Sound = nullptr;
  Sound* bncrash2Sound = nullptr;
  Sound* wingBreak01Sound = nullptr;
  Sound* wingBreak02Sound = nullptr;
  Sound* tailBreak01Sound = nullptr;
  Sound* tailBreak02Sound = nullptr;
  Sound* fuzerFireSound = nullptr;
  Sound* sinkerLaunchSound = nullptr;
  Sound* fuzerHitSound = nullptr;
  Sound* sinkerHitSound = nullptr;
  Sound* sputterSound = nullptr;
  Sound* sinkerIntSound = nullptr;
  Sound* pain1Sound = nullptr;
  Sound* pain2Sound = nullptr;
  Sound* pain3Sound = nullptr;
  Sound* collisionSound = nullptr;
  Sound* tireSkidSound = nullptr;
  Sound* repairSound = nullptr;
  Sound* gearShiftSound = nullptr;
  Sound* jsplash1Sound = nullptr;
  Sound* jsplash2Sound = nullptr;
  Sound* touchLbSound = nullptr;
  Sound* touchLdSound = nullptr;
  Sound* windLoop = nullptr;
  Sound* gearAeroLoop = nullptr;
  Sound* dopplerLoop = nullptr;
  Sound* rumbleLoop = nullptr;
};

// Creates all 97 sounds in table order through session.soundManager. On the first
// failure shows "Could not find file!" (owner: window) and returns false.
bool LoadSoundBank(HWND window);
