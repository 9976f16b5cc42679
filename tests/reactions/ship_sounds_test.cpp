// The own ship's sounds: the choice by type, the fatal boxes, transfers (also racing
// the Onboard Effects box and the engine events), propulsion and the engine levels.
#include <atomic>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "app/main_dialog.h"
#include "app/session_state.h"
#include "audio/sound.h"
#include "reactions/ship_sounds.h"
#include "tests/reactions/reaction_test.h"

namespace {

using Lines = std::vector<std::string>;

class ShipSoundsTest : public ReactionTest {
 protected:
  std::vector<std::string> BoxLines() const {
    std::vector<std::string> lines;
    for (const auto& box : boxes.Boxes()) lines.push_back("[" + box.title + "] " + box.text);
    return lines;
  }
};

TEST_F(ShipSoundsTest, EachKnownTypeHasItsFilesAndCabinDamping) {
  struct Row {
    std::uint8_t type;
    const char* engine;
    float damping;
  };
  for (const Row& row : {Row{1, "MuVERmoto.wav", 0.0f}, Row{3, "AlienFreighter.wav", 0.125f},
                         Row{4, "AlienEng1.wav", 0.1f}, Row{5, "fighter_on_space1.wav", 0.075f},
                         Row{6, "MuVERmoto.wav", 0.0f}}) {
    SCOPED_TRACE(row.engine);
    AssignShipSounds(row.type);
    const auto ops = trace->Ops();
    ASSERT_GE(ops.size(), 3u);
    const TracedOp& engine = ops[ops.size() - 2];
    EXPECT_EQ(engine.file, row.engine);
    EXPECT_EQ(engine.flags, 0x80A0);
    EXPECT_EQ(ops.back().flags, 0x8000);
    EXPECT_EQ(session.cabinDamping, row.damping);
  }
  EXPECT_EQ(std::bit_cast<std::uint32_t>(0.1f), 0x3DCCCCCDu);
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(ShipSoundsTest, AnUnknownTypeEndsTheDialogWithOneBox) {
  session.cabinDamping = 0.125f;
  for (std::uint8_t type : {std::uint8_t{0}, std::uint8_t{2}}) SelectShipSounds(type);
  EXPECT_EQ(BoxLines(), (Lines{"[Could not find file!] Unknown ship type 0!",
                               "[Could not find file!] Unknown ship type 2!"}));
  EXPECT_EQ(window.EndCodes(), (std::vector<int>{2, 2}));
  EXPECT_EQ(session.cabinDamping, 0.125f);
  EXPECT_TRUE(NewOps().empty());
}

TEST_F(ShipSoundsTest, AMissingEngineFileIsTheOnlyBoxAndTheOthersAreCreated) {
  std::filesystem::remove(folder.Path() / "Sounds" / "MuVERmoto.wav");
  SelectShipSounds(1);
  EXPECT_EQ(BoxLines(), Lines{"[Could not find file!] Could not find engine!"});
  EXPECT_EQ(window.EndCodes(), std::vector<int>{2});
  EXPECT_NE(session.cockpitAmbience.Get(), nullptr);
  EXPECT_EQ(session.engineLoop.Get(), nullptr);
  EXPECT_NE(session.cockpitStartup.Get(), nullptr);
}

TEST_F(ShipSoundsTest, ASecondAssignmentReleasesTheFirstShipsSounds) {
  Event(0, 1, 0.0f, 3.0f);
  trace->Clear();
  Event(0, 1, 0.0f, 4.0f);
  EXPECT_EQ(NewOps(), (Lines{"stop 320-idle.wav", "stop AlienFreighter.wav", "stop startup40.wav",
                             "delete 320-idle.wav", "delete AlienFreighter.wav", "delete startup40.wav",
                             "create 322-idle.wav", "create AlienEng1.wav", "create prowler_start.wav"}));
}

TEST_F(ShipSoundsTest, TransferReplacesTheSoundsAndStartsTheCabin) {
  Event(0, 1, 0.0f, 3.0f, 0.0f, 9.0f);
  ShipEvent(3.0f, 0.0f, -100.0f, 5000.0f);
  trace->Clear();
  NewLines();
  Event(19, 42, 0.0f, 259.0f);
  EXPECT_EQ(NewLines(), Lines{"Transferred to slot 42"});
  EXPECT_EQ(session.ownSlot, 42);
  EXPECT_EQ(session.shipType, 3);
  EXPECT_EQ(session.ownPlayerNumber, 9);
  EXPECT_EQ(session.soundsReady, 1);
  EXPECT_EQ(NewOps(), (Lines{"stop 320-idle.wav", "stop AlienFreighter.wav", "stop startup40.wav",
                             "delete 320-idle.wav", "delete AlienFreighter.wav", "delete startup40.wav",
                             "create 320-idle.wav", "create AlienFreighter.wav", "create startup40.wav",
                             "play startup40.wav", "play 320-idle.wav"}));
  session.onboardSwitch = 0;
  Event(19, 42, 0.0f, 3.0f);
  EXPECT_TRUE(NewPlays().empty());
  EXPECT_EQ(session.soundsReady, 1);
}

TEST_F(ShipSoundsTest, ATransferBeforeTheBankHasLoadedLeavesTheSoundsUnready) {
  session.soundsReady = 0;
  Event(19, 3, 0.0f, 1.0f);
  EXPECT_EQ(session.soundsReady, 0);
  EXPECT_NE(session.engineLoop.Get(), nullptr);
}

TEST_F(ShipSoundsTest, PropulsionStartsTheCabinAndShutDownStopsEngineRumbleAndCabin) {
  Event(0, 0, 0.0f, 5.0f);
  trace->Clear();
  ShipEvent(19.0f);
  EXPECT_EQ(session.propulsionOn, 1);
  ShipEvent(3.0f, 0.0f, 0.0f, 0.0f);
  ShipEvent(4.0f, 0.0f, -300.0f);
  const auto plays = trace->Plays();
  ASSERT_EQ(plays.size(), 4u);
  EXPECT_EQ(plays[0].file, "cruiser_start.wav");
  EXPECT_EQ(plays[1].file, "CABIN FANS.wav");
  EXPECT_EQ(plays[1].flags, 1);
  EXPECT_EQ(plays[2].frequency, 100);
  EXPECT_EQ(plays[3].file, "rumble1.wav");
  EXPECT_EQ(plays[3].volume, -300);
  EXPECT_EQ(plays[3].frequency, -1);
  trace->Clear();
  Event(7, 0, 0.0f, 0.0f, 1.0f, 1.0f);
  EXPECT_EQ(NewOps(), (Lines{"stop fighter_on_space1.wav", "stop rumble1.wav", "stop CABIN FANS.wav"}));
  session.soundsReady = 0;
  session.propulsionOn = 1;
  Event(7, 0, 0.0f, 0.0f, 1.0f, 1.0f);
  EXPECT_EQ(session.propulsionOn, 0);
  EXPECT_TRUE(NewOps().empty());
}

// The dialog's Onboard Effects box and the engine events keep using the ship sounds
// while transfers replace them; the sanitizers watch for any use of a deleted Sound.
TEST_F(ShipSoundsTest, TransfersRaceTheOnboardBoxAndTheEngineEvents) {
  Event(0, 0, 0.0f, 1.0f);
  trace.reset();  // the trace file would only slow the race down
  std::atomic<bool> running{true};
  std::thread transfers([&] {
    for (int i = 0; i < 150; ++i) Event(19, static_cast<std::uint8_t>(i), 0.0f, i % 2 == 0 ? 3.0f : 4.0f);
    running = false;
  });
  std::thread dialog([&] {
    while (running) DialogProc(&window, WM_COMMAND, IDC_ONBOARD, 0);
  });
  std::thread engine([&] {
    for (int i = 0; running; ++i) {
      ShipEvent(3.0f, 0.0f, -100.0f, static_cast<float>(i % 20000));
      ShipEvent(19.0f);
      Event(7, 0, 0.0f, 0.0f, 1.0f, 1.0f);
    }
  });
  transfers.join();
  dialog.join();
  engine.join();
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(session.soundsReady, 1);
  EXPECT_NE(session.engineLoop.Get(), nullptr);
}

}  // namespace
