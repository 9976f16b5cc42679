#include "audio/sound_bank.h"

#include <string>

#include "app/message_box.h"
#include "app/session_state.h"
#include "audio/sound_bank_table.h"
#include "audio/sound_manager.h"

bool LoadSoundBank(HWND window) {
  SoundManager* manager = session.soundManager.load();
  for (const SoundBankEntry& entry : SoundBankEntries()) {
    const std::string path = SoundFolderFile(entry.file);
    const HRESULT status =
        manager != nullptr
            ? manager->CreateSound(entry.handle(session.bank), path.c_str(), entry.flags,
                                   GUID_NULL, 1)
            : CO_E_NOTINITIALIZED;
    if (Failed(status)) {
      const char* text = entry.groupText != nullptr ? entry.groupText : entry.file;
      ShowMessageBox(window, text, "Could not find file!", MB_OK | MB_ICONERROR);
      return false;
    }
  }
  return true;
}
