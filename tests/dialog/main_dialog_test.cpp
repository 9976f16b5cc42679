// The dialog procedure: opening, the command table, the close path and the entry steps.
#include <gtest/gtest.h>

#include "app/entry_point.h"
#include "app/main_dialog.h"
#include "app/session_state.h"
#include "audio/sound.h"
#include "reactions/periodic_update.h"
#include "tests/dialog/dialog_fakes.h"
#include "tests/dialog/fake_sound_device.h"

namespace {

std::vector<std::chrono::milliseconds> pauses;
std::vector<int> exitCodes;

class MainDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSession();
    InstallFakeSoundDevice();
    pauses.clear();
    exitCodes.clear();
    SetClosePause([](std::chrono::milliseconds duration) { pauses.push_back(duration); });
    SetProcessExit([](int code) { exitCodes.push_back(code); });
  }
  void TearDown() override { ResetSession(); }

  std::intptr_t Command(int id) {
    return DialogProc(&window, WM_COMMAND, static_cast<std::uintptr_t>(id), 0);
  }

  ScratchFolder folder;
  FakeWindow window;
  RecordingMessageBoxes boxes;
};

TEST_F(MainDialogTest, OpeningChecksTheBoxesFocusesTestToneAndStartsTheTimer) {
  EXPECT_EQ(DialogProc(&window, WM_INITDIALOG, 0, 0), 1);
  EXPECT_EQ(session.dialogWindow.load(), &window);
  EXPECT_TRUE(window.iconsSet);
  EXPECT_NE(session.soundManager.load(), nullptr);
  for (int id : {1020, 1021, 1022, 1024, 1025, 1026}) {
    EXPECT_TRUE(window.checked[id]) << id;
  }
  EXPECT_EQ(window.focused, IDC_TEST_TONE);
  EXPECT_EQ(window.timers, (std::map<int, unsigned>{{0, 250u}}));
  EXPECT_TRUE(window.EndCodes().empty());
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(MainDialogTest, AFailedSoundDeviceEndsTheDialogWithCodeThreeBeforeTheTimer) {
  SetDirectSoundFactory(nullptr);
  DialogProc(&window, WM_INITDIALOG, 0, 0);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  const RecordingMessageBoxes::Box box = boxes.Boxes()[0];
  EXPECT_EQ(box.text, "Error initializing DirectSound.  Sample will now exit.");
  EXPECT_EQ(box.title, "DirectSound Sample");
  EXPECT_EQ(box.type, MB_ICONERROR);
  EXPECT_EQ(box.owner, &window);
  EXPECT_EQ(window.EndCodes(), std::vector<int>{3});
  EXPECT_TRUE(window.timers.empty());
  EXPECT_TRUE(window.checked.empty());
}

TEST_F(MainDialogTest, EachCheckBoxFlipsOnlyItsOwnSwitch) {
  const std::pair<int, Flag*> switches[] = {
      {1020, &session.weaponsSwitch},           {1021, &session.notificationsSwitch},
      {1022, &session.dockAnnouncementsSwitch}, {1024, &session.environmentalSwitch},
      {1025, &session.onboardSwitch},           {1026, &session.endOfTransmissionSwitch}};
  for (const auto& [id, flag] : switches) {
    EXPECT_EQ(Command(id), 1);
    for (const auto& [otherId, other] : switches) {
      EXPECT_EQ(other->load(), otherId == id ? 0 : 1) << "after clicking " << id;
    }
    Command(id);
    EXPECT_EQ(flag->load(), 1) << id;
  }
}

TEST_F(MainDialogTest, UnknownIdsAndEnterAreNotHandled) {
  EXPECT_EQ(Command(IDOK), 0);
  EXPECT_EQ(Command(1023), 0);
  EXPECT_EQ(Command(IDC_STATUS_BOX), 0);
  EXPECT_EQ(DialogProc(&window, 0x0200, 0, 0), 0);
  EXPECT_TRUE(window.EndCodes().empty());
}

TEST_F(MainDialogTest, TheNotificationCodeInTheHighWordIsIgnored) {
  DialogProc(&window, WM_COMMAND, (1u << 16) | 1001u, 0);
  EXPECT_EQ(session.whodatRequested.load(), 1);
}

TEST_F(MainDialogTest, TestTonePlaysOnceAndGreysTheButtonUntilTheToneEnds) {
  TestSound tone = MakeTestSound(folder.Path(), "tone.wav");
  session.bank.testTone = tone.sound.get();
  window.EnableItem(IDC_TEST_TONE, true);

  Command(IDC_TEST_TONE);
  EXPECT_EQ(tone.buffer->plays, 1);
  EXPECT_EQ(tone.buffer->playFlags, 0u);
  EXPECT_FALSE(window.IsItemEnabled(IDC_TEST_TONE));

  PeriodicUpdate(&window);
  EXPECT_FALSE(window.IsItemEnabled(IDC_TEST_TONE)) << "still playing";
  tone.buffer->playing = false;
  PeriodicUpdate(&window);
  EXPECT_TRUE(window.IsItemEnabled(IDC_TEST_TONE));
}

TEST_F(MainDialogTest, DockAnnouncementsOffStopsTheirSoundsOnlyOnceTheBankIsLoaded) {
  std::vector<TestSound> sounds;
  for (int i = 0; i < 14; ++i) {
    sounds.push_back(MakeTestSound(folder.Path(), "dock" + std::to_string(i) + ".wav"));
  }
  for (int i = 0; i < 12; ++i) {
    session.bank.dockAnnouncements[i] = sounds[static_cast<std::size_t>(i)].sound.get();
  }
  session.bank.dockEvacAnnouncement = sounds[12].sound.get();
  session.bank.dockChime = sounds[13].sound.get();

  Command(IDC_DOCK_ANNOUNCEMENTS);  // off, bank not ready: nothing stops
  Command(IDC_DOCK_ANNOUNCEMENTS);  // on
  for (const TestSound& sound : sounds) {
    EXPECT_EQ(sound.buffer->stops, 0);
  }
  session.soundsReady = 1;
  Command(IDC_DOCK_ANNOUNCEMENTS);  // off: all fourteen stop
  Command(IDC_DOCK_ANNOUNCEMENTS);  // on: starts nothing
  for (const TestSound& sound : sounds) {
    EXPECT_EQ(sound.buffer->stops, 1);
    EXPECT_EQ(sound.buffer->plays, 0);
  }
}

TEST_F(MainDialogTest, EnvironmentalOffStopsThunderAndTheLoops) {
  std::vector<TestSound> sounds;
  for (int i = 0; i < 17; ++i) {
    sounds.push_back(MakeTestSound(folder.Path(), "env" + std::to_string(i) + ".wav"));
  }
  for (int i = 0; i < 15; ++i) {
    session.bank.thunderSounds[i] = sounds[static_cast<std::size_t>(i)].sound.get();
  }
  session.bank.miningLoop = sounds[15].sound.get();
  session.bank.waveLoop = sounds[16].sound.get();
  session.soundsReady = 1;
  Command(IDC_ENVIRONMENTAL);
  for (const TestSound& sound : sounds) {
    EXPECT_EQ(sound.buffer->stops, 1);
  }
}

TEST_F(MainDialogTest, OnboardEffectsRestartTheAmbienceOnlyWhileTheEnginesRun) {
  Command(IDC_ONBOARD);  // no ambience yet: nothing to do
  Command(IDC_ONBOARD);
  TestSound ambience = MakeTestSound(folder.Path(), "ambience.wav");
  BufferRecord& buffer = *ambience.buffer;
  session.cockpitAmbience.Exchange(std::shared_ptr<Sound>(std::move(ambience.sound)));

  Command(IDC_ONBOARD);  // off
  EXPECT_EQ(buffer.stops, 1);
  Command(IDC_ONBOARD);  // on, engines off
  EXPECT_EQ(buffer.plays, 0);
  EXPECT_EQ(buffer.stops, 2);

  session.propulsionOn = 1;
  Command(IDC_ONBOARD);  // off
  Command(IDC_ONBOARD);  // on, engines running
  EXPECT_EQ(buffer.plays, 1);
  EXPECT_EQ(buffer.playFlags, DSBPLAY_LOOPING);
}

TEST_F(MainDialogTest, CloseLogsPausesASecondAndEndsWithCodeTwo) {
  DialogProc(&window, WM_INITDIALOG, 0, 0);
  EXPECT_EQ(DialogProc(&window, WM_CLOSE, 0, 0), 1);
  EXPECT_TRUE(window.timers.empty());
  EXPECT_EQ(StatusText(), "Closing connection...");
  EXPECT_EQ(pauses, std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(1000)});
  EXPECT_EQ(window.EndCodes(), std::vector<int>{2});
  EXPECT_TRUE(window.texts.empty()) << "the box is not redrawn during the close";
}

