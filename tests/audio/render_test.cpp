// The device through the real mixer: what comes out when sounds are played.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/audio/openal_sound_device.h"
#include "tests/audio/rendered_device.h"

namespace {

constexpr DWORD VOLUME_FLAGS = DSBCAPS_GLOBALFOCUS | DSBCAPS_CTRLVOLUME;
constexpr DWORD ALL_FLAGS = VOLUME_FLAGS | DSBCAPS_CTRLFREQUENCY;
constexpr double SILENT = 1e-4;

Bytes Tone(double frequency, double seconds, std::uint32_t rate = OUT_RATE) {
  return PcmWave(1, rate, 16, Pcm16(SineSamples(frequency, seconds, static_cast<int>(rate))));
}

// 16-bit frames of a second of a 1 kHz tone with the given peak in each channel.
Bytes ToneFrames(const std::vector<int>& peaks) {
  Bytes bytes;
  for (const float sample : SineSamples(1000, 1.0, OUT_RATE)) {
    for (const int peak : peaks) {
      Append16(bytes, static_cast<std::uint16_t>(std::lround(2.0 * sample * peak)));
    }
  }
  return bytes;
}

double Decibels(double level, double reference) { return 20.0 * std::log10(level / reference); }

class RenderTest : public ::testing::Test {
 protected:
  // A bare buffer of bytes bytes of PCM at 22050 Hz, made straight on the device.
  std::unique_ptr<IDirectSoundBuffer> CreateBuffer(WORD channels, WORD bits, DWORD bytes) {
    const auto blockAlign = static_cast<WORD>(channels * bits / 8);
    WAVEFORMATEX format{WAVE_FORMAT_PCM, channels, 22050, 22050u * blockAlign, blockAlign, bits, 0};
    DSBUFFERDESC description;
    description.dwFlags = DSBCAPS_GLOBALFOCUS;
    description.dwBufferBytes = bytes;
    description.lpwfxFormat = &format;
    std::unique_ptr<IDirectSoundBuffer> buffer;
    EXPECT_EQ(device_.Device().CreateSoundBuffer(&description, &buffer, nullptr), DS_OK);
    return buffer;
  }

