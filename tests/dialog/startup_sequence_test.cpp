// The start-up ticks against a stand-in link and sound device: every stage with its
// log line, each failure with its box and end code, and the hand-over to running.
#include <sys/stat.h>

#include <bit>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "app/entry_point.h"
#include "app/main_dialog.h"
#include "app/session_state.h"
#include "app/startup_sequence.h"
#include "audio/sound.h"
#include "audio/sound_bank_table.h"
#include "link/configuration_request.h"
#include "link/link_session.h"
#include "reactions/delayed_sound_queue.h"
#include "tests/dialog/dialog_fakes.h"
#include "tests/dialog/fake_sound_device.h"

namespace {

void WriteUniverse(std::size_t size, float rate) {
  std::string bytes(size, '\0');
  const auto bits = std::bit_cast<std::uint32_t>(rate);
  for (std::size_t i = 0; i < 4 && 1017 + i < size; ++i) {
    bytes[1017 + i] = static_cast<char>((bits >> (8 * i)) & 0xFFu);
  }
  std::ofstream("universe.dat", std::ios::binary) << bytes;
}

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSession();
    InstallFakeSoundDevice();
    InstallFakeLink();
    ASSERT_TRUE(Succeeded(InitDirectPlay()));
    DialogProc(&window, WM_INITDIALOG, 0, 0);
  }
  // The bank's sounds here come only from LoadSoundBank.
  void TearDown() override {
    DeleteLoadedSounds();
    ResetSession();
  }

  void Tick() { DialogProc(&window, WM_TIMER, 0, 0); }
  void TickUntilStage(std::int16_t stage) {
    for (int i = 0; i < 10 && session.startupStage < stage; ++i) {
      Tick();
    }
  }
  // Walks to the connect wait with a good universe.dat.
  void Connect() {
    WriteUniverse(1100, 1.0e-4f);
    TickUntilStage(STAGE_CONNECTING);
    FakeClient::Current()->CompleteConnect(DPN_OK);
  }

  ScratchFolder folder;
  FakeWindow window;
  RecordingMessageBoxes boxes;
};

TEST_F(StartupTest, EveryStageRunsOnceOnItsOwnTickUpToReady) {
  WriteUniverse(1100, 7.292e-5f);
  WriteSoundBankFiles(folder.Path());

  Tick();
  EXPECT_EQ(session.startupStage.load(), 1);
  EXPECT_EQ(session.g_wszHostName, u"127.0.0.1");
  EXPECT_EQ(StatusText(), "");

  Tick();
  EXPECT_EQ(session.startupStage.load(), 2);
  EXPECT_EQ(StatusText(), "Loading barycentrics data...");
  EXPECT_EQ(session.planetRotationRate.load(), 7.292e-5f);

  Tick();
  EXPECT_EQ(session.startupStage.load(), 3);
  EXPECT_EQ(FakeClient::Current()->connects, 1);
  EXPECT_EQ(FakeClient::Current()->connectHost, u"127.0.0.1");
  Tick();
  Tick();
  EXPECT_EQ(session.startupStage.load(), 3) << "waits for the connect completion";
  EXPECT_TRUE(FakeClient::Current()->sent.empty());

  FakeClient::Current()->CompleteConnect(DPN_OK);
  EXPECT_EQ(session.startupStage.load(), 4);

  Tick();
  EXPECT_EQ(session.startupStage.load(), 5);
  ASSERT_EQ(FakeClient::Current()->sent.size(), 1u);
  const SentPacket& request = FakeClient::Current()->sent[0];
  const EventPayload expected = ConfigurationRequest();
  EXPECT_EQ(request.data, std::vector<BYTE>(expected.begin(), expected.end()));
  EXPECT_EQ(request.flags, DPNSEND_GUARANTEED | DPNSEND_NOLOOPBACK);
  EXPECT_EQ(request.timeoutMs, 0u);

  EXPECT_FALSE(window.IsItemEnabled(IDC_TEST_TONE));
  Tick();
  EXPECT_EQ(session.startupStage.load(), 6);
  EXPECT_EQ(session.soundsReady.load(), 1);
  EXPECT_TRUE(window.IsItemEnabled(IDC_TEST_TONE));
  EXPECT_NE(session.bank.testTone, nullptr);

  Tick();
  EXPECT_EQ(session.startupStage.load(), 6) << "no configuration yet";
  session.configurationComplete = 1;
  Tick();
  EXPECT_EQ(session.startupStage.load(), STAGE_RUNNING);
  EXPECT_EQ(StatusText(),
            "Loading barycentrics data...\r\nConnecting to client...\r\n"
            "Connected, getting configuration...\r\nLoading sound files...\r\nReady!");
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_TRUE(window.EndCodes().empty());
}

