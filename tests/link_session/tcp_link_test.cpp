// The module's TCP client against the host, both on an ephemeral loopback port.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "app/process_end.h"
#include "platform/link/frame.h"
#include "platform/link/link_host.h"
#include "platform/link/loopback_socket.h"
#include "platform/link/tcp_link_client.h"
#include "tests/link_session/link_recorder.h"

namespace {

using namespace std::chrono_literals;
using link_wire::FrameType;

constexpr auto kWait = 10s;

std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<std::uint8_t>(i * 7 + size);
  }
  return bytes;
}

// Frame i of a long run: its number, then a length that varies with it.
std::vector<std::uint8_t> Numbered(std::uint32_t i) {
  std::vector<std::uint8_t> payload = link_wire::EncodeU32(i);
  payload.resize(4 + i % 83, static_cast<std::uint8_t>(i));
  return payload;
}

std::vector<std::uint8_t> Header(std::uint32_t length, std::uint8_t type) {
  std::vector<std::uint8_t> bytes = link_wire::EncodeU32(length);
  bytes.push_back(type);
  return bytes;
}

class TcpLinkTest : public testing::Test {
 protected:
  std::unique_ptr<TcpLinkClient> MakeClient(TcpLinkOptions options = {}) {
    auto client = std::make_unique<TcpLinkClient>(options);
    EXPECT_EQ(client->Initialize(recorder_.get(), LinkRecorder::Handle, 0), S_OK);
    return client;
  }

  static HRESULT Connect(TcpLinkClient& client, std::uint16_t port,
                         const GUID& application = APPLICATION_GUID) {
    IDirectPlay8Address host = HostAddress(port);
    const DPN_APPLICATION_DESC description = SessionDescription(application);
    DPNHANDLE handle = 0;
    return client.Connect(&description, &host, nullptr, nullptr, nullptr, nullptr, 0, nullptr,
                          &handle, 0);
  }

  static HRESULT Send(TcpLinkClient& client, std::span<const std::uint8_t> payload) {
    DPN_BUFFER_DESC buffer;
    buffer.dwBufferSize = static_cast<DWORD>(payload.size());
    buffer.pBufferData = payload.data();
    DPNHANDLE handle = 0;
    return client.Send(&buffer, 1, 0, nullptr, &handle, DPNSEND_GUARANTEED | DPNSEND_NOLOOPBACK);
  }

  // A client whose connect the host accepted.
  void ConnectPair() {
    client_ = MakeClient();
    ASSERT_EQ(Connect(*client_, host_->Port()), DPNSUCCESS_PENDING);
    ASSERT_EQ(host_->Accept(kWait), AcceptOutcome::kAccepted);
    ASSERT_TRUE(recorder_->WaitForConnects(1));
    ASSERT_EQ(recorder_->Connects(), std::vector<HRESULT>{S_OK});
  }

  // The session ends once, whatever else arrives.
  void ExpectOneTermination(HRESULT code) {
    ASSERT_TRUE(recorder_->WaitForTerminates(1));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(recorder_->Terminates(), std::vector<HRESULT>{code});
    EXPECT_EQ(Send(*client_, Pattern(20)), DPNERR_CONNECTIONLOST);
  }

  // A client goes before the recorder it reports to.
  void Restart() {
    client_.reset();
    recorder_ = std::make_unique<LinkRecorder>();
    host_ = std::make_unique<LinkHost>();
  }

  std::unique_ptr<LinkHost> host_ = std::make_unique<LinkHost>();
  std::unique_ptr<LinkRecorder> recorder_ = std::make_unique<LinkRecorder>();
  std::unique_ptr<TcpLinkClient> client_;
};

TEST_F(TcpLinkTest, AcceptedConnectIsReportedOnceAndSendsAreRefusedBefore) {
  client_ = MakeClient();
  EXPECT_EQ(Send(*client_, Pattern(20)), DPNERR_NOCONNECTION);
  ASSERT_EQ(Connect(*client_, host_->Port()), DPNSUCCESS_PENDING);
  EXPECT_EQ(Connect(*client_, host_->Port()), DPNERR_ALREADYCONNECTED);
  ASSERT_EQ(host_->Accept(kWait), AcceptOutcome::kAccepted);
  ASSERT_TRUE(recorder_->WaitForConnects(1));
  EXPECT_EQ(recorder_->Connects(), std::vector<HRESULT>{S_OK});
  EXPECT_TRUE(recorder_->Terminates().empty());
}

