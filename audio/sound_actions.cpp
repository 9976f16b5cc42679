#include "audio/sound_actions.h"

#include "audio/sound.h"

void PlayOnce(Sound* sound) {
  if (sound != nullptr) sound->Play(0, 0, 0, -1, 0);
}

void PlayLooping(Sound* sound, LONG volume, LONG frequency) {
  if (sound != nullptr) sound->Play(0, DSBPLAY_LOOPING, volume, frequency, 0);
}

void RewindAndPlayOnce(Sound* sound) {
  if (sound == nullptr) return;
  sound->Rewind();
  sound->Play(0, 0, 0, -1, 0);
}

void StopSound(Sound* sound) {
  if (sound != nullptr) sound->Stop();
}

void StopSounds(std::span<Sound* const> sounds) {
  for (Sound* sound : sounds) StopSound(sound);
}

void PlayOnce(const SharedSound& sound) { PlayOnce(sound.Get().get()); }

void PlayLooping(const SharedSound& sound, LONG volume, LONG frequency) {
  PlayLooping(sound.Get().get(), volume, frequency);
}

void StopSound(const SharedSound& sound) { StopSound(sound.Get().get()); }
