#include "audio/sound_manager.h"

#include <gtest/gtest.h>

#include "audio/sound.h"
#include "tests/audio/rendered_device.h"
#include "tests/audio/scripted_buffer.h"

namespace {

Sound* const UNTOUCHED = reinterpret_cast<Sound*>(0x1234);

class SoundManagerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(manager_.Init(nullptr, DSSCL_NORMAL), S_OK); }

  RenderedDevice device_;  // installs the offline device and runs in a scratch folder
  SoundManager manager_;
  Sound* sound_ = UNTOUCHED;
};

TEST_F(SoundManagerTest, CreatedSoundIsFilledAndPlaysAtOnce) {
  WriteFile("Sounds/tone.wav", PcmWave(1, 44100, 16, Pcm16(SineSamples(1000, 0.2, 44100))));
  ASSERT_EQ(manager_.CreateSound(&sound_, "Sounds\\tone.wav", DSBCAPS_GLOBALFOCUS, GUID_NULL, 1),
            S_OK);
  std::unique_ptr<Sound> owned(sound_);
  owned->Play(0, 0, 0, -1, 0);
  const std::vector<float> out = device_.Render(0.25);
  EXPECT_GT(RenderedDevice::Rms({out.begin() + 441, out.begin() + 8379}), 0.2);
  EXPECT_LT(RenderedDevice::Rms({out.begin() + 8900, out.end()}), 1e-4);
}

TEST_F(SoundManagerTest, UnusableFilesFailAndLeaveThePointer) {
  WriteFile("Sounds/empty.wav", PcmWave(1, 8000, 8, {}));
  WriteFile("Sounds/deep.wav", PcmWave(1, 8000, 24, Bytes(60, 0)));
  EXPECT_EQ(manager_.CreateSound(&sound_, "Sounds\\absent.wav", 0, GUID_NULL, 1), E_FAIL);
  EXPECT_EQ(manager_.CreateSound(&sound_, "Sounds\\empty.wav", 0, GUID_NULL, 1), E_FAIL);
  EXPECT_EQ(manager_.CreateSound(&sound_, "Sounds\\deep.wav", 0, GUID_NULL, 1), DSERR_BADFORMAT);
  EXPECT_EQ(sound_, UNTOUCHED);
}

TEST_F(SoundManagerTest, ArgumentsAreChecked) {
  WriteFile("Sounds/beep.wav", PcmWave(1, 8000, 8, Bytes(60, 0)));
  EXPECT_EQ(manager_.CreateSound(&sound_, "Sounds\\beep.wav", 0, GUID_NULL, 0), E_INVALIDARG);
  EXPECT_EQ(manager_.CreateSound(&sound_, nullptr, 0, GUID_NULL, 1), E_INVALIDARG);
  EXPECT_EQ(manager_.CreateSound(nullptr, "Sounds\\beep.wav", 0, GUID_NULL, 1), E_INVALIDARG);
  EXPECT_EQ(sound_, UNTOUCHED);
}

TEST(SoundManagerInitTest, CreateBeforeInitAndInitWithoutADevice) {
  SoundManager manager;
  Sound* sound = UNTOUCHED;
  EXPECT_EQ(manager.CreateSound(&sound, "Sounds\\beep.wav", 0, GUID_NULL, 1),
            CO_E_NOTINITIALIZED);
  SetDirectSoundFactory({});
  EXPECT_TRUE(Failed(manager.Init(nullptr, DSSCL_NORMAL)));
  EXPECT_EQ(manager.CreateSound(&sound, "Sounds\\beep.wav", 0, GUID_NULL, 1),
            CO_E_NOTINITIALIZED);
  EXPECT_EQ(sound, UNTOUCHED);
}

// A device that answers buffer creation with the "no virtualisation" success code.
class UnvirtualisedDevice final : public IDirectSound8 {
 public:
  HRESULT SetCooperativeLevel(HWND, DWORD) override { return DS_OK; }
  HRESULT CreateSoundBuffer(const DSBUFFERDESC*, std::unique_ptr<IDirectSoundBuffer>* buffer,
                            void*) override {
    *buffer = std::make_unique<ScriptedBuffer>();
    return DS_NO_VIRTUALIZATION;
  }
  HRESULT DuplicateSoundBuffer(IDirectSoundBuffer*,
                               std::unique_ptr<IDirectSoundBuffer>*) override {
    return DSERR_INVALIDPARAM;
  }
};

TEST(SoundManagerStatusTest, NoVirtualisationIsSuccessAndIsPassedOn) {
  ScratchFolder folder;
  WriteFile("Sounds/beep.wav", PcmWave(1, 8000, 8, Bytes(60, 0)));
  SetDirectSoundFactory([](std::unique_ptr<IDirectSound8>* device) {
    *device = std::make_unique<UnvirtualisedDevice>();
    return DS_OK;
  });
  SoundManager manager;
  ASSERT_EQ(manager.Init(nullptr, DSSCL_NORMAL), S_OK);
  Sound* sound = nullptr;
  EXPECT_EQ(manager.CreateSound(&sound, "Sounds\\beep.wav", 0, GUID_NULL, 1),
            DS_NO_VIRTUALIZATION);
  ASSERT_NE(sound, nullptr);
  delete sound;
  SetDirectSoundFactory({});
}

}  // namespace