TEST_F(TcpLinkTest, WrongGuidOrVersionIsRefused) {
  constexpr GUID kOther{0x2AD4CA3B, 0xAC68, 0x4D9B, {0x95, 0x22, 0xBE, 0x59, 0xCD, 0x48, 0x52, 0x77}};
  client_ = MakeClient();
  ASSERT_EQ(Connect(*client_, host_->Port(), kOther), DPNSUCCESS_PENDING);
  EXPECT_EQ(host_->Accept(kWait), AcceptOutcome::kRefused);

  auto oldVersion = MakeClient({.protocolVersion = 2});
  ASSERT_EQ(Connect(*oldVersion, host_->Port()), DPNSUCCESS_PENDING);
  EXPECT_EQ(host_->Accept(kWait), AcceptOutcome::kRefused);

  ASSERT_TRUE(recorder_->WaitForConnects(2));
  EXPECT_EQ(recorder_->Connects(),
            (std::vector<HRESULT>{DPNERR_HOSTREJECTEDCONNECTION, DPNERR_HOSTREJECTEDCONNECTION}));
  EXPECT_TRUE(recorder_->Terminates().empty());
}

TEST_F(TcpLinkTest, NothingListeningFailsTheConnect) {
  std::uint16_t freePort = 0;
  {
    LoopbackListener listener;
    freePort = listener.Port();
  }
  client_ = MakeClient();
  ASSERT_EQ(Connect(*client_, freePort), DPNSUCCESS_PENDING);
  ASSERT_TRUE(recorder_->WaitForConnects(1));
  EXPECT_EQ(recorder_->Connects(), std::vector<HRESULT>{DPNERR_NOCONNECTION});
}

TEST_F(TcpLinkTest, OnlyTheLoopbackHostIsAccepted) {
  client_ = MakeClient();
  IDirectPlay8Address elsewhere = HostAddress(host_->Port(), u"10.0.0.1");
  const DPN_APPLICATION_DESC description = SessionDescription();
  EXPECT_EQ(client_->Connect(&description, &elsewhere, nullptr, nullptr, nullptr, nullptr, 0,
                             nullptr, nullptr, 0),
            DPNERR_INVALIDHOSTADDRESS);
  EXPECT_EQ(client_->Connect(&description, nullptr, nullptr, nullptr, nullptr, nullptr, 0,
                             nullptr, nullptr, 0),
            DPNERR_INVALIDHOSTADDRESS);
  EXPECT_EQ(Connect(*client_, host_->Port()), DPNSUCCESS_PENDING);  // still free to connect
}

TEST_F(TcpLinkTest, SilentHostTimesOutOnce) {
  client_ = MakeClient({.replyTimeout = 200ms});
  ASSERT_EQ(Connect(*client_, host_->Port()), DPNSUCCESS_PENDING);
  ASSERT_TRUE(host_->AcceptConnection(kWait));
  ASSERT_TRUE(host_->ReadConnect(kWait).has_value());
  ASSERT_TRUE(recorder_->WaitForConnects(1));
  EXPECT_EQ(recorder_->Connects(), std::vector<HRESULT>{DPNERR_TIMEDOUT});
  EXPECT_EQ(host_->WaitForEnd(kWait), SessionEnd::kPeerLeft);
  host_->Reply(link_wire::kAccepted);  // too late: nothing more is reported
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(recorder_->Connects().size(), 1u);
  EXPECT_TRUE(recorder_->Terminates().empty());
}

TEST_F(TcpLinkTest, DefaultReplyTimeoutIsFiveSeconds) {
  client_ = MakeClient();
  ASSERT_EQ(Connect(*client_, host_->Port()), DPNSUCCESS_PENDING);
  ASSERT_TRUE(host_->AcceptConnection(kWait));
  std::this_thread::sleep_for(4s);
  EXPECT_TRUE(recorder_->Connects().empty());  // a timer never fires early
  ASSERT_TRUE(recorder_->WaitForConnects(1));
  EXPECT_EQ(recorder_->Connects(), std::vector<HRESULT>{DPNERR_TIMEDOUT});
}

TEST_F(TcpLinkTest, DataOfEverySizeTravelsBothWays) {
  ConnectPair();
  const std::vector<std::size_t> sizes = {0, 1, 20, 64, 65536};
  for (std::size_t size : sizes) {
    ASSERT_TRUE(host_->SendData(Pattern(size)));
    ASSERT_EQ(Send(*client_, Pattern(size)), DPNSUCCESS_PENDING);
  }
  ASSERT_TRUE(recorder_->WaitForData(sizes.size()));
  const auto received = recorder_->Data();
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    EXPECT_EQ(received[i], Pattern(sizes[i])) << "size " << sizes[i];
    const auto atHost = host_->Receive(kWait);
    ASSERT_TRUE(atHost.has_value());
    EXPECT_EQ(*atHost, Pattern(sizes[i])) << "size " << sizes[i];
  }
}

TEST_F(TcpLinkTest, PayloadsAboveTheLimitAreNotSent) {
  ConnectPair();
  EXPECT_EQ(Send(*client_, Pattern(65537)), DPNERR_INVALIDPARAM);
  EXPECT_FALSE(host_->SendData(Pattern(65537)));
  // Several buffers count together.
  const auto half = Pattern(40000);
  DPN_BUFFER_DESC buffers[2] = {{40000, half.data()}, {40000, half.data()}};
  EXPECT_EQ(client_->Send(buffers, 2, 0, nullptr, nullptr, 0), DPNERR_INVALIDPARAM);
  EXPECT_EQ(client_->Send(buffers, 1, 0, nullptr, nullptr, DPNSEND_NOCOPY), DPNERR_INVALIDPARAM);
}

