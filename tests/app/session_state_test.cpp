#include <gtest/gtest.h>

#include "app/session_state.h"

TEST(SessionState, StartsWithEverySwitchOnAndNoPlayers) {
  SessionState fresh;
  for (const Flag* flag : {&fresh.weaponsSwitch, &fresh.notificationsSwitch, &fresh.dockAnnouncementsSwitch,
                           &fresh.environmentalSwitch, &fresh.onboardSwitch, &fresh.endOfTransmissionSwitch}) {
    EXPECT_EQ(*flag, 1);
  }
  for (const PlayerSlot& slot : fresh.players) {
    EXPECT_EQ(slot.active, 0);
    EXPECT_EQ(slot.ref, 0);
    EXPECT_EQ(slot.position, Vector3{});
  }
  EXPECT_EQ(fresh.startupStage, 0);
  EXPECT_EQ(fresh.lastDopplerVolume, -10000.0f);
  EXPECT_EQ(fresh.lastDopplerFrequency, 8000.0f);
}

TEST(SessionState, SwitchFlipTurnsAnyNonZeroOff) {
  Flag flag{1};
  FlipSwitch(flag);
  EXPECT_EQ(flag, 0);
  FlipSwitch(flag);
  EXPECT_EQ(flag, 1);
  flag = 7;
  FlipSwitch(flag);
  EXPECT_EQ(flag, 0);
}

TEST(SessionState, IvrKeepsAtMostSixCharactersAndLeavesNeighboursAlone) {
  PlayerSlot slot;
  slot.objectId = 0x1234;
  SetIvr(slot, "ABCDEFGHIJKLMNOP");
  EXPECT_STREQ(slot.ivr, "ABCDEF");
  EXPECT_EQ(slot.objectId, 0x1234);
  SetIvr(slot, "X1");
  EXPECT_STREQ(slot.ivr, "X1");
}

// A roster line without its first field gives an empty view with no data behind it.
TEST(SessionState, AnIvrFromAnEmptyViewIsEmpty) {
  PlayerSlot slot;
  SetIvr(slot, "OLD");
  SetIvr(slot, std::string_view());
  EXPECT_STREQ(slot.ivr, "");
}

TEST(SessionState, ClearingEmptiesTablesAndSoundArrays) {
  session.players[5].active = 1;
  session.delayedSounds[63].active = 1;
  session.bank.thunderSounds[14] = reinterpret_cast<Sound*>(&session);
  session.precipitationIntensity = 3.0f;
  ClearSessionTables();
  EXPECT_EQ(session.players[5].active, 0);
  EXPECT_EQ(session.delayedSounds[63].active, 0);
  EXPECT_EQ(session.bank.thunderSounds[14], nullptr);
  EXPECT_EQ(session.precipitationIntensity, 0.0f);
}