  RenderedDevice device_;
};

TEST_F(RenderTest, VolumeIsHundredthsOfADecibel) {
  auto sound = device_.MakeSound("tone.wav", Tone(1000, 1.0), ALL_FLAGS);
  ASSERT_EQ(sound->Play(0, DSBPLAY_LOOPING, 0, -1, 0), DS_OK);
  device_.Render(0.05);
  const double full = RenderedDevice::Rms(device_.Render(0.2));
  ASSERT_GT(full, 0.1);

  sound->Play(0, DSBPLAY_LOOPING, -600, -1, 0);
  device_.Render(0.05);
  EXPECT_NEAR(Decibels(RenderedDevice::Rms(device_.Render(0.2)), full), -6.0, 0.5);

  // Values outside -10000..0 are refused and the previous volume stays.
  sound->Play(0, DSBPLAY_LOOPING, -10001, -1, 0);
  sound->Play(0, DSBPLAY_LOOPING, 1, -1, 0);
  device_.Render(0.05);
  EXPECT_NEAR(Decibels(RenderedDevice::Rms(device_.Render(0.2)), full), -6.0, 0.5);

  sound->Play(0, DSBPLAY_LOOPING, -10000, -1, 0);
  device_.Render(0.05);
  EXPECT_LT(RenderedDevice::Rms(device_.Render(0.2)), SILENT);
}

// A 1 kHz tone of peak 16000 in the file (the right channel of the stereo one at 8000):
// at volume 0 each channel plays at the file's level, -600 is 6 dB down (x 0.501),
// -10000 is silence.
TEST_F(RenderTest, MonoAndStereoFilesPlayAtTheirRecordedLevels) {
  struct Case {
    std::vector<int> peaks;  // per channel
    const char* name;
  };
  for (const Case& c : {Case{{16000}, "mono.wav"}, Case{{16000, 8000}, "stereo.wav"}}) {
    const auto channels = static_cast<std::uint16_t>(c.peaks.size());
    auto sound = device_.MakeSound(c.name, PcmWave(channels, OUT_RATE, 16, ToneFrames(c.peaks)),
                                   VOLUME_FLAGS);
    for (const auto& [volume, scale] : {std::pair{LONG{0}, 1.0}, std::pair{LONG{-600}, 0.501}}) {
      sound->Play(0, DSBPLAY_LOOPING, volume, -1, 0);
      device_.Render(0.05);
      const RenderedDevice::Peaks peaks = device_.RenderPeaks(0.1);
      EXPECT_NEAR(peaks.left, c.peaks.front() * scale, 80) << c.name << " at " << volume;
      EXPECT_NEAR(peaks.right, c.peaks.back() * scale, 80) << c.name << " at " << volume;
    }
    sound->Play(0, DSBPLAY_LOOPING, -10000, -1, 0);
    device_.Render(0.05);
    const RenderedDevice::Peaks silent = device_.RenderPeaks(0.1);
    EXPECT_LE(std::max(silent.left, silent.right), 2) << c.name << " (the mixer's dither)";
    sound->Stop();
  }
}

TEST_F(RenderTest, FrequencyIsThePlaybackRate) {
  auto sound = device_.MakeSound("tone.wav", Tone(500, 1.0, 22050), ALL_FLAGS);
  sound->Play(0, DSBPLAY_LOOPING, 0, -1, 0);
  device_.Render(0.05);
  EXPECT_NEAR(RenderedDevice::Frequency(device_.Render(0.2)), 500.0, 10.0);

  sound->Play(0, DSBPLAY_LOOPING, 0, 44100, 0);
  device_.Render(0.05);
  EXPECT_NEAR(RenderedDevice::Frequency(device_.Render(0.2)), 1000.0, 10.0);

  // Out of range: refused, the doubled rate stays; -1 leaves it too.
  sound->Play(0, DSBPLAY_LOOPING, 0, 99, 0);
  sound->Play(0, DSBPLAY_LOOPING, 0, 200001, 0);
  sound->Play(0, DSBPLAY_LOOPING, 0, -1, 0);
  device_.Render(0.05);
  EXPECT_NEAR(RenderedDevice::Frequency(device_.Render(0.2)), 1000.0, 10.0);

  // 0 goes back to the file's own rate.
  sound->Play(0, DSBPLAY_LOOPING, 0, 0, 0);
  device_.Render(0.05);
  EXPECT_NEAR(RenderedDevice::Frequency(device_.Render(0.2)), 500.0, 10.0);
}

TEST_F(RenderTest, StopPausesAndRewindRestarts) {
  IDirectSoundBuffer* buffer = nullptr;
  auto sound = device_.MakeSound("tone.wav", Tone(1000, 1.0), DSBCAPS_GLOBALFOCUS, &buffer);
  sound->Play(0, 0, 0, -1, 0);
  device_.Render(0.25);
  ASSERT_EQ(sound->Stop(), DS_OK);
  const DWORD stoppedAt = RenderedDevice::Position(buffer);
  EXPECT_NEAR(stoppedAt, 0.25 * OUT_RATE * 2, 1024);
  EXPECT_FALSE(sound->IsPlaying());
  device_.Render(0.01);  // the mixer's de-click fade
  EXPECT_LT(RenderedDevice::Rms(device_.Render(0.1)), SILENT);
  EXPECT_EQ(RenderedDevice::Position(buffer), stoppedAt);

  sound->Play(0, 0, 0, -1, 0);
  EXPECT_GT(RenderedDevice::Rms(device_.Render(0.1)), 0.1);
  EXPECT_NEAR(RenderedDevice::Position(buffer), stoppedAt + 0.1 * OUT_RATE * 2, 1024)
      << "resumed where it stopped";

  sound->Stop();
  ASSERT_EQ(sound->Rewind(), DS_OK);
  sound->Play(0, 0, 0, -1, 0);
  device_.Render(0.1);
  EXPECT_NEAR(RenderedDevice::Position(buffer), 0.1 * OUT_RATE * 2, 1024);
}

TEST_F(RenderTest, PlayOnAPlayingBufferContinuesAndRewindDoesNotStop) {
  IDirectSoundBuffer* buffer = nullptr;
  auto sound = device_.MakeSound("tone.wav", Tone(1000, 1.0), DSBCAPS_GLOBALFOCUS, &buffer);
  sound->Play(0, 0, 0, -1, 0);
  device_.Render(0.2);
  sound->Play(0, 0, 0, -1, 0);
  device_.Render(0.1);
  EXPECT_NEAR(RenderedDevice::Position(buffer), 0.3 * OUT_RATE * 2, 1024);

  sound->Rewind();
  EXPECT_TRUE(sound->IsPlaying());
  device_.Render(0.1);
  EXPECT_NEAR(RenderedDevice::Position(buffer), 0.1 * OUT_RATE * 2, 1024);
}

TEST_F(RenderTest, FinishedOneShotIsNotPlayingAndStartsOverOnPlay) {
  IDirectSoundBuffer* buffer = nullptr;
  auto sound = device_.MakeSound("short.wav", Tone(1000, 0.1), DSBCAPS_GLOBALFOCUS, &buffer);
  sound->Play(0, 0, 0, -1, 0);
  EXPECT_TRUE(sound->IsPlaying());
  device_.Render(0.2);
  EXPECT_FALSE(sound->IsPlaying());
  EXPECT_EQ(RenderedDevice::Position(buffer), 0u);
  EXPECT_LT(RenderedDevice::Rms(device_.Render(0.05)), SILENT);

  sound->Play(0, 0, 0, -1, 0);
  EXPECT_GT(RenderedDevice::Rms(device_.Render(0.05)), 0.1);
  EXPECT_NEAR(RenderedDevice::Position(buffer), 0.05 * OUT_RATE * 2, 1024);
}

TEST_F(RenderTest, LoopPlaysPastItsEndWithoutAGap) {
  // 50 whole cycles: the end joins the start.
  auto sound = device_.MakeSound("loop.wav", Tone(1000, 0.05), DSBCAPS_GLOBALFOCUS);
  sound->Play(0, DSBPLAY_LOOPING, 0, -1, 0);
  device_.Render(0.01);
  const std::vector<float> out = device_.Render(0.3);
  EXPECT_TRUE(sound->IsPlaying());
  // Every 2.5 ms window holds the tone at full level: no dropout at the joins.
  const double full = RenderedDevice::Rms(out);
  for (std::size_t start = 0; start + 110 <= out.size(); start += 110) {
    const std::vector<float> window(out.begin() + static_cast<long>(start),
                                    out.begin() + static_cast<long>(start + 110));
    ASSERT_NEAR(RenderedDevice::Rms(window), full, 0.1 * full) << "at frame " << start;
  }
  // The loop flag can be dropped while playing: the loop ends at its end.
  sound->Play(0, 0, 0, -1, 0);
  device_.Render(0.1);
  EXPECT_FALSE(sound->IsPlaying());
}

TEST_F(RenderTest, BuffersWithoutGlobalFocusAreSilentWhileTheDialogIsInactive) {
  auto local = device_.MakeSound("local.wav", Tone(1000, 1.0), 0);
  local->Play(0, DSBPLAY_LOOPING, 0, -1, 0);
  SetDialogActive(false);
  device_.Render(0.05);
  EXPECT_LT(RenderedDevice::Rms(device_.Render(0.1)), SILENT);
  EXPECT_TRUE(local->IsPlaying());

  auto global = device_.MakeSound("global.wav", Tone(1000, 1.0), DSBCAPS_GLOBALFOCUS);
  global->Play(0, DSBPLAY_LOOPING, 0, -1, 0);
  device_.Render(0.05);
  const double globalOnly = RenderedDevice::Rms(device_.Render(0.1));
  EXPECT_GT(globalOnly, 0.1);
  global->Stop();

  SetDialogActive(true);
  device_.Render(0.05);
  EXPECT_GT(RenderedDevice::Rms(device_.Render(0.1)), 0.1);
}

TEST_F(RenderTest, FillPadsWithTheSilenceOfTheSampleWidth) {
  for (const std::uint16_t bits : {std::uint16_t{8}, std::uint16_t{16}}) {
    IDirectSoundBuffer* buffer = nullptr;
    const Bytes data(10, 0x11);
    auto sound = device_.MakeSound("pad.wav", PcmWave(1, 8000, bits, data), DSBCAPS_GLOBALFOCUS,
                                   &buffer, 64);
    void* area = nullptr;
    DWORD size = 0;
    ASSERT_EQ(buffer->Lock(0, 64, &area, &size, nullptr, nullptr, 0), DS_OK);
    const auto* bytes = static_cast<const std::uint8_t*>(area);
    const Bytes filled(bytes, bytes + size);
    buffer->Unlock(area, size, nullptr, 0);
    Bytes expected(64, bits == 8 ? 0x80 : 0x00);
    std::copy(data.begin(), data.end(), expected.begin());
    EXPECT_EQ(filled, expected) << bits << "-bit";
  }
}

// A new buffer's silence goes to the mixer only when the buffer is used before it is
// written; it must then play (and be silent), and writing it later must still be heard.
TEST_F(RenderTest, ABufferPlayedBeforeItIsWrittenPlaysItsSilence) {
  for (const std::uint16_t bits : {std::uint16_t{8}, std::uint16_t{16}}) {
    const DWORD blockAlign = bits / 8u;
    const auto buffer = CreateBuffer(1, bits, 22050u * blockAlign);
    ASSERT_NE(buffer, nullptr);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    DWORD status = 0;
    buffer->GetStatus(&status);
    EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING) << bits << "-bit";
    EXPECT_LT(RenderedDevice::Rms(device_.Render(0.1)), SILENT) << bits << "-bit";
    buffer->GetStatus(&status);
    EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING) << bits << "-bit, after a while";
    EXPECT_GT(RenderedDevice::Position(buffer.get()), blockAlign * 1000u) << bits << "-bit moves on";