TEST_F(StartupTest, AMissingUniverseFileClosesTheDialogAndLeavesTheRateAtZero) {
  Tick();
  Tick();
  EXPECT_EQ(StatusText(),
            "Loading barycentrics data...\r\nFatal: Failed to open \"universe.dat\"!\r\n"
            "Closing connection...");
  EXPECT_EQ(window.EndCodes(), std::vector<int>{2});
  EXPECT_TRUE(window.timers.empty());
  EXPECT_EQ(session.startupStage.load(), 2);
  EXPECT_EQ(session.planetRotationRate.load(), 0.0f);
}

// What is no readable file is handled as a missing one: the fatal line and the close.
TEST_F(StartupTest, AUniverseThatIsAFolderALoopOrAPipeIsFatalAndNeverWaits) {
  const std::vector<std::function<void()>> makers = {
      [] { std::filesystem::create_directory("universe.dat"); },
      [] { std::filesystem::create_symlink("universe.dat", "universe.dat"); },
      [] { ASSERT_EQ(::mkfifo("universe.dat", 0600), 0); }};
  for (const auto& make : makers) {
    ResetSession();
    InstallFakeSoundDevice();
    InstallFakeLink();
    ASSERT_TRUE(Succeeded(InitDirectPlay()));
    FakeWindow fresh;
    DialogProc(&fresh, WM_INITDIALOG, 0, 0);
    make();
    DialogProc(&fresh, WM_TIMER, 0, 0);
    DialogProc(&fresh, WM_TIMER, 0, 0);
    EXPECT_EQ(StatusText(),
              "Loading barycentrics data...\r\nFatal: Failed to open \"universe.dat\"!\r\n"
              "Closing connection...");
    EXPECT_EQ(fresh.EndCodes(), std::vector<int>{2});
    std::filesystem::remove_all("universe.dat");
  }
}

TEST_F(StartupTest, AnEmptyUniverseFileIsNoErrorAndLeavesTheRateAtZero) {
  WriteUniverse(0, 0.0f);
  TickUntilStage(STAGE_CONNECTING);
  EXPECT_EQ(StatusText(), "Loading barycentrics data...\r\nConnecting to client...");
  EXPECT_TRUE(window.EndCodes().empty());
  EXPECT_EQ(session.planetRotationRate.load(), 0.0f);
}

TEST_F(StartupTest, AShortUniverseFileGivesWhatCouldBeRead) {
  const float rate = 1.5e-3f;
  WriteUniverse(1019, rate);  // only the two low bytes of the float
  TickUntilStage(2);
  const std::uint32_t expected = std::bit_cast<std::uint32_t>(rate) & 0xFFFFu;
  EXPECT_EQ(std::bit_cast<std::uint32_t>(session.planetRotationRate.load()), expected);
  EXPECT_TRUE(window.EndCodes().empty());
}

TEST_F(StartupTest, ConnectCompletingWithAFailureShowsCheckConnectionAndEndsWithThree) {
  WriteUniverse(1100, 1.0f);
  TickUntilStage(STAGE_CONNECTING);
  FakeClient::Current()->CompleteConnect(DPNERR_NOCONNECTION);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].title, "Check Connection");
  EXPECT_EQ(boxes.Boxes()[0].type, MB_ICONERROR);
  EXPECT_EQ(window.EndCodes(), std::vector<int>{3});
  EXPECT_EQ(session.startupStage.load(), STAGE_CONNECTING);
}

