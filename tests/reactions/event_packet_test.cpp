// The event table: how the float fields are read, the slot assignment and console
// state, lights and gear, death, and the ship events with their gates and lines.
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

#include "app/session_state.h"
#include "reactions/event_packet.h"
#include "reactions/float_fields.h"
#include "reactions/ship_event.h"
#include "tests/reactions/reaction_test.h"

namespace {

using Lines = std::vector<std::string>;

TEST(EventPacket, DecodesFieldsAtTheirOffsets) {
  EventPayload payload{};
  payload[0] = 10;
  payload[1] = 200;
  payload[2] = 0xAA;  // reserved, never read
  const float values[4] = {3.9f, -1.0f, -600.0f, 1e30f};
  std::memcpy(payload.data() + 4, values, sizeof values);
  const EventPacket packet = DecodeEventPacket(payload);
  EXPECT_EQ(packet.code, 10);
  EXPECT_EQ(packet.index, 200);
  EXPECT_EQ(packet.valueA, 3.9f);
  EXPECT_EQ(packet.valueB, -1.0f);
  EXPECT_EQ(packet.valueC, -600.0f);
  EXPECT_EQ(packet.valueD, 1e30f);
  EXPECT_EQ(EncodeEventPacket(packet), payload);
}

TEST(FloatFields, WholeExactAndZeroAreThreeDifferentReadings) {
  EXPECT_EQ(WholeNumber(3.9f), 3);
  EXPECT_EQ(WholeNumber(-1500.7f), -1500);
  EXPECT_EQ(WholeNumber16(70000.0f), 4464);
  EXPECT_EQ(WholeNumber16(-1.0f), -1);
  EXPECT_TRUE(IsExactly(1.0f, 1.0f));
  EXPECT_FALSE(IsExactly(1.0000001f, 1.0f));
  EXPECT_FALSE(IsExactly(-0.0f, 0.0f));
  EXPECT_TRUE(IsZero(-0.0f));
  EXPECT_FALSE(IsZero(std::numeric_limits<float>::quiet_NaN()));
}

class EventTest : public ReactionTest {};

TEST_F(EventTest, SlotAssignmentSetsTheFieldsAndCreatesTheShipSounds) {
  Event(0, 7, 0.0f, 257.0f, 0.0f, 300.0f);
  EXPECT_EQ(NewLines(), Lines{"Our slot number as assigned:  P300V7T1"});
  EXPECT_EQ(session.ownSlot, 7);
  EXPECT_EQ(session.ownPlayerNumber, 300 & 0xFF);
  EXPECT_EQ(session.shipType, 1);
  EXPECT_EQ(NewOps(), (Lines{"create 321-idle.wav", "create MuVERmoto.wav", "create vehicle_start.wav"}));
  EXPECT_TRUE(window.EndCodes().empty());
}

TEST_F(EventTest, SlotTwoHundredFiftyFiveClosesAndStillTakesTheAssignment) {
  Event(0, 255, 0.0f, 3.0f, 0.0f, -2.0f);
  EXPECT_EQ(NewLines(), (Lines{"Closing connection...", "Our slot number as assigned:  P-2V255T3"}));
  EXPECT_EQ(window.EndCodes(), std::vector<int>{2});
  EXPECT_EQ(session.ownSlot, 255);
  EXPECT_EQ(session.cabinDamping, 0.125f);
  EXPECT_NE(session.engineLoop.Get(), nullptr);
}

TEST_F(EventTest, ConsoleStateClosesOnZeroAndShutsDownOnlyOnExactOnes) {
  session.propulsionOn = 1;
  Event(7, 0, 0.0f, 0.0f, 1.0f, 2.0f);
  Event(7, 0, 0.0f, 0.0f, 1.0000001f, 1.0f);
  EXPECT_TRUE(NewLines().empty());
  EXPECT_EQ(session.propulsionOn, 1);
  Event(7, 0, 0.0f, 0.0f, 1.0f, 1.0f);
  EXPECT_EQ(NewLines(), Lines{"Propulsion shut down..."});
  EXPECT_EQ(session.propulsionOn, 0);
  Event(7, 0, 0.0f, 0.0f, -0.0f, 1.0f);
  EXPECT_EQ(NewLines(), Lines{"Closing connection..."});
  EXPECT_EQ(window.EndCodes(), std::vector<int>{2});
}

TEST_F(EventTest, CodesWithoutAReactionAndCodesOfTwentyOrMoreChangeNothing) {
  for (const int code : {1, 4, 6, 8, 9, 11, 13, 16, 17, 18, 20, 23, 255}) {
    Event(static_cast<std::uint8_t>(code), 0, 1.0f, 1.0f, 0.0f, 6.0f);
  }
  EXPECT_TRUE(NewLines().empty());
  EXPECT_TRUE(NewOps().empty());
  EXPECT_EQ(session.docked, 0);
  EXPECT_TRUE(window.EndCodes().empty());
}

TEST_F(EventTest, PlayerLeavingClearsOnlyItsSlot) {
  session.players[9].active = 1;
  session.players[10].active = 1;
  Event(5, 9, 0.0f);
  EXPECT_EQ(session.players[9].active, 0);
  EXPECT_EQ(session.players[10].active, 1);
}

TEST_F(EventTest, LightsAndGearOnlyForTheOwnSlotWithOnboardEffects) {
  session.ownSlot = 4;
  session.shipType = 3;
  Event(12, 5, 0.0f, 0.0f, 0.0f, 6.0f);
  session.onboardSwitch = 0;
  Event(12, 4, 0.0f, 0.0f, 0.0f, 6.0f);
  EXPECT_EQ(session.gearDown, 0);
  EXPECT_TRUE(NewLines().empty());
  session.onboardSwitch = 1;
  Event(12, 4, 0.0f, 0.0f, 0.0f, 6.0f);
  EXPECT_EQ(session.gearDown, 1);
  Event(12, 4, 0.0f, 0.0f, 0.0f, 2.0f);
  Event(12, 4, 0.0f, 0.0f, 0.0f, 3.0f);
  session.shipType = 6;
  Event(12, 4, 0.0f, 0.0f, 0.0f, 2.0f);
  Event(12, 4, 0.0f, 0.0f, 0.0f, 7.0f);
  Event(12, 4, 0.0f, 0.0f, 0.0f, 6.5f);
  EXPECT_EQ(session.gearDown, 0);
  EXPECT_EQ(NewLines(), (Lines{"In transit!", "Landing lights activated...", "Landing lights deactivated...",
                               "Landing lights activated...", "In transit!"}));
  EXPECT_EQ(NewPlays(), (Lines{"GEARDOWN.wav", "voxen-ll1.wav", "voxen-ll0.wav", "nchime.wav", "GEARUP.wav"}));
}

TEST_F(EventTest, DeathLogsEvenBeforeTheSoundsAreReady) {
  session.soundsReady = 0;
  Event(15, 0, 0.0f, 0.0f, 0.0f, 5.9f);
  EXPECT_TRUE(NewPlays().empty());
  session.soundsReady = 1;
  Event(15, 0, 0.0f, 0.0f, 0.0f, 4.0f);
  EXPECT_EQ(NewLines(), (Lines{"Self destructed!", "Fatality!"}));
  EXPECT_EQ(NewPlays().size(), 1u);
}

TEST_F(EventTest, ShipEventSubCodesAreWholeNumbersInRange) {
  Event(0, 0, 0.0f, 3.0f);
  NewLines();
  trace->Clear();
  ShipEvent(-1.0f);
  ShipEvent(27.0f);
  ShipEvent(65536.0f + 1.0f);  // 16-bit whole number 1: touchdown
  ShipEvent(3.9f, 0.0f, -1500.7f, 22050.0f);
  EXPECT_EQ(NewLines(), Lines{"Touchdown!"});
  const auto plays = trace->Plays();
  ASSERT_EQ(plays.size(), 2u);
  EXPECT_EQ(plays[0].file, "touchlb.wav");
  EXPECT_EQ(plays[1].file, "AlienFreighter.wav");
  EXPECT_EQ(plays[1].volume, -1500);
  EXPECT_EQ(plays[1].frequency, 22150);
  EXPECT_EQ(plays[1].flags, 1);
}

TEST_F(EventTest, PainSoundsSplitTheDrawsInThirds) {
  const SoundBank& bank = session.bank;
  EXPECT_EQ(PainSound(0), bank.pain3Sound);
  EXPECT_EQ(PainSound(10922), bank.pain3Sound);
  EXPECT_EQ(PainSound(10923), bank.pain2Sound);
  EXPECT_EQ(PainSound(21844), bank.pain2Sound);
  EXPECT_EQ(PainSound(21845), bank.pain1Sound);
  EXPECT_EQ(PainSound(32767), bank.pain1Sound);
}

TEST_F(EventTest, MessagesAreWrittenWhateverTheGatesSay) {
  session.soundsReady = 0;
  ShipEvent(13.0f);
  ShipEvent(25.0f, 0.0f, 0.0f, 1.0f);
  ShipEvent(25.0f, 0.0f, 0.0f, 4.0f);
  ShipEvent(25.0f, 0.0f, 0.0f, 6.0f);
  ShipEvent(25.0f, 0.0f, 0.0f, 2.0f);
  ShipEvent(6.0f);
  ShipEvent(11.0f);
  EXPECT_TRUE(NewPlays().empty());
  session.soundsReady = 1;
  session.notificationsSwitch = 0;
  ShipEvent(8.0f, 0.0f, 0.0f, 0.0f, 1);
  ShipEvent(8.0f, 0.0f, 0.0f, 0.0f, 5);
  EXPECT_TRUE(NewPlays().empty());
  EXPECT_EQ(NewLines(), (Lines{"There was an EM disturbance...", "Ground impact!", "Impacted with city!",
                               "Water impact!", "Pulling some G's!", "Splashdown!", "Player added...",
                               "Player removed..."}));
}

// Each row's sound behind its gate: readiness, and the switch where the row names one.
TEST_F(EventTest, ShipEventsPlayTheirSoundsBehindTheirGates) {
  struct Row {
    float subCode;
    float valueB;
    std::uint8_t index;
    const char* file;
    Flag* categorySwitch;
  };
  const Row rows[] = {
      {1.0f, 0.0f, 0, "touchlb.wav", nullptr},
      {2.0f, 0.0f, 0, "touchld.wav", nullptr},
      {8.0f, 0.0f, 0, "beep02.wav", &session.notificationsSwitch},
      {8.0f, 0.0f, 1, "beep31.wav", &session.notificationsSwitch},
      {8.0f, 0.0f, 5, "beep29b.wav", &session.notificationsSwitch},
      {9.0f, 0.0f, 0, "voxen-sr.wav", &session.onboardSwitch},
      {9.0f, 4.0f, 0, "voxen-ba.wav", &session.onboardSwitch},
      {10.0f, 2.0f, 0, "ky100 hi low tone.wav", nullptr},
      {10.0f, 3.0f, 0, "voxen-cfl.wav", &session.onboardSwitch},
      {10.0f, 4.0f, 0, "voxen-vpt1.wav", &session.onboardSwitch},
      {10.0f, 5.0f, 0, "voxen-vpt0.wav", &session.onboardSwitch},
      {12.0f, -0.0f, 0, "voxen-strutsr.wav", nullptr},
      {12.0f, 1.0f, 0, "voxen-strutse.wav", nullptr},
      {13.0f, 0.0f, 0, "dihv.wav", nullptr},
      {14.0f, 0.0f, 0, "int_tailbreak01.wav", nullptr},
      {17.0f, 0.0f, 0, "int_wingbreak02.wav", nullptr},
      {18.0f, 0.0f, 0, "2450hztone.wav", &session.endOfTransmissionSwitch},
      {21.0f, 0.0f, 0, "cycletarget.wav", &session.onboardSwitch},
      {22.0f, 0.0f, 0, "collision.wav", &session.weaponsSwitch},
      {23.0f, 0.0f, 0, "tireskid.wav", nullptr},
      {24.0f, 0.0f, 0, "repair.wav", &session.onboardSwitch},
      {26.0f, 0.0f, 0, "gearshift.wav", nullptr},
  };
  session.shipType = 3;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    session.soundsReady = 0;
    ShipEvent(row.subCode, row.valueB, 0.0f, 0.0f, row.index);
    EXPECT_TRUE(NewPlays().empty());
    session.soundsReady = 1;
    if (row.categorySwitch != nullptr) {
      *row.categorySwitch = 0;
      ShipEvent(row.subCode, row.valueB, 0.0f, 0.0f, row.index);
      EXPECT_TRUE(NewPlays().empty());
      *row.categorySwitch = 1;
    }
    ShipEvent(row.subCode, row.valueB, 0.0f, 0.0f, row.index);
    EXPECT_EQ(NewPlays(), Lines{row.file});
  }
}

}  // namespace
