// The sound bank as data: the 97 entries in load order, each naming the handle it
// fills, its file in the Sounds folder, the creation flags and, for the handle arrays,
// the text of the box shown when the file is missing. LoadSoundBank and the sound pack
// writer read the same table. Constant data; any thread.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "audio/direct_sound.h"
#include "audio/sound_bank.h"

struct SoundBankEntry {
  const char* file;
  DWORD flags;
  Sound** (*handle)(SoundBank& bank);
  // Null: the box shows the missing file's own name.
  const char* groupText;
};

std::span<const SoundBankEntry> SoundBankEntries();

constexpr int SOUND_BANK_SIZE = 97;
constexpr const char* SOUND_FOLDER = "Sounds";

// The module's name for a file of the Sounds folder ("Sounds\\beep31.wav").
inline std::string SoundFolderFile(std::string_view file) {
  return std::string(SOUND_FOLDER) + "\\" + std::string(file);
}
