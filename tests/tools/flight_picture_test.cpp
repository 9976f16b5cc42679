// The flight picture from files a run leaves behind: a PNG of the laid-out size, with
// each sound's bar where and as loud as the trace says; malformed lines skipped with one
// warning; unreadable inputs and bad command lines named.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

#include <filesystem>
#include <fstream>

#include "tests/support/scratch_folder.h"
#include "tools/flight_picture/make_picture.h"
#include "tools/flight_picture/picture_layout.h"
#include "tools/flight_picture/row_painter.h"
#include "tools/wave_io/wave_io.h"

namespace {

constexpr int MIX_RATE = 44100;

class FlightPictureTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tools_tests";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance() == nullptr) application_ = new QGuiApplication(argc, argv);
  }
  static void TearDownTestSuite() {
    delete application_;
    application_ = nullptr;
  }

  // A mix of the given length (quiet noise) and a Sounds folder with a 2 s beep.
  void SetUp() override {
    std::vector<std::int16_t> mix(static_cast<std::size_t>(seconds_ * MIX_RATE) * 2);
    for (std::size_t i = 0; i < mix.size(); ++i) mix[i] = static_cast<std::int16_t>((i * 7919) % 2000 - 1000);
    ASSERT_TRUE(WriteWave("mix.wav", Clip{MIX_RATE, 2, mix}));
    std::filesystem::create_directory("Sounds");
    ASSERT_TRUE(WriteWave("Sounds/beep31.wav", Clip{22050, 1, std::vector<std::int16_t>(44100)}));
  }

  static void Write(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
  }

  static PictureOptions Options() { return {"trace.jsonl", "mix.wav", "log.txt", "out.png"}; }

  ScratchFolder folder_;
  double seconds_ = 10.0;
  static QGuiApplication* application_;
};

QGuiApplication* FlightPictureTest::application_ = nullptr;

const char* const TRACE =
    R"({"t":100,"op":"create","file":"beep31.wav","flags":32768,"status":0})"
    "\n"
    R"({"t":1000,"op":"play","file":"beep31.wav","priority":0,"flags":0,"volume":0,"frequency":-1,"pan":0,"status":0})"
    "\n"
    R"({"t":2000,"op":"play","file":"doppler.wav","priority":0,"flags":1,"volume":-3000,"frequency":8100,"pan":0,"status":0})"
    "\n";

TEST_F(FlightPictureTest, DrawsEachSoundWhereAndAsLoudAsItPlayed) {
  Write("trace.jsonl", TRACE);
  Write("log.txt", "500 Loading barycentrics data...\n1000 Ready!\n");
  ASSERT_EQ(MakeFlightPicture(Options()), 0);
  const QImage picture("out.png");
  const PictureLayout layout = LayoutFor(2, seconds_);
  ASSERT_EQ(picture.width(), layout.width);
  ASSERT_EQ(picture.height(), layout.height);

  const int beepRow = layout.RowTop(0) + layout.rowHeight / 2;
  // beep31.wav lasts 2 s from its play at 1 s: its bar covers 2 s, not 3.5 s.
  EXPECT_EQ(picture.pixelColor(static_cast<int>(layout.X(2.0)), beepRow), LoudnessColour(0));
  EXPECT_EQ(picture.pixelColor(static_cast<int>(layout.X(3.5)), beepRow), QColor(Qt::white));
  // The loop at -30 dB is drawn half as tall as the row, to the end of the flight.
  const int loopBottom = layout.RowTop(1) + layout.rowHeight - 3;
  EXPECT_EQ(picture.pixelColor(static_cast<int>(layout.X(9.5)), loopBottom), LoudnessColour(-3000));
  EXPECT_NE(picture.pixelColor(static_cast<int>(layout.X(9.5)), layout.RowTop(1) + 3),
            LoudnessColour(-3000));
}

TEST_F(FlightPictureTest, GrowsARowForEverySound) {
  Write("trace.jsonl", TRACE);
  Write("log.txt", "");
  ASSERT_EQ(MakeFlightPicture(Options()), 0);
  const int twoRows = QImage("out.png").height();
  Write("trace.jsonl", std::string(TRACE) +
                           R"({"t":3000,"op":"play","file":"mining.wav","flags":1,"volume":0,"status":0})");
  ASSERT_EQ(MakeFlightPicture(Options()), 0);
  EXPECT_EQ(QImage("out.png").height(), twoRows + LayoutFor(1, 1.0).rowHeight);
}

TEST_F(FlightPictureTest, SkipsMalformedLinesWithOneWarning) {
  Write("trace.jsonl", std::string("{broken\n") + TRACE + "[]\n");
  Write("log.txt", "no time here\n1000 Ready!\n");
  ::testing::internal::CaptureStderr();
  ASSERT_EQ(MakeFlightPicture(Options()), 0);
  const std::string errors = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(errors,
            "flight-picture: skipped 3 malformed lines (2 in trace.jsonl, 1 in log.txt)\n");
  EXPECT_EQ(QImage("out.png").height(), LayoutFor(2, seconds_).height);
}

TEST_F(FlightPictureTest, NamesTheInputItCannotRead) {
  Write("trace.jsonl", TRACE);
  Write("log.txt", "");
  for (const auto& [options, named] : std::vector<std::pair<PictureOptions, std::string>>{
           {{"absent.jsonl", "mix.wav", "", "out.png"}, "absent.jsonl"},
           {{"trace.jsonl", "absent.wav", "", "out.png"}, "absent.wav"},
           {{"trace.jsonl", "trace.jsonl", "", "out.png"}, "trace.jsonl"},
           {{"trace.jsonl", "mix.wav", "absent.txt", "out.png"}, "absent.txt"},
           {{"trace.jsonl", "mix.wav", "", "no/such/folder/out.png"}, "no/such/folder/out.png"},
       }) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MakeFlightPicture(options), 1) << named;
    EXPECT_NE(::testing::internal::GetCapturedStderr().find(named), std::string::npos) << named;
  }
}

TEST(PictureOptionsTest, NeedsTraceWavAndOutAndTakesALog) {
  std::string error;
  const auto options = ParsePictureOptions(
      {"--out", "p.png", "--trace", "t.jsonl", "--log", "l.txt", "--wav", "m.wav"}, &error);
  ASSERT_TRUE(options);
  EXPECT_EQ(options->trace, "t.jsonl");
  EXPECT_EQ(options->wav, "m.wav");
  EXPECT_EQ(options->log, "l.txt");
  EXPECT_EQ(options->out, "p.png");
  EXPECT_TRUE(ParsePictureOptions({"--trace", "t", "--wav", "m", "--out", "p"}, &error));

  EXPECT_FALSE(ParsePictureOptions({"--trace", "t", "--wav", "m"}, &error));
  EXPECT_EQ(error, "missing --out");
  EXPECT_FALSE(ParsePictureOptions({"--trace", "t", "--wav"}, &error));
  EXPECT_EQ(error, "option '--wav' needs a path");
  EXPECT_FALSE(ParsePictureOptions({"--colour", "red"}, &error));
  EXPECT_EQ(error, "unknown option '--colour'");
}

}  // namespace
