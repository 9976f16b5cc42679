#include "tests/audio/rendered_device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "audio/wave_file.h"

std::vector<float> SineSamples(double frequency, double seconds, int rate) {
  std::vector<float> samples(static_cast<std::size_t>(seconds * rate));
  for (std::size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<float>(
        0.5 * std::sin(2.0 * std::numbers::pi * frequency * static_cast<double>(i) / rate));
  }
  return samples;
}

RenderedDevice::RenderedDevice() : output_(UseOfflineSoundDevice()) {
  EXPECT_EQ(DirectSoundCreate8(nullptr, &device_, nullptr), DS_OK);
}

std::unique_ptr<Sound> RenderedDevice::MakeSound(const std::string& name, const Bytes& wave,
                                                 DWORD flags, IDirectSoundBuffer** buffer,
                                                 DWORD bufferSize) {
  WriteFile(folder_.Path() / "Sounds" / name, wave);
  auto file = std::make_unique<WaveFile>();
  EXPECT_EQ(file->Open(("Sounds\\" + name).c_str(), WaveFile::READ), S_OK);
  DSBUFFERDESC description;
  description.dwFlags = flags;
  description.dwBufferBytes = bufferSize != 0 ? bufferSize : file->DataSize();
  description.lpwfxFormat = file->Format();
  Sound::Buffers buffers(1);
  EXPECT_EQ(device_->CreateSoundBuffer(&description, &buffers[0], nullptr), DS_OK);
  if (buffer != nullptr) *buffer = buffers[0].get();
  return std::make_unique<Sound>(std::move(buffers), description.dwBufferBytes, std::move(file),
                                 flags, name);
}

std::vector<float> RenderedDevice::Render(double seconds) {
  const auto frames = static_cast<int>(seconds * OUT_RATE);
  const std::vector<std::int16_t> mix = output_.Render(frames);
  std::vector<float> left(static_cast<std::size_t>(frames));
  for (std::size_t i = 0; i < left.size(); ++i) left[i] = mix[2 * i] / 32768.0f;
  return left;
}

RenderedDevice::Peaks RenderedDevice::RenderPeaks(double seconds) {
  const std::vector<std::int16_t> mix = output_.Render(static_cast<int>(seconds * OUT_RATE));
  Peaks peaks{0, 0};
  for (std::size_t i = 0; i + 1 < mix.size(); i += 2) {
    peaks.left = std::max(peaks.left, std::abs(static_cast<int>(mix[i])));
    peaks.right = std::max(peaks.right, std::abs(static_cast<int>(mix[i + 1])));
  }
  return peaks;
}

double RenderedDevice::Rms(const std::vector<float>& samples) {
  double sum = 0.0;
  for (const float sample : samples) sum += static_cast<double>(sample) * sample;
  return samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

double RenderedDevice::Frequency(const std::vector<float>& samples) {
  int crossings = 0;
  for (std::size_t i = 1; i < samples.size(); ++i) {
    if (samples[i - 1] < 0.0f && samples[i] >= 0.0f) ++crossings;
  }
  return crossings * static_cast<double>(OUT_RATE) / static_cast<double>(samples.size());
}

DWORD RenderedDevice::Position(IDirectSoundBuffer* buffer) {
  DWORD play = 0;
  EXPECT_EQ(buffer->GetCurrentPosition(&play, nullptr), DS_OK);
  return play;
}
