// A sound device for the dialog tests: buffers that only record what is done to them,
// and helpers that make real Sounds on it from small WAVE files. Test thread.
#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "audio/direct_sound.h"
#include "tests/support/scratch_folder.h"

class Sound;

// Atomic, since sounds are played from several threads at once in the race tests.
struct BufferRecord {
  std::atomic<int> plays = 0;
  std::atomic<int> stops = 0;
  std::atomic<DWORD> playFlags = 0;
  std::atomic<LONG> volume = 0;
  std::atomic<bool> playing = false;
};

// Installs the factory behind DirectSoundCreate8; every buffer any device creates from
// now on is recorded, in creation order.
void InstallFakeSoundDevice();
std::vector<std::shared_ptr<BufferRecord>> CreatedBuffers();
// Empties that list (buffers still alive keep their records), so long runs do not grow.
void ForgetCreatedBuffers();

// Writes a short mono 16-bit WAVE file.
void WriteTestWave(const std::filesystem::path& path);
// Writes every file the sound bank loads under folder/Sounds.
void WriteSoundBankFiles(const std::filesystem::path& folder);
// Writes the twelve ship sound files under folder/Sounds.
void WriteShipSoundFiles(const std::filesystem::path& folder);

struct TestSound {
  std::unique_ptr<Sound> sound;
  std::shared_ptr<BufferRecord> buffer;
};

// A real Sound with one buffer on the fake device, made from a WAVE file in folder.
TestSound MakeTestSound(const std::filesystem::path& folder, const std::string& name);