    void* area = nullptr;
    DWORD size = 0;
    ASSERT_EQ(buffer->Lock(0, 0, &area, &size, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
    auto* bytes = static_cast<std::uint8_t*>(area);
    for (DWORD i = 0; i < size; ++i) bytes[i] = (i / 20) % 2 == 0 ? 0x20 : 0xE0;  // a loud square
    buffer->Unlock(area, size, nullptr, 0);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    device_.Render(0.02);
    EXPECT_GT(RenderedDevice::Rms(device_.Render(0.1)), 0.1) << bits << "-bit, once written";
    buffer->Stop();
    device_.Render(0.2);  // the mix lets the stopped square die away
  }
}

// OpenAL takes whole frames only: a size with a partial frame keeps its samples in memory
// of its own and hands the mixer the whole frames, as written at Unlock.
TEST_F(RenderTest, ASizeWithAPartialFramePlaysItsWholeFrames) {
  constexpr DWORD BYTES = 22050u * 4 + 3;
  const auto buffer = CreateBuffer(2, 16, BYTES);
  ASSERT_NE(buffer, nullptr);
  void* area = nullptr;
  DWORD size = 0;
  ASSERT_EQ(buffer->Lock(0, 0, &area, &size, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
  ASSERT_EQ(size, BYTES);
  auto* samples = static_cast<std::int16_t*>(area);
  for (DWORD i = 0; i < size / 2; ++i) samples[i] = (i / 40) % 2 == 0 ? 12000 : -12000;
  ASSERT_EQ(buffer->Unlock(area, size, nullptr, 0), DS_OK);
  EXPECT_EQ(buffer->SetCurrentPosition(size - 1), DSERR_INVALIDPARAM) << "the partial frame";
  EXPECT_EQ(buffer->SetCurrentPosition(size - 7), DS_OK) << "the last whole frame";
  buffer->SetCurrentPosition(0);
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  device_.Render(0.02);
  EXPECT_GT(RenderedDevice::Rms(device_.Render(0.1)), 0.1);
  buffer->Stop();
  device_.Render(0.2);
}

TEST_F(RenderTest, LostBuffersAreRestoredAndRefilledOnceAnOutputIsBack) {
  IDirectSoundBuffer* buffer = nullptr;
  auto sound = device_.MakeSound("tone.wav", Tone(1000, 1.0), DSBCAPS_GLOBALFOCUS, &buffer);
  sound->Play(0, DSBPLAY_LOOPING, 0, -1, 0);
  device_.Output().Disconnect();
  DWORD status = 0;
  ASSERT_EQ(buffer->GetStatus(&status), DS_OK);
  EXPECT_EQ(status, DSBSTATUS_BUFFERLOST);
  EXPECT_FALSE(sound->IsPlaying());
  EXPECT_EQ(sound->Play(0, DSBPLAY_LOOPING, 0, -1, 0), DSERR_BUFFERLOST);

  device_.Output().Reconnect();
  buffer->GetStatus(&status);
  EXPECT_EQ(status, DSBSTATUS_BUFFERLOST) << "lost until restored";
  ASSERT_EQ(sound->Play(0, DSBPLAY_LOOPING, 0, -1, 0), DS_OK);
  device_.Render(0.02);
  EXPECT_GT(RenderedDevice::Rms(device_.Render(0.1)), 0.1) << "refilled";
}

TEST_F(RenderTest, FormatsTheMixerCannotPlayAreRefused) {
  struct Case {
    std::uint16_t channels;
    std::uint32_t rate;
    std::uint16_t bits;
  };
  for (const Case c : {Case{1, 22050, 24}, Case{3, 22050, 16}, Case{1, 99, 16},
                       Case{2, 200001, 8}, Case{0, 22050, 16}}) {
    WAVEFORMATEX format{1, c.channels, c.rate, 0, static_cast<WORD>(c.channels * c.bits / 8),
                        c.bits, 0};
    DSBUFFERDESC description;
    description.dwFlags = DSBCAPS_GLOBALFOCUS;
    description.dwBufferBytes = 64;
    description.lpwfxFormat = &format;
    std::unique_ptr<IDirectSoundBuffer> buffer;
    EXPECT_EQ(device_.Device().CreateSoundBuffer(&description, &buffer, nullptr), DSERR_BADFORMAT)
        << c.channels << " channels, " << c.rate << " Hz, " << c.bits << " bits";
    EXPECT_EQ(buffer, nullptr);
  }
}

}  // namespace
