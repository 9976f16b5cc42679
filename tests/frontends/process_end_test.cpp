// Every way the soundmodule program ends while other threads still run module code:
// the Console Client refusing a slot or closing the console from a link worker, the
// session ended, a fatal box shown by a worker, the user's close while packets stream
// in, and the windowed front end. Each ends with code 0 and leaves its outputs whole:
// the trace in whole lines, the recorded WAV with sizes that match the file.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "tests/frontends/module_run.h"

namespace {

using namespace std::chrono_literals;

struct EndCase {
  const char* name;
  const char* scenario;
  bool windowed = false;
  bool userCloses = false;  // clicks close once the module is ready
};

constexpr const char* kShipAssigned =
    "configuration:\n"
    "event slot index=1 a=1 b=1\n"
    "event config-complete\n"
    "flight:\n";

const EndCase kCases[] = {
    {"SlotRefused", "@3 event slot index=255 b=1\n"},
    {"ConsoleClosed", "@3 event console c=0\n"},
    {"SessionEnded", "@3 end\n"},
    {"FatalBoxFromAWorker", "@3 event transfer index=1 b=99\n"},
    {"UserCloseWhilePacketsStreamIn", "repeat 3000 every 0.02: chat from=1\n@60 end\n", false, true},
    {"WindowedSlotRefused", "@3 event slot index=255 b=1\n", true},
};

std::string FileText(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::uint32_t Little32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// A canonical 44-byte header whose RIFF and data sizes count exactly the file's bytes.
void ExpectWavSizesMatchTheFile(const std::filesystem::path& path) {
  const std::string bytes = FileText(path);
  ASSERT_GT(bytes.size(), 44u);
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(bytes.substr(36, 4), "data");
  EXPECT_EQ(Little32(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(Little32(bytes, 40), bytes.size() - 44);
}

void ExpectWholeTraceLines(const std::filesystem::path& path) {
  const std::string text = FileText(path);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n');
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_TRUE(line.starts_with("{\"t\":") && line.ends_with("}")) << line;
  }
}

void PrintTo(const EndCase& end, std::ostream* out) { *out << end.name; }

class ProcessEndTest : public ModuleRunTest, public testing::WithParamInterface<EndCase> {};

TEST_P(ProcessEndTest, EndsWithCodeZeroAndWholeOutputs) {
  const EndCase& end = GetParam();
  const auto scenario = folder_ / "end.scenario";
  std::ofstream(scenario) << kShipAssigned << end.scenario;
  // The default link, whose workers are the ones still running when the process ends.
  const auto simulator = StartSimulator(scenario.c_str(), "directplay");
  const auto wav = folder_ / "mix.wav";
  const auto trace = folder_ / "trace.jsonl";
  std::vector<std::string> arguments{"--audio-out", wav.string(), "--trace", trace.string()};
  if (end.windowed) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("LSAN_OPTIONS", "suppressions=" WINDOWED_LEAKS, 1);
    setenv("TSAN_OPTIONS", "suppressions=" WINDOWED_RACES, 1);
  } else {
    arguments.push_back("--headless");
  }
  ChildProcess module(SOUNDMODULE, arguments, folder_.string());
  std::vector<std::string> lines;
  if (end.userCloses) {
    ASSERT_TRUE(ReadUntil(module, "Ready!", lines, 60s)) << module.ErrorOutput();
    ASSERT_TRUE(module.WriteInput("2\n"));
  }
  const auto deadline = Clock::now() + 60s;
  while (module.ReadLine(deadline)) {
  }
  EXPECT_EQ(module.Wait(deadline), 0) << module.ErrorOutput();
  if (!end.windowed) {
    EXPECT_NE(module.ErrorOutput().find("[end] 2\n"), std::string::npos) << module.ErrorOutput();
  }
  ExpectWavSizesMatchTheFile(wav);
  ExpectWholeTraceLines(trace);
}

INSTANTIATE_TEST_SUITE_P(EveryWayIn, ProcessEndTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<EndCase>& each) { return each.param.name; });

}  // namespace
