// Notices and roster lines: chat and cargo notices behind their switches, and roster
// lines of every shape filling their slot without spilling out of it.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "app/session_state.h"
#include "link/notification_packet.h"
#include "link/roster_line.h"
#include "tests/reactions/reaction_test.h"

namespace {

using Lines = std::vector<std::string>;

NotificationPayload Notice(std::uint8_t subtype, std::uint8_t index, const std::string& text = "") {
  NotificationPayload payload{};
  payload[0] = subtype;
  payload[1] = index;
  std::memcpy(payload.data() + 2, text.data(), std::min<std::size_t>(text.size(), 80));
  return payload;
}

class NotificationTest : public ReactionTest {};

TEST_F(NotificationTest, ChatChimesOnlyForOthersWithTheSwitchOn) {
  session.ownPlayerNumber = 4;
  HandleNotificationPacket(Notice(0, 4));
  HandleNotificationPacket(Notice(0, 5));
  session.notificationsSwitch = 0;
  HandleNotificationPacket(Notice(0, 5));
  EXPECT_EQ(NewLines(), Lines(3, "Incoming chat message..."));
  EXPECT_EQ(NewPlays(), Lines{"beep32.wav"});
}

TEST_F(NotificationTest, CargoNoticesAndUnknownSubtypes) {
  HandleNotificationPacket(Notice(2, 1));
  HandleNotificationPacket(Notice(2, 2));
  HandleNotificationPacket(Notice(2, 3));
  HandleNotificationPacket(Notice(1, 0, "A,B,1,0,0,0,0,1"));
  session.onboardSwitch = 0;
  session.notificationsSwitch = 0;
  HandleNotificationPacket(Notice(2, 1));
  HandleNotificationPacket(Notice(2, 2));
  EXPECT_EQ(NewPlays(), (Lines{"cha-ching.wav", "voxen-tiaditcb.wav"}));
  EXPECT_EQ(NewLines(), Lines(2, "There was a disturbance in the cargo bay..."));
  EXPECT_EQ(session.players[0].active, 0);
}

TEST_F(NotificationTest, ARosterLineFillsAndActivatesItsSlot) {
  session.players[6].objectId = 99;
  HandleNotificationPacket(Notice(9, 5, "ABC123,Name,3,0,0,0,0,4711,0,0,and the rest"));
  const PlayerSlot& slot = session.players[5];
  EXPECT_EQ(slot.active, 1);
  EXPECT_STREQ(slot.ivr, "ABC123");
  EXPECT_EQ(slot.type, 3);
  EXPECT_EQ(slot.objectId, 4711);
  EXPECT_EQ(session.players[6].objectId, 99);
  EXPECT_TRUE(NewLines().empty());
}

TEST_F(NotificationTest, ALineWithoutItsZeroByteEndsWithThePacket) {
  std::string text = "LONGIVR7,x,258,1,2,3,4,-1,";
  text.resize(80, '9');
  HandleNotificationPacket(Notice(9, 255, text));
  const PlayerSlot& slot = session.players[255];
  EXPECT_STREQ(slot.ivr, "LONGIV");
  EXPECT_EQ(slot.type, 2);
  EXPECT_EQ(slot.objectId, 65535);
  EXPECT_EQ(slot.active, 1);
}

TEST(RosterLine, FieldsReadUntilTheFirstThatDoesNotFit) {
  struct Case {
    const char* text;
    const char* ivr;
    std::uint32_t type;
    std::uint32_t objectId;
  };
  const Case cases[] = {
      {"A B,  C ,  -3, 1,2,3,4, 70000", "A B", 0xFFFFFFFDu, 70000},
      {"X,Y,+7,0,0,0,0,12", "X", 7, 12},
      {"X,Y,5,0,0,0", "X", 5, 0},
      {"X,Y,5,0,0,0,0,", "X", 5, 0},
      {"X,Y,5 ,0,0,0,0,9", "X", 5, 0},
      {"X,,5,0,0,0,0,9", "X", 0, 0},
      {",Y,5,0,0,0,0,9", "", 0, 0},
      {"X,Y,-,0,0,0,0,9", "X", 0, 0},
      {"", "", 0, 0},
      {"X,Y,99999999999,0,0,0,0,4294967297", "X", 1215752191u, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const RosterLine line = ParseRosterLine(c.text);
    EXPECT_EQ(line.ivr, c.ivr);
    EXPECT_EQ(line.shipType, c.type);
    EXPECT_EQ(line.objectId, c.objectId);
  }
}

// Weapon packets carry unsigned 16-bit ids; every one must find the player it names.
TEST_F(NotificationTest, EveryObjectIdMatchesTheUnsignedIdOfTheWeaponPackets) {
  for (std::uint32_t id = 0; id < 65536; ++id) {
    HandleNotificationPacket(Notice(9, 1, "P,N,1,0,0,0,0," + std::to_string(id)));
    const std::uint16_t weaponId = static_cast<std::uint16_t>(id);
    ASSERT_EQ(session.players[1].objectId, weaponId);
  }
  HandleNotificationPacket(Notice(9, 1, "P,N,1,0,0,0,0,-1"));
  EXPECT_EQ(session.players[1].objectId, 65535);
  HandleNotificationPacket(Notice(9, 1, "P,N,1,0,0,0,0,70000"));
  EXPECT_EQ(session.players[1].objectId, 4464);
}

}  // namespace