TEST_F(StartupTest, AFailedSoundBankEndsTheDialogWithTwo) {
  Connect();
  TickUntilStage(6);
  EXPECT_EQ(session.soundsReady.load(), 0);
  EXPECT_FALSE(window.IsItemEnabled(IDC_TEST_TONE));
  ASSERT_FALSE(boxes.Boxes().empty());
  EXPECT_EQ(boxes.Boxes().back().title, "Could not find file!");
  EXPECT_EQ(window.EndCodes(), std::vector<int>{2});
}

TEST_F(StartupTest, ReadyNeedsBothTheConfigurationAndTheSounds) {
  session.configurationComplete = 1;  // event 3 arrives while the sounds load
  Connect();
  WriteSoundBankFiles(folder.Path());
  TickUntilStage(5);
  EXPECT_EQ(session.startupStage.load(), 5);
  Tick();  // loads the sounds; Ready! waits for the next tick
  EXPECT_EQ(session.startupStage.load(), 6);
  Tick();
  EXPECT_EQ(session.startupStage.load(), STAGE_RUNNING);

  session.startupStage = 6;
  session.soundsReady = 0;
  Tick();
  EXPECT_EQ(session.startupStage.load(), 6);
}

TEST_F(StartupTest, TheTickThatWritesReadyAlreadyCountsDelayedSoundsDown) {
  TestSound sound = MakeTestSound(folder.Path(), "early.wav");
  ASSERT_TRUE(QueueDelayedSound(sound.sound.get(), 0.0f, -300));
  session.startupStage = 6;
  session.soundsReady = 1;
  Tick();
  EXPECT_EQ(sound.buffer->plays, 0) << "nothing counts down before Ready!";
  session.configurationComplete = 1;
  Tick();
  EXPECT_EQ(sound.buffer->plays, 1);
  EXPECT_EQ(sound.buffer->volume, -300);
}

// Which link step fails: the device address, the host address, or the connect itself.
struct LinkFailure {
  const char* name;
  int failingSetSpAddress;
  int failingComponentAddress;
  HRESULT connectResult;
  const char* fatalText;
};

void PrintTo(const LinkFailure& failure, std::ostream* out) { *out << failure.name; }

class LinkStepFailureTest : public StartupTest, public ::testing::WithParamInterface<LinkFailure> {
 protected:
  void SetUp() override {
    StartupTest::SetUp();
    ReleaseLinkObjects();
    InstallFakeLink(GetParam().failingSetSpAddress, GetParam().failingComponentAddress);
    ASSERT_TRUE(Succeeded(InitDirectPlay()));
    FakeClient::Current()->connectResult = GetParam().connectResult;
  }
};

TEST_P(LinkStepFailureTest, ReportsItsOwnFatalBoxRunsTheLaterStepsAndCloses) {
  WriteUniverse(1100, 1.0f);
  TickUntilStage(STAGE_CONNECTING);
  std::vector<std::string> fatal;
  for (const RecordingMessageBoxes::Box& box : boxes.Boxes()) {
    if (box.title == "Fatal Error!" && box.text.starts_with("Failed on ") &&
        box.text.find("->") == std::string::npos) {
      fatal.push_back(box.text);
      EXPECT_EQ(box.type, MB_ICONERROR);
      EXPECT_EQ(box.owner, &window);
    }
  }
  EXPECT_EQ(fatal, std::vector<std::string>{GetParam().fatalText});
  EXPECT_EQ(FakeClient::Current()->connects, 1) << "a failure does not skip the later steps";
  const std::vector<int> codes = window.EndCodes();
  ASSERT_FALSE(codes.empty());
  for (int code : codes) {
    EXPECT_EQ(code, 2);
  }
  EXPECT_NE(StatusText().find("Closing connection..."), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, LinkStepFailureTest,
    ::testing::Values(LinkFailure{"DeviceAddress", 0, -1, DPNSUCCESS_PENDING,
                                  "Failed on CreateDeviceAddress, please report this error."},
                      LinkFailure{"HostAddress", -1, 1, DPNSUCCESS_PENDING,
                                  "Failed on EnumDirectPlayHosts, please report this error."},
                      LinkFailure{"Connect", -1, -1, DPNERR_INVALIDHOSTADDRESS,
                                  "Failed on ConnectToSession, please report this error."}),
    [](const ::testing::TestParamInfo<LinkFailure>& failure) { return std::string(failure.param.name); });

}  // namespace
