#include <cstring>

#include <gtest/gtest.h>

#include "app/session_state.h"
#include "reactions/event_packet.h"

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

TEST(EventPacket, ConfigurationCompleteSetsTheFlagAndHighCodesAreIgnored) {
  session.configurationComplete = 0;
  EventPacket packet;
  packet.code = 3 + 20;
  HandleEventPacket(EncodeEventPacket(packet));
  EXPECT_EQ(session.configurationComplete, 0);
  packet.code = 3;
  HandleEventPacket(EncodeEventPacket(packet));
  EXPECT_EQ(session.configurationComplete, 1);
}
