// The sound bank's stage: a generated sound pack (without speech) in a scratch folder,
// the offline output as the device, and message boxes recorded. Test thread.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/message_box.h"
#include "app/session_state.h"
#include "audio/sound.h"
#include "audio/sound_bank_table.h"
#include "audio/sound_manager.h"
#include "platform/audio/offline_output.h"
#include "tests/audio/wave_bytes.h"
#include "tools/make_sound_pack/sound_pack.h"

struct Box {
  std::string text;
  std::string title;
  unsigned type;
};

class RecordingPresenter final : public MessageBoxPresenter {
 public:
  int Show(HWND, std::string_view text, std::string_view title, unsigned type) override {
    boxes.push_back({std::string(text), std::string(title), type});
    return IDOK;
  }
  std::vector<Box> boxes;
};

class SoundBankTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteSoundPack(folder_.Path().string(), SoundPackOptions{.speech = false}));
    output_ = &UseOfflineSoundDevice();
    ASSERT_EQ(manager_.Init(nullptr, DSSCL_NORMAL), S_OK);
    session.soundManager = &manager_;
    SetMessageBoxPresenter(&presenter_);
  }

  void TearDown() override {
    for (const SoundBankEntry& entry : SoundBankEntries()) {
      Sound** handle = entry.handle(session.bank);
      delete *handle;
      *handle = nullptr;
    }
    session.soundManager = nullptr;
    SetMessageBoxPresenter(nullptr);
  }

  // How many entries, from the first, are loaded; the rest must all be null.
  static int LoadedPrefix() {
    int loaded = 0;
    for (const SoundBankEntry& entry : SoundBankEntries()) {
      if (*entry.handle(session.bank) == nullptr) break;
      ++loaded;
    }
    for (const SoundBankEntry& entry : SoundBankEntries().subspan(static_cast<std::size_t>(loaded))) {
      EXPECT_EQ(*entry.handle(session.bank), nullptr) << entry.file;
    }
    return loaded;
  }

  ScratchFolder folder_;
  SoundManager manager_;
  RecordingPresenter presenter_;
  OfflineOutput* output_ = nullptr;
};
