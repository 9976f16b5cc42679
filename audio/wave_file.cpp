#include "audio/wave_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <string>

#include "app/regular_file.h"
#include "audio/sound_path.h"

namespace {

constexpr std::uint32_t FourCc(const char (&text)[5]) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(text[0])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(text[1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(text[2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(text[3])) << 24;
}

constexpr std::uint32_t RIFF_ID = FourCc("RIFF");
constexpr std::uint32_t WAVE_ID = FourCc("WAVE");
constexpr std::uint32_t FMT_ID = FourCc("fmt ");
constexpr std::uint32_t DATA_ID = FourCc("data");
constexpr std::size_t FORMAT_FIELDS_SIZE = 16;

std::uint32_t Le32(const unsigned char* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

WORD Le16(const unsigned char* bytes) {
  return static_cast<WORD>(bytes[0] | bytes[1] << 8);
}

}  // namespace

WaveFile::~WaveFile() { Close(); }

const WAVEFORMATEX* WaveFile::FormatHeader() const {
  return std::launder(reinterpret_cast<const WAVEFORMATEX*>(format_.get()));
}

HRESULT WaveFile::Open(const char* fileName, DWORD mode) {
  if (fileName == nullptr || mode != READ) return E_INVALIDARG;
  Close();
  format_.reset();
  formatSize_ = 0;
  dataSize_ = 0;

  // The exact name nearly always exists: looking in the folder only when it does not
  // spares every sound of the bank a file system look-up.
  file_ = OpenRegularFile(ForwardSlashes(fileName), &fileSize_);
  if (file_ < 0) file_ = OpenRegularFile(ResolveSoundPath(fileName), &fileSize_);
  if (file_ < 0) return E_FAIL;
  headSize_ = 0;
  const std::size_t head = static_cast<std::size_t>(std::min<std::uint64_t>(fileSize_, HEAD_SIZE));
  position_ = 0;
  if (ReadFromFile(head_.data(), head)) headSize_ = head;
  if (const HRESULT status = ParseHeader(); Failed(status)) {
    Close();
    return status;
  }
  if (const HRESULT status = Rewind(); Failed(status)) return status;
  dataSize_ = remaining_;
  return S_OK;
}

HRESULT WaveFile::ParseHeader() {
  unsigned char formType[4];
  if (!Seek(0) || !ReadChunkHeader(&riffChunk_) || !ReadBytes(formType, sizeof formType)) {
    return E_FAIL;
  }
  if (riffChunk_.id != RIFF_ID || Le32(formType) != WAVE_ID) return E_FAIL;
  Chunk fmt;
  if (!FindChunk(FMT_ID, &fmt) || fmt.size < FORMAT_FIELDS_SIZE) return E_FAIL;
  // Leaving the chunk needs no seek: every later search starts from the RIFF header.
  return ReadFormat(fmt);
}

HRESULT WaveFile::ReadFormat(const Chunk& chunk) {
  unsigned char fields[FORMAT_FIELDS_SIZE];
  if (!Seek(chunk.dataOffset) || !ReadBytes(fields, sizeof fields)) return E_FAIL;
  WORD extraSize = 0;
  if (Le16(fields) != WAVE_FORMAT_PCM) {
    // The extra bytes follow straight on, whatever size the chunk declares.
    unsigned char count[2];
    if (!ReadBytes(count, sizeof count)) return E_FAIL;
    extraSize = Le16(count);
  }
  const DWORD size = sizeof(WAVEFORMATEX) + extraSize;
  auto block = std::make_unique<std::byte[]>(size);
  new (block.get()) WAVEFORMATEX{Le16(fields), Le16(fields + 2), Le32(fields + 4),
                                 Le32(fields + 8), Le16(fields + 12), Le16(fields + 14),
                                 extraSize};
  if (!ReadBytes(block.get() + sizeof(WAVEFORMATEX), extraSize)) return E_FAIL;
  format_ = std::move(block);
  formatSize_ = size;
  return S_OK;
}

HRESULT WaveFile::Rewind() {
  if (file_ < 0) return CO_E_NOTINITIALIZED;
  if (!FindChunk(DATA_ID, &dataChunk_)) return E_FAIL;
  // A data chunk that claims more than the file holds is read only to the file's end.
  remaining_ = static_cast<DWORD>(
      std::min<std::uint64_t>(dataChunk_.size, fileSize_ - dataChunk_.dataOffset));
  return Seek(dataChunk_.dataOffset) ? S_OK : E_FAIL;
}

HRESULT WaveFile::Read(BYTE* destination, DWORD count, DWORD* bytesRead) {
  if (file_ < 0) return CO_E_NOTINITIALIZED;
  if (destination == nullptr || bytesRead == nullptr) return E_INVALIDARG;
  *bytesRead = 0;
  const DWORD n = std::min(count, remaining_);
  remaining_ -= n;
  if (!ReadBytes(destination, n)) return E_FAIL;
  *bytesRead = n;
  return S_OK;
}

HRESULT WaveFile::Close() {
  if (file_ >= 0) ::close(file_);
  file_ = -1;
  return S_OK;
}

bool WaveFile::ReadChunkHeader(Chunk* chunk) {
  unsigned char header[8];
  if (!ReadBytes(header, sizeof header)) return false;
  chunk->id = Le32(header);
  chunk->size = Le32(header + 4);
  chunk->dataOffset = position_;
  return true;
}

// Walks the RIFF chunk's sub-chunks from its first one, stepping over each by its
// declared size rounded up to even, and never past the RIFF chunk's or the file's end.
bool WaveFile::FindChunk(std::uint32_t id, Chunk* chunk) {
  const std::uint64_t parentEnd =
      std::min<std::uint64_t>(riffChunk_.dataOffset + riffChunk_.size, fileSize_);
  std::uint64_t position = riffChunk_.dataOffset + 4;
  while (position + 8 <= parentEnd) {
    if (!Seek(position) || !ReadChunkHeader(chunk)) return false;
    if (chunk->id == id) return true;
    position = chunk->dataOffset + chunk->size + (chunk->size & 1u);
  }
  return false;
}

// Each system call costs about as much as reading kilobytes, so the header's reads come
// from the head read at Open and the data chunk takes one positioned read.
bool WaveFile::ReadBytes(void* destination, std::size_t count) {
  auto* bytes = static_cast<unsigned char*>(destination);
  if (position_ + count <= headSize_) {
    std::copy_n(head_.begin() + static_cast<std::ptrdiff_t>(position_), count, bytes);
    position_ += count;
    return true;
  }
  return ReadFromFile(bytes, count);
}

bool WaveFile::ReadFromFile(unsigned char* bytes, std::size_t count) {
  while (count > 0) {
    const ssize_t got = ::pread(file_, bytes, count, static_cast<off_t>(position_));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    const auto taken = static_cast<std::size_t>(got);
    bytes += taken;
    count -= taken;
    position_ += taken;
  }
  return true;
}

bool WaveFile::Seek(std::uint64_t offset) {
  if (offset > fileSize_) return false;
  position_ = offset;
  return true;
}
