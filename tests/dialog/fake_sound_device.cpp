#include "tests/dialog/fake_sound_device.h"

#include <algorithm>
#include <fstream>
#include <mutex>

#include "audio/sound.h"
#include "audio/ship_sound_files.h"
#include "audio/sound_bank_table.h"
#include "audio/sound_manager.h"

namespace {

std::mutex recordsMutex;
std::vector<std::shared_ptr<BufferRecord>> records;

class FakeBuffer : public IDirectSoundBuffer {
 public:
  explicit FakeBuffer(DWORD size) : memory_(size), record_(std::make_shared<BufferRecord>()) {
    std::scoped_lock lock(recordsMutex);
    records.push_back(record_);
  }
  HRESULT GetStatus(DWORD* status) override {
    *status = record_->playing ? DSBSTATUS_PLAYING : 0;
    return DS_OK;
  }
  HRESULT GetCurrentPosition(DWORD* play, DWORD* write) override {
    *play = 0;
    *write = 0;
    return DS_OK;
  }
  HRESULT Lock(DWORD offset, DWORD bytes, void** area1, DWORD* bytes1, void** area2, DWORD* bytes2,
               DWORD flags) override {
    const auto size = static_cast<DWORD>(memory_.size());
    if ((flags & DSBLOCK_ENTIREBUFFER) != 0) {
      offset = 0;
      bytes = size;
    }
    *area1 = memory_.data() + offset;
    *bytes1 = std::min(bytes, size - offset);
    if (area2 != nullptr) {
      *area2 = nullptr;
      *bytes2 = 0;
    }
    return DS_OK;
  }
  HRESULT Unlock(void*, DWORD, void*, DWORD) override { return DS_OK; }
  HRESULT Restore() override { return DS_OK; }
  HRESULT Play(DWORD, DWORD, DWORD flags) override {
    ++record_->plays;
    record_->playFlags = flags;
    record_->playing = true;
    return DS_OK;
  }
  HRESULT Stop() override {
    ++record_->stops;
    record_->playing = false;
    return DS_OK;
  }
  HRESULT SetCurrentPosition(DWORD) override { return DS_OK; }
  HRESULT SetVolume(LONG volume) override {
    record_->volume = volume;
    return DS_OK;
  }
  HRESULT SetFrequency(DWORD) override { return DS_OK; }
  HRESULT SetPan(LONG) override { return DS_OK; }

 private:
  std::vector<BYTE> memory_;
  std::shared_ptr<BufferRecord> record_;
};

class FakeDevice : public IDirectSound8 {
 public:
  HRESULT SetCooperativeLevel(HWND, DWORD) override { return DS_OK; }
  HRESULT CreateSoundBuffer(const DSBUFFERDESC* description, std::unique_ptr<IDirectSoundBuffer>* buffer,
                            void*) override {
    *buffer = std::make_unique<FakeBuffer>(description->dwBufferBytes);
    return DS_OK;
  }
  HRESULT DuplicateSoundBuffer(IDirectSoundBuffer*, std::unique_ptr<IDirectSoundBuffer>* duplicate) override {
    *duplicate = std::make_unique<FakeBuffer>(DSBSIZE_MIN);
    return DS_OK;
  }
};

void PutLe(std::ofstream& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    out.put(static_cast<char>((value >> (8 * i)) & 0xFFu));
  }
}

// The bank names files as the module does ("Sounds\\x.wav"); here with '/' separators.
std::filesystem::path BankFilePath(const std::filesystem::path& folder, std::string name) {
  std::replace(name.begin(), name.end(), '\\', '/');
  if (name.rfind(SOUND_FOLDER, 0) != 0) {
    name = std::string(SOUND_FOLDER) + "/" + name;
  }
  return folder / name;
}

}  // namespace

void InstallFakeSoundDevice() {
  SetDirectSoundFactory([](std::unique_ptr<IDirectSound8>* device) {
    *device = std::make_unique<FakeDevice>();
    return DS_OK;
  });
}

std::vector<std::shared_ptr<BufferRecord>> CreatedBuffers() {
  std::scoped_lock lock(recordsMutex);
  return records;
}

void ForgetCreatedBuffers() {
  std::scoped_lock lock(recordsMutex);
  records.clear();
}

void WriteTestWave(const std::filesystem::path& path) {
  constexpr std::uint32_t kSamples = 64;
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write("RIFF", 4);
  PutLe(out, 36 + kSamples * 2, 4);
  out.write("WAVEfmt ", 8);
  PutLe(out, 16, 4);
  PutLe(out, 1, 2);      // PCM
  PutLe(out, 1, 2);      // mono
  PutLe(out, 22050, 4);  // samples per second
  PutLe(out, 44100, 4);  // bytes per second
  PutLe(out, 2, 2);      // block align
  PutLe(out, 16, 2);     // bits per sample
  out.write("data", 4);
  PutLe(out, kSamples * 2, 4);
  for (std::uint32_t i = 0; i < kSamples; ++i) {
    PutLe(out, (i % 8) * 1000, 2);
  }
}

void WriteSoundBankFiles(const std::filesystem::path& folder) {
  for (const SoundBankEntry& entry : SoundBankEntries()) {
    WriteTestWave(BankFilePath(folder, entry.file));
  }
}

void WriteShipSoundFiles(const std::filesystem::path& folder) {
  for (const ShipSoundFiles& files : SHIP_SOUND_FILES) {
    for (const char* name : {files.cockpitAmbience, files.engineLoop, files.cockpitStartup}) {
      WriteTestWave(BankFilePath(folder, name));
    }
  }
}

TestSound MakeTestSound(const std::filesystem::path& folder, const std::string& name) {
  const std::filesystem::path path = folder / name;
  WriteTestWave(path);
  SoundManager manager;
  manager.Init(nullptr, DSSCL_NORMAL);
  const std::size_t before = CreatedBuffers().size();
  Sound* sound = nullptr;
  manager.CreateSound(&sound, path.c_str(), DSBCAPS_CTRLVOLUME, GUID_NULL, 1);
  const auto buffers = CreatedBuffers();
  return {std::unique_ptr<Sound>(sound), buffers.size() > before ? buffers[before] : nullptr};
}

