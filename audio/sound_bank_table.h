// The sound bank as data: every row names the handles it fills, their files in the
// Sounds folder, the creation flags and the text of the box shown when a file of the
// row is missing. LoadSoundBank and the sound pack writer read the same table.
// Constant data; any thread.
#pragma once

#include <span>

#include "audio/direct_sound.h"
#include "audio/sound_bank.h"

struct SoundBankRow {
  // One file for a single handle; one per index, from 0 up, for an array.
  std::span<const char* const> files;
  DWORD flags;
  std::span<Sound*> (*handles)(SoundBank& bank);
  // Null: the box shows the missing file's own name.
  const char* groupText;
};

// The 59 rows in load order.
std::span<const SoundBankRow> SoundBankRows();

constexpr int SOUND_BANK_SIZE = 97;
constexpr const char* SOUND_FOLDER = "Sounds";
