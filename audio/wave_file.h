// WaveFile: reads one RIFF WAVE file (format block and data chunk) from disk, keeping
// the file open so a lost sound buffer can be refilled later. Chunk sizes from the
// file are never trusted beyond the file's end. Used by one Sound at a time (no lock).
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "app/platform_types.h"
#include "audio/direct_sound.h"

class WaveFile {
 public:
  static constexpr DWORD READ = 1;

  WaveFile() = default;
  ~WaveFile();
  WaveFile(const WaveFile&) = delete;
  WaveFile& operator=(const WaveFile&) = delete;

  // fileName as the module names it ("Sounds\\beep31.wav"); only READ is supported.
  // E_INVALIDARG without a name or for another mode, E_FAIL when the file cannot be
  // opened or parsed; DataSize() stays 0 then.
  HRESULT Open(const char* fileName, DWORD mode);
  // The format block (18 + cbSize bytes); null until a header was parsed.
  const WAVEFORMATEX* Format() const { return format_.get() ? FormatHeader() : nullptr; }
  DWORD FormatSize() const { return formatSize_; }
  // Sample bytes the file really holds (at most what the data chunk declares).
  DWORD DataSize() const { return dataSize_; }
  HRESULT Rewind();
  // Copies up to count sample bytes; 0 bytes and S_OK at the end of the data.
  HRESULT Read(BYTE* destination, DWORD count, DWORD* bytesRead);
  HRESULT Close();

 private:
  struct Chunk {
    std::uint32_t id = 0;
    std::uint32_t size = 0;
    std::uint64_t dataOffset = 0;
  };

  const WAVEFORMATEX* FormatHeader() const;
  HRESULT ParseHeader();
  HRESULT ReadFormat(const Chunk& chunk);
  bool ReadChunkHeader(Chunk* chunk);
  bool FindChunk(std::uint32_t id, Chunk* chunk);
  // Reads at the current position and moves it on; false when the file ends first.
  bool ReadBytes(void* destination, std::size_t count);
  bool ReadFromFile(unsigned char* destination, std::size_t count);
  // Moves the position only: reads say where they read, so no seek reaches the system.
  bool Seek(std::uint64_t offset);

  std::unique_ptr<std::byte[]> format_;
  DWORD formatSize_ = 0;
  int file_ = -1;  // descriptor, read with positioned reads
  std::uint64_t position_ = 0;
  // The file's first bytes, read once: the header's many small reads come from here.
  static constexpr std::size_t HEAD_SIZE = 512;
  std::array<unsigned char, HEAD_SIZE> head_{};
  std::size_t headSize_ = 0;
  std::uint64_t fileSize_ = 0;
  Chunk dataChunk_;
  DWORD remaining_ = 0;
  Chunk riffChunk_;
  DWORD dataSize_ = 0;
};
