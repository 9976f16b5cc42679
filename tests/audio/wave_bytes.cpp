#include "tests/audio/wave_bytes.h"

#include <cmath>
#include <fstream>

void Append16(Bytes& bytes, std::uint16_t value) {
  bytes.push_back(static_cast<std::uint8_t>(value));
  bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Append32(Bytes& bytes, std::uint32_t value) {
  Append16(bytes, static_cast<std::uint16_t>(value));
  Append16(bytes, static_cast<std::uint16_t>(value >> 16));
}

Bytes ChunkWithSize(const std::string& id, std::uint32_t declaredSize, const Bytes& payload) {
  Bytes chunk(id.begin(), id.end());
  Append32(chunk, declaredSize);
  chunk.insert(chunk.end(), payload.begin(), payload.end());
  if (payload.size() % 2 != 0) chunk.push_back(0);
  return chunk;
}

Bytes Chunk(const std::string& id, const Bytes& payload) {
  return ChunkWithSize(id, static_cast<std::uint32_t>(payload.size()), payload);
}

Bytes PcmFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
  Bytes format;
  const auto blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
  Append16(format, 1);
  Append16(format, channels);
  Append32(format, rate);
  Append32(format, rate * blockAlign);
  Append16(format, blockAlign);
  Append16(format, bits);
  return format;
}

Bytes Riff(const std::vector<Bytes>& chunks) {
  Bytes body{'W', 'A', 'V', 'E'};
  for (const Bytes& chunk : chunks) body.insert(body.end(), chunk.begin(), chunk.end());
  Bytes riff{'R', 'I', 'F', 'F'};
  Append32(riff, static_cast<std::uint32_t>(body.size()));
  riff.insert(riff.end(), body.begin(), body.end());
  return riff;
}

Bytes PcmWave(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits, const Bytes& data) {
  return Riff({Chunk("fmt ", PcmFormat(channels, rate, bits)), Chunk("data", data)});
}

Bytes Pcm16(const std::vector<float>& samples) {
  Bytes bytes;
  for (const float sample : samples) {
    Append16(bytes, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(sample * 32767.0f))));
  }
  return bytes;
}

void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