TEST_F(MainDialogTest, EscapeClosesLikeTheCloseButton) {
  Command(IDCANCEL);
  EXPECT_EQ(StatusText(), "Closing connection...");
  EXPECT_EQ(window.EndCodes(), std::vector<int>{2});
}

TEST_F(MainDialogTest, RefreshShowsTheLogAndDestroyEndsTheProcessWithZero) {
  LogStatus(&window, "one");
  LogStatus(&window, "two");
  EXPECT_EQ(window.PostedIds(), (std::vector<unsigned>{WM_APP, WM_APP}));
  DialogProc(&window, WM_APP, 0, 0);
  EXPECT_EQ(window.texts[IDC_STATUS_BOX], "one\r\ntwo");
  EXPECT_EQ(window.scrolledToBottom, std::vector<int>{IDC_STATUS_BOX});
  session.dialogWindow = &window;
  DialogProc(&window, WM_DESTROY, 0, 0);
  EXPECT_EQ(exitCodes, std::vector<int>{0});
  LogStatus(session.dialogWindow, "after the end");
  EXPECT_EQ(window.PostedIds().size(), 2u) << "no message to a destroyed window";
}

class RecordingFrontEnd : public FrontEnd {
 public:
  int RunDialog(DialogProcedure procedure) override {
    runs++;
    EXPECT_EQ(procedure, &DialogProc);
    return 2;
  }
  int runs = 0;
};

TEST_F(MainDialogTest, EntryClearsTheTablesAndRunsTheDialogEvenWithoutALinkClient) {
  session.players[7].active = 1;
  session.delayedSounds[3].active = 1;
  RecordingFrontEnd frontEnd;
  EXPECT_EQ(RunSoundModule(frontEnd), 1);
  EXPECT_EQ(frontEnd.runs, 1);
  EXPECT_EQ(session.players[7].active, 0);
  EXPECT_EQ(session.delayedSounds[3].active, 0);
  const std::vector<RecordingMessageBoxes::Box> shown = boxes.Boxes();
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back().text, "Failed on InitDirectPlay, please report this error.");
  EXPECT_EQ(shown.back().title, "Fatal Error!");
  EXPECT_EQ(shown.back().type, MB_ICONERROR);
  EXPECT_EQ(shown.back().owner, nullptr);
}

TEST_F(MainDialogTest, EntryShowsNoBoxWhenTheLinkClientStarts) {
  InstallFakeLink();
  RecordingFrontEnd frontEnd;
  RunSoundModule(frontEnd);
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(frontEnd.runs, 1);
}

}  // namespace
