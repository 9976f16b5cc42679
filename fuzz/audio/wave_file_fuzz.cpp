// Fuzz target for the WAVE reader: any bytes as a file in the Sounds folder, opened,
// rewound and read to the end in uneven pieces. Must never crash, hang or read out of
// bounds, and never hand out more bytes than it reports.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio/wave_file.h"

namespace {

// The scratch folder the inputs are written to; it is the current directory while the
// target runs and is removed at exit.
struct ScratchFolder {
  ScratchFolder()
      : path(std::filesystem::temp_directory_path() / ("wave-fuzz-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path / "Sounds");
    std::filesystem::current_path(path);
  }
  ~ScratchFolder() {
    std::error_code error;
    std::filesystem::current_path(path.parent_path(), error);
    std::filesystem::remove_all(path, error);
  }
  std::filesystem::path path;
};

const std::filesystem::path& Folder() {
  static const ScratchFolder folder;
  return folder.path;
}

void ReadAll(WaveFile& wave) {
  std::vector<BYTE> buffer(4096);
  for (DWORD piece = 1;; piece = piece * 3 + 1) {
    DWORD read = 0;
    const DWORD count = static_cast<DWORD>(std::min<std::size_t>(piece, buffer.size()));
    if (Failed(wave.Read(buffer.data(), count, &read)) || read == 0) return;
    if (read > count) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::ofstream out(Folder() / "Sounds" / "input.wav", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  WaveFile wave;
  if (Succeeded(wave.Open("Sounds\\input.wav", WaveFile::READ))) {
    const WAVEFORMATEX* format = wave.Format();
    if (format == nullptr || wave.DataSize() > size || wave.FormatSize() < 18) __builtin_trap();
    ReadAll(wave);
    if (Succeeded(wave.Rewind())) ReadAll(wave);
  }
  return 0;
}
