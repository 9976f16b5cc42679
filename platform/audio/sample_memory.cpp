#include "platform/audio/sample_memory.h"

#include <algorithm>

namespace {

// This OpenAL's buffer mapping, an extension its headers do not declare yet.
using ALbitfieldSOFT = unsigned int;
constexpr ALbitfieldSOFT AL_MAP_READ_BIT_SOFT = 0x1;
constexpr ALbitfieldSOFT AL_MAP_WRITE_BIT_SOFT = 0x2;
constexpr ALbitfieldSOFT AL_MAP_PERSISTENT_BIT_SOFT = 0x4;
constexpr ALbitfieldSOFT MAPPED_FOR_GOOD =
    AL_MAP_READ_BIT_SOFT | AL_MAP_WRITE_BIT_SOFT | AL_MAP_PERSISTENT_BIT_SOFT;

struct BufferMapping {
  void (*storage)(ALuint, ALenum, const ALvoid*, ALsizei, ALsizei, ALbitfieldSOFT) = nullptr;
  void* (*map)(ALuint, ALsizei, ALsizei, ALbitfieldSOFT) = nullptr;
  void (*unmap)(ALuint) = nullptr;
  bool Available() const { return storage != nullptr && map != nullptr && unmap != nullptr; }
};

template <typename Function>
void Find(const char* name, Function* function) {
  *function = reinterpret_cast<Function>(alGetProcAddress(name));
}

const BufferMapping& Mapping() {
  static const BufferMapping mapping = [] {
    BufferMapping found;
    if (alIsExtensionPresent("AL_SOFTX_map_buffer") == AL_FALSE) return found;
    Find("alBufferStorageSOFT", &found.storage);
    Find("alMapBufferSOFT", &found.map);
    Find("alUnmapBufferSOFT", &found.unmap);
    return found;
  }();
  return mapping;
}

ALenum AlFormat(const WAVEFORMATEX& format) {
  if (format.wBitsPerSample == 8) {
    return format.nChannels == 1 ? AL_FORMAT_MONO8 : AL_FORMAT_STEREO8;
  }
  return format.nChannels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
}

}  // namespace

std::unique_ptr<SampleMemory> SampleMemory::Create(const WAVEFORMATEX& format, DWORD bytes) {
  alGetError();
  ALuint buffer = 0;
  alGenBuffers(1, &buffer);
  if (alGetError() != AL_NO_ERROR) return nullptr;
  std::unique_ptr<SampleMemory> memory(new SampleMemory(format, buffer));
  if (!memory->Map(bytes)) {
    memory->copy_ = std::make_unique_for_overwrite<BYTE[]>(bytes);
    memory->bytes_ = {memory->copy_.get(), bytes};
  }
  memory->FillSilence();
  return memory;
}

// OpenAL takes whole frames only, so a size with a partial frame stays in our memory.
bool SampleMemory::Map(DWORD bytes) {
  const BufferMapping& mapping = Mapping();
  if (!mapping.Available() || bytes % format_.nBlockAlign != 0) return false;
  const auto size = static_cast<ALsizei>(bytes);
  mapping.storage(buffer_, AlFormat(format_), nullptr, size,
                  static_cast<ALsizei>(format_.nSamplesPerSec), MAPPED_FOR_GOOD);
  if (alGetError() != AL_NO_ERROR) return false;
  void* mapped = mapping.map(buffer_, 0, size, MAPPED_FOR_GOOD);
  if (mapped == nullptr) {
    alGetError();
    return false;
  }
  bytes_ = {static_cast<BYTE*>(mapped), bytes};
  return true;
}

SampleMemory::~SampleMemory() {
  if (Mapped() && !bytes_.empty()) Mapping().unmap(buffer_);
  alDeleteBuffers(1, &buffer_);
}

DWORD SampleMemory::PlayedBytes() const {
  const auto size = static_cast<DWORD>(bytes_.size());
  return size - size % format_.nBlockAlign;
}

void SampleMemory::FillSilence() {
  std::ranges::fill(bytes_, format_.wBitsPerSample == 8 ? 0x80 : 0x00);
}

void SampleMemory::Attach(ALuint source) {
  if (!Mapped()) {
    alSourcei(source, AL_BUFFER, 0);
    alBufferData(buffer_, AlFormat(format_), copy_.get(), static_cast<ALsizei>(PlayedBytes()),
                 static_cast<ALsizei>(format_.nSamplesPerSec));
  }
  alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer_));
}
