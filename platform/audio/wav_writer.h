// WavWriter: a 16-bit stereo WAV file at MIX_RATE that stays valid while it grows: the
// header's sizes are brought up to date after every append, so a process that ends
// without closing leaves a playable file. One thread at a time.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

class WavWriter {
 public:
  // Null when the file cannot be created.
  static std::unique_ptr<WavWriter> Create(const std::string& path);
  ~WavWriter();
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  bool Append(const std::int16_t* frames, int frameCount);

 private:
  explicit WavWriter(std::FILE* file) : file_(file) {}
  bool WriteSizes();

  std::FILE* file_;
  std::uint32_t dataBytes_ = 0;
};
