#include "audio/wave_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>

#include "audio/sound_path.h"
#include "tests/audio/wave_bytes.h"

namespace {

class WaveFileTest : public ::testing::Test {
 protected:
  HRESULT OpenBytes(const Bytes& bytes) {
    WriteFile(folder_.Path() / "Sounds" / "test.wav", bytes);
    return wave_.Open("Sounds\\test.wav", WaveFile::READ);
  }

  Bytes ReadAll(DWORD count) {
    Bytes out(count);
    DWORD read = 0;
    EXPECT_EQ(wave_.Read(out.data(), count, &read), S_OK);
    out.resize(read);
    return out;
  }

  ScratchFolder folder_;
  WaveFile wave_;
};

Bytes Sequence(std::size_t count) {
  Bytes bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  return bytes;
}

TEST_F(WaveFileTest, RefusesFilesThatAreNotRiffWave) {
  Bytes notRiff = PcmWave(1, 22050, 16, Sequence(8));
  std::memcpy(notRiff.data(), "RIFX", 4);
  EXPECT_EQ(OpenBytes(notRiff), E_FAIL);
  EXPECT_EQ(wave_.DataSize(), 0u);

  Bytes notWave = PcmWave(1, 22050, 16, Sequence(8));
  std::memcpy(notWave.data() + 8, "AVI ", 4);
  EXPECT_EQ(OpenBytes(notWave), E_FAIL);
  EXPECT_EQ(wave_.DataSize(), 0u);

  EXPECT_EQ(OpenBytes(Bytes{'R', 'I', 'F'}), E_FAIL);
  EXPECT_EQ(wave_.DataSize(), 0u);
}

TEST_F(WaveFileTest, FormatChunkShorterThanSixteenBytesIsRefused) {
  Bytes format = PcmFormat(1, 22050, 16);
  format.resize(14);
  EXPECT_EQ(OpenBytes(Riff({Chunk("fmt ", format), Chunk("data", Sequence(8))})), E_FAIL);
  EXPECT_EQ(wave_.DataSize(), 0u);
}

TEST_F(WaveFileTest, LongerPcmFormatChunkOpensWithNoExtraBytes) {
  Bytes format = PcmFormat(2, 44100, 16);
  Append16(format, 0x1234);  // whatever the file holds here is not an extra count
  ASSERT_EQ(OpenBytes(Riff({Chunk("fmt ", format), Chunk("data", Sequence(8))})), S_OK);
  ASSERT_NE(wave_.Format(), nullptr);
  EXPECT_EQ(wave_.Format()->cbSize, 0);
  EXPECT_EQ(wave_.FormatSize(), 18u);
  EXPECT_EQ(wave_.Format()->nChannels, 2);
  EXPECT_EQ(wave_.Format()->nSamplesPerSec, 44100u);
  EXPECT_EQ(wave_.Format()->wBitsPerSample, 16);
}

TEST_F(WaveFileTest, NonPcmFormatKeepsItsExtraBytes) {
  Bytes format = PcmFormat(1, 22050, 4);
  format[0] = 2;  // an ADPCM tag
  Append16(format, 32);
  const Bytes extra = Sequence(32);
  format.insert(format.end(), extra.begin(), extra.end());
  ASSERT_EQ(OpenBytes(Riff({Chunk("fmt ", format), Chunk("data", Sequence(8))})), S_OK);
  EXPECT_EQ(wave_.FormatSize(), 50u);
  EXPECT_EQ(wave_.Format()->cbSize, 32);
  const auto* block = reinterpret_cast<const std::uint8_t*>(wave_.Format());
  EXPECT_EQ(Bytes(block + 18, block + 50), extra);
}

TEST_F(WaveFileTest, ExtraCountBeyondTheFileIsRefused) {
  Bytes format = PcmFormat(1, 22050, 4);
  format[0] = 2;
  Append16(format, 60000);
  EXPECT_EQ(OpenBytes(Riff({Chunk("data", Sequence(4)), Chunk("fmt ", format)})), E_FAIL);
  EXPECT_EQ(wave_.Format(), nullptr);
}

TEST_F(WaveFileTest, FindsDataBeforeFormatAndBehindOddSizedChunks) {
  const Bytes data = Sequence(10);
  ASSERT_EQ(OpenBytes(Riff({Chunk("data", data), Chunk("fmt ", PcmFormat(1, 8000, 8))})), S_OK);
  EXPECT_EQ(ReadAll(100), data);

  ASSERT_EQ(OpenBytes(Riff({Chunk("fmt ", PcmFormat(1, 8000, 8)), Chunk("LIST", Sequence(3)),
                            Chunk("data", data)})),
            S_OK);
  EXPECT_EQ(wave_.DataSize(), 10u);
  EXPECT_EQ(ReadAll(100), data);
}

// The first bytes of a file are read in one go and the rest from the file: a format
// or data chunk whose header lies before, across or after that boundary is found the
// same, and its bytes are whole.
TEST_F(WaveFileTest, ChunksAnywhereAroundTheFirstReadAreFound) {
  const Bytes data = Sequence(700);
  for (std::size_t junk = 440; junk <= 560; junk += 2) {
    ASSERT_EQ(OpenBytes(Riff({Chunk("LIST", Sequence(junk)), Chunk("fmt ", PcmFormat(2, 11025, 16)),
                              Chunk("data", data)})),
              S_OK)
        << junk << " bytes before the format";
    ASSERT_NE(wave_.Format(), nullptr);
    EXPECT_EQ(wave_.Format()->nSamplesPerSec, 11025u) << junk;
    EXPECT_EQ(wave_.Format()->nChannels, 2u) << junk;
    EXPECT_EQ(ReadAll(1000), data) << junk;
    ASSERT_EQ(wave_.Rewind(), S_OK);
    EXPECT_EQ(ReadAll(3), Bytes(data.begin(), data.begin() + 3)) << junk << ", after a rewind";
  }
}

TEST_F(WaveFileTest, MissingOrEmptyDataChunkGivesNoData) {
  EXPECT_EQ(OpenBytes(Riff({Chunk("fmt ", PcmFormat(1, 8000, 8))})), E_FAIL);
  EXPECT_EQ(wave_.DataSize(), 0u);

  EXPECT_EQ(OpenBytes(PcmWave(1, 8000, 8, {})), S_OK);
  EXPECT_EQ(wave_.DataSize(), 0u);
}

TEST_F(WaveFileTest, ReadsStopAtTheEndOfTheDataAndRewindStartsAgain) {
  const Bytes data = Sequence(600);
  ASSERT_EQ(OpenBytes(PcmWave(1, 8000, 8, data)), S_OK);
  EXPECT_EQ(ReadAll(100), Bytes(data.begin(), data.begin() + 100));
  EXPECT_EQ(ReadAll(1000), Bytes(data.begin() + 100, data.end()));
  EXPECT_TRUE(ReadAll(1000).empty());

  ASSERT_EQ(wave_.Rewind(), S_OK);
  EXPECT_EQ(ReadAll(1000), data);
}

TEST_F(WaveFileTest, ArgumentsAndStateAreChecked) {
  DWORD read = 7;
  BYTE byte = 0;
  EXPECT_EQ(wave_.Read(&byte, 1, &read), CO_E_NOTINITIALIZED);
  EXPECT_EQ(wave_.Rewind(), CO_E_NOTINITIALIZED);
  EXPECT_EQ(wave_.Open(nullptr, WaveFile::READ), E_INVALIDARG);
  EXPECT_EQ(wave_.Open("Sounds\\absent.wav", 2), E_INVALIDARG);
  EXPECT_EQ(wave_.Open("Sounds\\absent.wav", WaveFile::READ), E_FAIL);
  EXPECT_EQ(wave_.DataSize(), 0u);

  ASSERT_EQ(OpenBytes(PcmWave(1, 8000, 8, Sequence(4))), S_OK);
  EXPECT_EQ(wave_.Read(nullptr, 1, &read), E_INVALIDARG);
  EXPECT_EQ(wave_.Read(&byte, 1, nullptr), E_INVALIDARG);
}

// Sizes in the file are not trusted: nothing is read, sought or allocated beyond it.
TEST_F(WaveFileTest, DataChunkLongerThanTheFileIsCutToTheFile) {
  Bytes file = Riff({Chunk("fmt ", PcmFormat(1, 8000, 8)),
                     ChunkWithSize("data", 0xFFFFFFF0u, Sequence(20))});
  ASSERT_EQ(OpenBytes(file), S_OK);
  EXPECT_EQ(wave_.DataSize(), 20u);
  EXPECT_EQ(ReadAll(0xFFFFFFFFu >> 8), Sequence(20));
}

TEST_F(WaveFileTest, HugeChunkSizesEndTheSearch) {
  EXPECT_EQ(OpenBytes(Riff({Chunk("fmt ", PcmFormat(1, 8000, 8)),
                            ChunkWithSize("junk", 0xFFFFFFFFu, Sequence(4)),
                            Chunk("data", Sequence(4))})),
            E_FAIL);
  Bytes shortRiff = PcmWave(1, 8000, 8, Sequence(8));
  shortRiff[4] = 12;  // the RIFF chunk ends inside the format chunk
  shortRiff[5] = shortRiff[6] = shortRiff[7] = 0;
  EXPECT_EQ(OpenBytes(shortRiff), E_FAIL);
}

TEST_F(WaveFileTest, FileShrunkAfterOpenFailsTheReadThatRunsOut) {
  constexpr DWORD SIZE = 100000;  // well beyond what the stream keeps buffered
  ASSERT_EQ(OpenBytes(PcmWave(1, 8000, 8, Sequence(SIZE))), S_OK);
  std::filesystem::resize_file(folder_.Path() / "Sounds" / "test.wav", 44 + SIZE / 2);
  ASSERT_EQ(wave_.Rewind(), S_OK);
  Bytes buffer(SIZE);
  DWORD read = 0;
  EXPECT_EQ(wave_.Read(buffer.data(), SIZE, &read), E_FAIL);
  EXPECT_EQ(read, 0u);
}

TEST_F(WaveFileTest, NamesResolveWithoutRegardToCase) {
  WriteFile(folder_.Path() / "Sounds" / "Beep31.WAV", PcmWave(1, 8000, 8, Sequence(4)));
  EXPECT_EQ(ResolveSoundPath("Sounds\\beep31.wav"), "Sounds/Beep31.WAV");
  EXPECT_EQ(wave_.Open("Sounds\\BEEP31.wav", WaveFile::READ), S_OK);
  EXPECT_EQ(wave_.DataSize(), 4u);

  // Two candidates: neither is taken.
  WriteFile(folder_.Path() / "Sounds" / "beep31.Wav", PcmWave(1, 8000, 8, Sequence(4)));
  EXPECT_EQ(ResolveSoundPath("Sounds\\BEEP31.wav"), "Sounds/BEEP31.wav");
  EXPECT_EQ(BaseName("Sounds\\ky100 hi low tone.wav"), "ky100 hi low tone.wav");
}

// Something other than a file under a sound's name fails at once, and a file whose name
// differs only in case is still found beside it.
TEST_F(WaveFileTest, APipeOrAFolderUnderTheNameIsNotASound) {
  const auto sounds = folder_.Path() / "Sounds";
  std::filesystem::create_directories(sounds);
  ASSERT_EQ(::mkfifo((sounds / "pipe.wav").c_str(), 0600), 0);
  EXPECT_EQ(wave_.Open("Sounds\\pipe.wav", WaveFile::READ), E_FAIL)
      << "and does not wait for a writer";

  std::filesystem::create_directory(sounds / "thunder.wav");
  EXPECT_EQ(wave_.Open("Sounds\\thunder.wav", WaveFile::READ), E_FAIL);
  WriteFile(sounds / "THUNDER.WAV", PcmWave(1, 8000, 8, Sequence(6)));
  EXPECT_EQ(wave_.Open("Sounds\\thunder.wav", WaveFile::READ), S_OK);
  EXPECT_EQ(wave_.DataSize(), 6u);
}

}  // namespace
