#include "tools/wave_io/wave_io.h"

#include <fstream>

#include "audio/wave_file.h"

namespace {

void Put(std::ofstream& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFFu));
}

}  // namespace

bool WriteWave(const std::string& path, const Clip& clip) {
  const auto dataBytes = static_cast<std::uint32_t>(clip.samples.size() * 2);
  const auto channels = static_cast<std::uint32_t>(clip.channels);
  const auto rate = static_cast<std::uint32_t>(clip.rate);
  std::ofstream out(path, std::ios::binary);
  out.write("RIFF", 4);
  Put(out, 36 + dataBytes, 4);
  out.write("WAVEfmt ", 8);
  Put(out, 16, 4);
  Put(out, 1, 2);
  Put(out, channels, 2);
  Put(out, rate, 4);
  Put(out, rate * channels * 2, 4);
  Put(out, channels * 2, 2);
  Put(out, 16, 2);
  out.write("data", 4);
  Put(out, dataBytes, 4);
  for (const std::int16_t sample : clip.samples) Put(out, static_cast<std::uint16_t>(sample), 2);
  return static_cast<bool>(out);
}

std::optional<Clip> ReadWave(const std::string& path) {
  WaveFile wave;
  if (Failed(wave.Open(path.c_str(), WaveFile::READ))) return std::nullopt;
  const WAVEFORMATEX& format = *wave.Format();
  if (format.wFormatTag != WAVE_FORMAT_PCM || format.wBitsPerSample != 16) return std::nullopt;
  Clip clip{static_cast<int>(format.nSamplesPerSec), format.nChannels,
            std::vector<std::int16_t>(wave.DataSize() / 2)};
  DWORD read = 0;
  if (Failed(wave.Read(reinterpret_cast<BYTE*>(clip.samples.data()), wave.DataSize(), &read))) {
    return std::nullopt;
  }
  clip.samples.resize(read / 2);
  return clip;
}
