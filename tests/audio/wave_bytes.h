// Helpers for audio tests: WAVE files assembled chunk by chunk, and a scratch folder
// that the test runs in. Test thread only.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/scratch_folder.h"

using Bytes = std::vector<std::uint8_t>;

void Append16(Bytes& bytes, std::uint16_t value);
void Append32(Bytes& bytes, std::uint32_t value);
// A chunk with its id, declared size (the payload's unless given) and the pad byte.
Bytes Chunk(const std::string& id, const Bytes& payload);
Bytes ChunkWithSize(const std::string& id, std::uint32_t declaredSize, const Bytes& payload);
// The 16 bytes of a PCM format.
Bytes PcmFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits);
// "RIFF" size "WAVE" followed by the chunks.
Bytes Riff(const std::vector<Bytes>& chunks);
// A plain PCM file holding the samples.
Bytes PcmWave(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits, const Bytes& data);
// 16-bit mono samples from values in -1..1.
Bytes Pcm16(const std::vector<float>& samples);

void WriteFile(const std::filesystem::path& path, const Bytes& bytes);

