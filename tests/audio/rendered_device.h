// A sound device whose mix the test pulls (the real OpenAL mixer, offline), with
// helpers to make test sounds and to measure what comes out. Test thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/direct_sound.h"
#include "audio/sound.h"
#include "platform/audio/offline_output.h"
#include "tests/audio/wave_bytes.h"

constexpr int OUT_RATE = 44100;

// A sine of amplitude 0.5 as 16-bit mono.
std::vector<float> SineSamples(double frequency, double seconds, int rate);

class RenderedDevice {
 public:
  RenderedDevice();

  // Writes Sounds/<name> and makes a Sound of it on a buffer of the device; *buffer (if
  // given) is the Sound's buffer, for reading its position. bufferSize 0: the data size.
  std::unique_ptr<Sound> MakeSound(const std::string& name, const Bytes& wave, DWORD flags,
                                   IDirectSoundBuffer** buffer = nullptr, DWORD bufferSize = 0);
  // The left channel of the next frames of the mix.
  std::vector<float> Render(double seconds);
  struct Peaks {
    int left;
    int right;
  };
  // The highest sample magnitude of each channel over the next frames of the mix.
  Peaks RenderPeaks(double seconds);
  static double Rms(const std::vector<float>& samples);
  // Frequency from the count of upward zero crossings.
  static double Frequency(const std::vector<float>& samples);
  static DWORD Position(IDirectSoundBuffer* buffer);

  OfflineOutput& Output() { return output_; }
  IDirectSound8& Device() { return *device_; }

 private:
  ScratchFolder folder_;
  OfflineOutput& output_;
  std::unique_ptr<IDirectSound8> device_;
};
