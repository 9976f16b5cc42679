#include "platform/audio/wav_writer.h"

#include <array>

#include "platform/audio/loopback_mixer.h"

namespace {

constexpr std::uint32_t HEADER_BYTES = 44;
constexpr std::uint32_t BYTES_PER_FRAME = MIX_CHANNELS * 2;
// The data size field must stay below 4 GiB; appends beyond are dropped.
constexpr std::uint32_t MAX_DATA_BYTES = 0xFFFFFFFFu - HEADER_BYTES - BYTES_PER_FRAME;

void Put16(unsigned char* at, std::uint32_t value) {
  at[0] = static_cast<unsigned char>(value);
  at[1] = static_cast<unsigned char>(value >> 8);
}

void Put32(unsigned char* at, std::uint32_t value) {
  Put16(at, value & 0xFFFFu);
  Put16(at + 2, value >> 16);
}

std::array<unsigned char, HEADER_BYTES> Header(std::uint32_t dataBytes) {
  std::array<unsigned char, HEADER_BYTES> header{'R', 'I', 'F', 'F', 0, 0, 0, 0,
                                                 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
  Put32(&header[4], HEADER_BYTES - 8 + dataBytes);
  Put32(&header[16], 16);
  Put16(&header[20], 1);
  Put16(&header[22], MIX_CHANNELS);
  Put32(&header[24], MIX_RATE);
  Put32(&header[28], MIX_RATE * BYTES_PER_FRAME);
  Put16(&header[32], BYTES_PER_FRAME);
  Put16(&header[34], 16);
  header[36] = 'd';
  header[37] = 'a';
  header[38] = 't';
  header[39] = 'a';
  Put32(&header[40], dataBytes);
  return header;
}

}  // namespace

std::unique_ptr<WavWriter> WavWriter::Create(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return nullptr;
  std::unique_ptr<WavWriter> writer(new WavWriter(file));
  if (!writer->WriteSizes()) return nullptr;
  return writer;
}

WavWriter::~WavWriter() { std::fclose(file_); }

bool WavWriter::Append(const std::int16_t* frames, int frameCount) {
  const auto bytes = static_cast<std::uint32_t>(frameCount) * BYTES_PER_FRAME;
  if (bytes > MAX_DATA_BYTES - dataBytes_) return false;
  if (std::fseek(file_, 0, SEEK_END) != 0 ||
      std::fwrite(frames, BYTES_PER_FRAME, static_cast<std::size_t>(frameCount), file_) !=
          static_cast<std::size_t>(frameCount)) {
    return false;
  }
  dataBytes_ += bytes;
  return WriteSizes();
}

bool WavWriter::WriteSizes() {
  const auto header = Header(dataBytes_);
  return std::fseek(file_, 0, SEEK_SET) == 0 &&
         std::fwrite(header.data(), 1, header.size(), file_) == header.size() &&
         std::fflush(file_) == 0;
}
