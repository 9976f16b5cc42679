#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/session_state.h"
#include "link/configuration_request.h"
#include "link/link_messages.h"
#include "link/message_dispatch.h"
#include "link/packet_handlers.h"
#include "tests/support/recording_message_boxes.h"
#include "tests/support/recording_window.h"

namespace {

std::atomic<int> playerStates{0};
std::atomic<int> events{0};
std::atomic<int> weapons{0};
std::atomic<int> notifications{0};
std::atomic<int> badCopies{0};

// Each handler checks that its copy holds the bytes sent: every byte equals the size.
template <std::size_t N>
void Check(const std::array<std::uint8_t, N>& payload, std::atomic<int>& counter) {
  for (std::uint8_t byte : payload) {
    if (byte != static_cast<std::uint8_t>(N)) {
      ++badCopies;
    }
  }
  ++counter;
}

class DispatchTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = packetHandlers;
    packetHandlers = {[](const PlayerStatePayload& p) { Check(p, playerStates); },
                      [](const EventPayload& p) { Check(p, events); },
                      [](const WeaponPayload& p) { Check(p, weapons); },
                      [](const NotificationPayload& p) { Check(p, notifications); }};
    for (std::atomic<int>* counter : {&playerStates, &events, &weapons, &notifications, &badCopies}) {
      *counter = 0;
    }
    session.dialogWindow = &window_;
    session.startupStage = 3;
  }
  void TearDown() override {
    packetHandlers = saved_;
    session.dialogWindow = nullptr;
  }

  static HRESULT Receive(DWORD size) {
    std::vector<BYTE> bytes(size + 1, static_cast<BYTE>(size));
    DPNMSG_RECEIVE message;
    message.pReceiveData = bytes.data();
    message.dwReceiveDataSize = size;
    return LinkMessageHandler(nullptr, DPN_MSGID_RECEIVE, &message);
  }

  RecordingWindow window_;
  PacketHandlers saved_;
};

}  // namespace

TEST_F(DispatchTest, EachKnownSizeReachesItsHandlerWithItsOwnCopy) {
  EXPECT_EQ(Receive(64), DPN_OK);
  EXPECT_EQ(Receive(20), DPN_OK);
  EXPECT_EQ(Receive(36), DPN_OK);
  EXPECT_EQ(Receive(82), DPN_OK);
  EXPECT_EQ(playerStates, 1);
  EXPECT_EQ(events, 1);
  EXPECT_EQ(weapons, 1);
  EXPECT_EQ(notifications, 1);
  EXPECT_EQ(badCopies, 0);
}

TEST_F(DispatchTest, OtherSizesAreDroppedSilently) {
  for (DWORD size : {0u, 1u, 19u, 21u, 35u, 37u, 63u, 65u, 81u, 83u, 65536u}) {
    EXPECT_EQ(Receive(size), DPN_OK) << size;
  }
  EXPECT_EQ(playerStates + events + weapons + notifications, 0);
  EXPECT_TRUE(window_.Posted().empty());
}

TEST_F(DispatchTest, ConcurrentCallsOfDifferentKindsDoNotDisturbEachOther) {
  constexpr int kEach = 2000;
  std::vector<std::thread> threads;
  for (DWORD size : {64u, 20u, 36u, 82u, 63u}) {
    threads.emplace_back([size] {
      for (int i = 0; i < kEach; ++i) {
        Receive(size);
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(playerStates, kEach);
  EXPECT_EQ(events, kEach);
  EXPECT_EQ(weapons, kEach);
  EXPECT_EQ(notifications, kEach);
  EXPECT_EQ(badCopies, 0);
}

TEST_F(DispatchTest, SuccessfulConnectMovesStartupOn) {
  DPNMSG_CONNECT_COMPLETE message;
  message.hResultCode = 0;
  EXPECT_EQ(LinkMessageHandler(nullptr, DPN_MSGID_CONNECT_COMPLETE, &message), DPN_OK);
  EXPECT_EQ(session.startupStage, 4);
  EXPECT_TRUE(window_.EndCodes().empty());
}

TEST_F(DispatchTest, FailedConnectShowsCheckConnectionAndEndsWithThree) {
  for (HRESULT result : {HRESULT{1}, E_FAIL}) {
    RecordingMessageBoxes boxes;
    RecordingWindow window;
    session.dialogWindow = &window;
    DPNMSG_CONNECT_COMPLETE message;
    message.hResultCode = result;
    EXPECT_EQ(LinkMessageHandler(nullptr, DPN_MSGID_CONNECT_COMPLETE, &message), DPN_OK);
    EXPECT_EQ(session.startupStage, 3);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].title, "Check Connection");
    EXPECT_EQ(boxes.Boxes()[0].text,
              "Failed on ConnectToSession.\n\nPlease verify your Console Client program is running and is "
              "currently\nconnected to the Varnholt Industries server and try again.");
    EXPECT_EQ(boxes.Boxes()[0].type, MB_ICONERROR);
    EXPECT_EQ(boxes.Boxes()[0].owner, &window);
    EXPECT_EQ(window.EndCodes(), std::vector<int>{3});
  }
}

TEST_F(DispatchTest, TerminateSendsCloseAndOtherMessagesAreIgnored) {
  DPNMSG_TERMINATE_SESSION terminate;
  EXPECT_EQ(LinkMessageHandler(nullptr, DPN_MSGID_TERMINATE_SESSION, &terminate), DPN_OK);
  ASSERT_EQ(window_.SentMessages().size(), 1u);
  EXPECT_EQ(window_.SentMessages()[0].message, WM_CLOSE);
  EXPECT_EQ(window_.SentMessages()[0].wParam, 0u);
  EXPECT_EQ(window_.SentMessages()[0].lParam, 0);

  constexpr DWORD kSendComplete = 0xFFFF0014u;
  EXPECT_EQ(LinkMessageHandler(nullptr, kSendComplete, nullptr), DPN_OK);
  EXPECT_EQ(window_.SentMessages().size(), 1u);
}

TEST(ConfigurationRequest, IsCodeSevenAndFourFixedFloats) {
  const EventPayload request = ConfigurationRequest();
  const std::uint8_t expected[20] = {7, 0, 0, 0,                    //
                                     0x00, 0x00, 0x80, 0x3F,        // 1.0
                                     0x00, 0x00, 0xDC, 0x42,        // 110.0
                                     0x00, 0x00, 0x00, 0x40,        // 2.0
                                     0x00, 0x00, 0x00, 0x00};       // 0.0
  EXPECT_EQ(std::memcmp(request.data(), expected, sizeof expected), 0);
}
