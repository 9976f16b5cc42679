// Sound rows: what sounded when, from the trace's plays, stops and deletions.
#include "tools/flight_picture/sound_rows.h"

#include <gtest/gtest.h>

namespace {

TraceEvent Play(double seconds, const std::string& file, bool looping, int volume = 0,
                int status = 0) {
  return {seconds, TraceEvent::Op::Play, file, looping ? 1 : 0, volume, status};
}

TraceEvent Other(double seconds, TraceEvent::Op op, const std::string& file) {
  return {seconds, op, file, 0, 0, 0};
}

std::optional<double> HalfSecondBeeps(const std::string& file) {
  if (file.starts_with("beep")) return 0.5;
  return std::nullopt;
}

TEST(SoundRowsTest, OneRowPerPlayedSoundInTheOrderOfFirstPlay) {
  const std::vector<SoundRow> rows = BuildRows(
      {Other(0.1, TraceEvent::Op::Create, "beep31.wav"),
       Other(0.1, TraceEvent::Op::Create, "never.wav"), Play(2.0, "doppler.wav", true),
       Play(3.0, "beep31.wav", false), Play(4.0, "doppler.wav", true),
       Play(5.0, "refused.wav", false, 0, -2005401480)},
      10.0, HalfSecondBeeps);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].file, "doppler.wav");
  EXPECT_EQ(rows[1].file, "beep31.wav");
}

TEST(SoundRowsTest, AOneShotLastsItsFileLengthOrIsAShortMark) {
  const std::vector<SoundRow> rows =
      BuildRows({Play(1.0, "beep02.wav", false, -300), Play(2.0, "bodyhit.wav", false)}, 10.0,
                HalfSecondBeeps);
  ASSERT_EQ(rows.size(), 2u);
  ASSERT_EQ(rows[0].spans.size(), 1u);
  const Span& beep = rows[0].spans[0];
  EXPECT_DOUBLE_EQ(beep.start, 1.0);
  EXPECT_DOUBLE_EQ(beep.end, 1.5);
  EXPECT_EQ(beep.volume, -300);
  EXPECT_FALSE(beep.looping);
  EXPECT_TRUE(beep.lengthKnown);
  const Span& hit = rows[1].spans[0];
  EXPECT_FALSE(hit.lengthKnown);
  EXPECT_DOUBLE_EQ(hit.end, 2.0 + MARK_SECONDS);
}

TEST(SoundRowsTest, AOneShotPlayedAgainOrStoppedIsCutShort) {
  const std::vector<SoundRow> rows = BuildRows(
      {Play(1.0, "beep02.wav", false), Play(1.2, "beep02.wav", false),
       Other(1.3, TraceEvent::Op::Stop, "beep02.wav")},
      10.0, HalfSecondBeeps);
  ASSERT_EQ(rows[0].spans.size(), 2u);
  EXPECT_DOUBLE_EQ(rows[0].spans[0].end, 1.2);
  EXPECT_DOUBLE_EQ(rows[0].spans[1].start, 1.2);
  EXPECT_DOUBLE_EQ(rows[0].spans[1].end, 1.3);
}

TEST(SoundRowsTest, ALoopRunsFromPlayToStopSplitWhereItsVolumeChanges) {
  const std::vector<SoundRow> rows = BuildRows(
      {Play(1.0, "MuVERmoto.wav", true, -2000), Play(1.25, "MuVERmoto.wav", true, -2000),
       Play(2.0, "MuVERmoto.wav", true, -500), Play(2.0, "MuVERmoto.wav", true, -400),
       Other(3.0, TraceEvent::Op::Stop, "MuVERmoto.wav"),
       Other(3.5, TraceEvent::Op::Stop, "MuVERmoto.wav"),
       Play(4.0, "MuVERmoto.wav", true, -100), Other(6.0, TraceEvent::Op::Delete, "MuVERmoto.wav")},
      10.0, HalfSecondBeeps);
  ASSERT_EQ(rows.size(), 1u);
  const std::vector<Span>& spans = rows[0].spans;
  ASSERT_EQ(spans.size(), 3u);
  EXPECT_DOUBLE_EQ(spans[0].start, 1.0);
  EXPECT_DOUBLE_EQ(spans[0].end, 2.0);
  EXPECT_EQ(spans[0].volume, -2000);
  EXPECT_TRUE(spans[0].looping);
  EXPECT_DOUBLE_EQ(spans[1].start, 2.0);
  EXPECT_DOUBLE_EQ(spans[1].end, 3.0);
  EXPECT_EQ(spans[1].volume, -400);
  EXPECT_DOUBLE_EQ(spans[2].start, 4.0);
  EXPECT_DOUBLE_EQ(spans[2].end, 6.0);
}

TEST(SoundRowsTest, ALoopStillPlayingRunsToTheEnd) {
  const std::vector<SoundRow> rows = BuildRows({Play(1.0, "rumble1.wav", true)}, 42.0, HalfSecondBeeps);
  ASSERT_EQ(rows[0].spans.size(), 1u);
  EXPECT_DOUBLE_EQ(rows[0].spans[0].end, 42.0);
}

}  // namespace
