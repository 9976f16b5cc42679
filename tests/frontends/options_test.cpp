// The soundmodule command line.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "platform/soundmodule/options.h"

namespace {

TEST(OptionsTest, NoOptionsRunsWithTheWindowAndTheAudioDevice) {
  const Options options = ParseOptions({});
  EXPECT_EQ(options.action, Options::Action::Run);
  EXPECT_FALSE(options.headless);
  EXPECT_EQ(options.audio.kind, AudioOutput::Kind::Device);
  EXPECT_TRUE(options.tracePath.empty());
}

TEST(OptionsTest, EveryOptionIsTaken) {
  const Options options = ParseOptions({"--headless", "--audio-out", "mix.wav", "--trace", "t.jsonl"});
  EXPECT_EQ(options.action, Options::Action::Run);
  EXPECT_TRUE(options.headless);
  EXPECT_EQ(options.audio.kind, AudioOutput::Kind::WavFile);
  EXPECT_EQ(options.audio.path, "mix.wav");
  EXPECT_EQ(options.tracePath, "t.jsonl");
  EXPECT_EQ(ParseOptions({"--audio-out", "null"}).audio.kind, AudioOutput::Kind::Null);
  EXPECT_EQ(ParseOptions({}).link, LinkKind::DirectPlay);
  EXPECT_EQ(ParseOptions({"--link", "tcp"}).link, LinkKind::Tcp);
  EXPECT_EQ(ParseOptions({"--link", "tcp", "--link", "directplay"}).link, LinkKind::DirectPlay);
  EXPECT_EQ(ParseOptions({"--record", "s.scenario"}).recordPath, "s.scenario");
}

TEST(OptionsTest, UnknownOptionsAndMissingPathsAreErrors) {
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {"--bogus"}, {"-h"}, {"--audio-out"}, {"--trace"}, {"--headless", "extra"}, {"--trace", ""},
           {"--link"}, {"--link", "udp"}, {"--record"}}) {
    const Options options = ParseOptions(arguments);
    EXPECT_EQ(options.action, Options::Action::Error) << arguments[0];
    EXPECT_FALSE(options.error.empty());
  }
}

TEST(OptionsTest, VersionShowsTheVersionData) {
  EXPECT_EQ(ParseOptions({"--version"}).action, Options::Action::Version);
  EXPECT_EQ(ParseOptions({"--help"}).action, Options::Action::Help);
  const std::string text = VersionText();
  for (const char* part :
       {"108.0.0.0", "Varnholt Industries Sound Module", "Sound Module", "Varnholt Industries"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part;
  }
}

// The README's Options table is what a user reads first; --help must not fall behind it.
TEST(OptionsTest, HelpListsEveryOptionOfTheReadme) {
  std::ifstream readme(README);
  ASSERT_TRUE(readme) << README;
  const std::regex row(R"(^\| `(--[a-z-]+)[ `])");
  std::vector<std::string> options;
  for (std::string line; std::getline(readme, line);) {
    if (std::smatch match; std::regex_search(line, match, row)) options.push_back(match[1]);
  }
  EXPECT_GE(options.size(), 4u);
  const std::string usage = UsageText();
  for (const std::string& option : options) {
    EXPECT_NE(usage.find("  " + option + " "), std::string::npos) << option;
  }
}

}  // namespace