TEST_F(TcpLinkTest, HundredThousandFramesArriveCompleteAndInOrder) {
  ConnectPair();
  constexpr std::uint32_t kFrames = 100000;
  for (std::uint32_t i = 0; i < kFrames; ++i) {
    ASSERT_TRUE(host_->SendData(Numbered(i)));
  }
  ASSERT_TRUE(recorder_->WaitForData(kFrames));
  const auto received = recorder_->Data();
  ASSERT_EQ(received.size(), kFrames);
  for (std::uint32_t i = 0; i < kFrames; ++i) {
    ASSERT_EQ(received[i], Numbered(i)) << "frame " << i;
  }
}

TEST_F(TcpLinkTest, TerminateEndsTheSessionOnce) {
  ConnectPair();
  ASSERT_TRUE(host_->SendData(Pattern(20)));
  host_->Terminate();
  ExpectOneTermination(S_OK);
  EXPECT_EQ(recorder_->Data().size(), 1u);
}

TEST_F(TcpLinkTest, PeerClosingEndsTheSessionOnce) {
  ConnectPair();
  host_.reset();  // goes away without TERMINATE
  ExpectOneTermination(DPNERR_CONNECTIONLOST);
}

TEST_F(TcpLinkTest, BrokenFramesEndTheSessionOnceAndAreNeverData) {
  const std::vector<std::vector<std::uint8_t>> broken = {
      Header(0, 3),                              // no type byte
      Header(65538, 3),                          // beyond the largest frame
      Header(1, 9),                              // unknown type
      link_wire::EncodeFrame(FrameType::kConnectReply, link_wire::EncodeU32(0)),  // second reply
  };
  for (const auto& bytes : broken) {
    Restart();
    ConnectPair();
    ASSERT_TRUE(host_->SendData(Pattern(64)));
    host_->SendRaw(bytes);
    host_->SendRaw(link_wire::EncodeFrame(FrameType::kData, Pattern(20)));  // after the break
    ExpectOneTermination(DPNERR_CONNECTIONLOST);
    EXPECT_EQ(recorder_->Data(), std::vector<std::vector<std::uint8_t>>{Pattern(64)});
    EXPECT_EQ(host_->WaitForEnd(kWait), SessionEnd::kPeerLeft);
  }
}

}  // namespace

namespace {

// The module never closes its link: the process end must still be clean while data
// keeps arriving.
TEST(TcpLinkExitTest, ProcessEndsWithCodeZeroWhileDataArrives) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        LinkHost host;
        LinkRecorder recorder;
        auto* client = new TcpLinkClient();  // never released, as in the module
        client->Initialize(&recorder, LinkRecorder::Handle, 0);
        IDirectPlay8Address address = HostAddress(host.Port());
        const DPN_APPLICATION_DESC description = SessionDescription();
        client->Connect(&description, &address, nullptr, nullptr, nullptr, nullptr, 0, nullptr,
                        nullptr, 0);
        host.Accept(kWait);
        for (int i = 0; i < 20000; ++i) {
          host.SendData(Pattern(20));
        }
        recorder.WaitForData(1);
        EndProcess(0);
      },
      testing::ExitedWithCode(0), "");
}

// A handler call under way when the process ends never sees the statics destroyed.
std::atomic<bool> slowCallStarted{false};
std::atomic<bool> slowCallDone{false};

HRESULT SlowFirstReceive(void* /*context*/, DWORD messageId, void* /*message*/) {
  if (messageId == DPN_MSGID_RECEIVE && !slowCallStarted.exchange(true)) {
    std::this_thread::sleep_for(50ms);
    slowCallDone = true;
  }
  return DPN_OK;
}

struct StaticsWatch {
  ~StaticsWatch() {
    if (slowCallStarted && !slowCallDone) {
      std::_Exit(3);
    }
  }
};

TEST(TcpLinkExitTest, AHandlerCallUnderWayNeverSeesTheStaticsDestroyed) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        static StaticsWatch watch;  // destroyed by an exit that runs the static destructors
        LinkHost host;
        auto* client = new TcpLinkClient();  // never released, as in the module
        client->Initialize(nullptr, SlowFirstReceive, 0);
        IDirectPlay8Address address = HostAddress(host.Port());
        const DPN_APPLICATION_DESC description = SessionDescription();
        client->Connect(&description, &address, nullptr, nullptr, nullptr, nullptr, 0, nullptr,
                        nullptr, 0);
        host.Accept(kWait);
        host.SendData(Pattern(20));
        while (!slowCallStarted) {
          std::this_thread::sleep_for(1ms);
        }
        EndProcess(0);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
