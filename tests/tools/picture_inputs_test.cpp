// The flight picture's inputs: the sound trace and the timestamped log are read line by
// line, malformed lines skipped and counted; the mix's envelope in dB per window.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>

#include "tests/support/scratch_folder.h"
#include "tools/flight_picture/log_marks.h"
#include "tools/flight_picture/trace_reader.h"
#include "tools/flight_picture/wav_envelope.h"
#include "tools/wave_io/wave_io.h"

namespace {

TEST(TraceReaderTest, ReadsEveryOperationWithItsFields) {
  std::istringstream in(
      R"({"t":12.5,"op":"create","file":"beep31.wav","flags":32768,"status":0})"
      "\n"
      R"({"t":1500,"op":"play","file":"ky100 hi low tone.wav","priority":0,"flags":1,)"
      R"("volume":-1200,"frequency":22150,"pan":0,"status":0})"
      "\n"
      R"({"t":2000,"op":"stop","file":"ky100 hi low tone.wav","status":0})"
      "\n"
      R"({"t":2100,"op":"rewind","file":"beep31.wav","status":0})"
      "\n"
      R"({"t":2200,"op":"delete","file":"beep31.wav"})"
      "\n");
  const Trace trace = ParseTrace(in);
  ASSERT_EQ(trace.records.size(), 5u);
  EXPECT_EQ(trace.skipped, 0);
  EXPECT_DOUBLE_EQ(trace.records[0].seconds, 0.0125);
  EXPECT_EQ(trace.records[0].op, TraceEvent::Op::Create);
  const TraceEvent& play = trace.records[1];
  EXPECT_EQ(play.op, TraceEvent::Op::Play);
  EXPECT_EQ(play.file, "ky100 hi low tone.wav");
  EXPECT_EQ(play.flags, 1);
  EXPECT_EQ(play.volume, -1200);
  EXPECT_DOUBLE_EQ(play.seconds, 1.5);
  EXPECT_EQ(trace.records[2].op, TraceEvent::Op::Stop);
  EXPECT_EQ(trace.records[3].op, TraceEvent::Op::Rewind);
  EXPECT_EQ(trace.records[4].op, TraceEvent::Op::Delete);
}

TEST(TraceReaderTest, SkipsAndCountsMalformedLinesButNotBlankOnes) {
  std::istringstream in(
      "not json at all\n"
      "\n"
      R"({"t":"soon","op":"play","file":"a.wav"})"
      "\n"
      R"({"t":1,"op":"explode","file":"a.wav"})"
      "\n"
      R"({"t":1,"op":"play"})"
      "\n"
      R"([1,2,3])"
      "\n"
      R"({"t":1,"op":"play","file":"a.wav","status":0)"
      "\n"
      R"({"t":3,"op":"play","file":"a.wav","status":0})");
  const Trace trace = ParseTrace(in);
  EXPECT_EQ(trace.skipped, 6);
  ASSERT_EQ(trace.records.size(), 1u);
  EXPECT_DOUBLE_EQ(trace.records[0].seconds, 0.003);
}

TEST(LogMarksTest, ReadsMillisecondsAndTextAndCountsLinesWithoutATime) {
  std::istringstream in(
      "523 Loading barycentrics data...\n"
      "1250.5 Lightning!  Distance: 2.000  Intensity: -300.000\r\n"
      "\n"
      "Ready! without a time\n"
      "77x glued to the number\n"
      "9000\n");
  const LogMarks log = ParseLog(in);
  EXPECT_EQ(log.skipped, 2);
  ASSERT_EQ(log.records.size(), 3u);
  EXPECT_DOUBLE_EQ(log.records[0].seconds, 0.523);
  EXPECT_EQ(log.records[0].text, "Loading barycentrics data...");
  EXPECT_DOUBLE_EQ(log.records[1].seconds, 1.2505);
  EXPECT_EQ(log.records[1].text, "Lightning!  Distance: 2.000  Intensity: -300.000");
  EXPECT_EQ(log.records[2].text, "");
}

TEST(LogMarksTest, AbbreviatesLongTextsOnly) {
  EXPECT_EQ(Abbreviated("Ready!", 10), "Ready!");
  EXPECT_EQ(Abbreviated("Propulsion shut down...", 10), "Propuls...");
  EXPECT_EQ(Abbreviated("Propulsion shut down...", 10).size(), 10u);
}

std::vector<std::int16_t> Sine(double amplitude, int frames, int channels) {
  std::vector<std::int16_t> samples;
  for (int i = 0; i < frames; ++i) {
    const double value = amplitude * 32767.0 * std::sin(2.0 * std::numbers::pi * 441.0 * i / 44100.0);
    for (int c = 0; c < channels; ++c) samples.push_back(static_cast<std::int16_t>(std::lround(value)));
  }
  return samples;
}

TEST(EnvelopeTest, GivesTheRmsLevelInDecibelsPerWindow) {
  std::vector<std::int16_t> samples = Sine(0.5, 44100, 2);
  samples.resize(samples.size() + 2 * 4410, 0);  // a tenth of a second of silence
  const Envelope envelope = EnvelopeOf(samples, 2, 44100, 0.05);
  ASSERT_EQ(envelope.decibels.size(), 22u);
  EXPECT_NEAR(envelope.Duration(), 1.1, 1e-9);
  // A sine at half of full scale: 20 log10(0.5 / sqrt 2) = -9.03 dB.
  EXPECT_NEAR(envelope.decibels[0], -9.03, 0.05);
  EXPECT_NEAR(envelope.decibels[19], -9.03, 0.05);
  EXPECT_EQ(envelope.decibels[20], SILENCE_DB);
  EXPECT_EQ(envelope.decibels[21], SILENCE_DB);
}

TEST(EnvelopeTest, CountsALastPartialWindow) {
  const Envelope envelope = EnvelopeOf(Sine(1.0, 3000, 1), 1, 44100, 0.05);
  ASSERT_EQ(envelope.decibels.size(), 2u);
  EXPECT_NEAR(envelope.decibels[0], -3.01, 0.05);
}

TEST(EnvelopeTest, ReadsAWaveFileAndNamesAFileItCannotRead) {
  ScratchFolder folder;
  ASSERT_TRUE(WriteWave("mix.wav", Clip{44100, 2, Sine(0.25, 4410, 2)}));
  std::string error;
  const std::optional<Envelope> envelope = ReadEnvelope("mix.wav", 0.05, &error);
  ASSERT_TRUE(envelope);
  ASSERT_EQ(envelope->decibels.size(), 2u);
  EXPECT_NEAR(envelope->decibels[0], -15.05, 0.05);

  std::ofstream("broken.wav") << "RIFF but nothing else";
  EXPECT_FALSE(ReadEnvelope("broken.wav", 0.05, &error));
  EXPECT_NE(error.find("broken.wav"), std::string::npos);
  EXPECT_FALSE(ReadEnvelope("absent.wav", 0.05, &error));
  EXPECT_NE(error.find("absent.wav"), std::string::npos);
}

}  // namespace
