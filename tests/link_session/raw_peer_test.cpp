// Each side against a bare socket that writes whatever bytes a test gives it: the
// frames a well-behaved peer would never send.
#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "platform/link/frame.h"
#include "platform/link/link_host.h"
#include "platform/link/loopback_socket.h"
#include "platform/link/tcp_link_client.h"
#include "tests/link_session/link_recorder.h"

namespace {

using namespace std::chrono_literals;
using link_wire::FrameType;

constexpr auto kWait = 10s;

std::vector<std::uint8_t> ConnectFrame(const GUID& application, std::uint32_t version) {
  return link_wire::EncodeFrame(FrameType::kConnect,
                                link_wire::EncodeConnectBody({application, version}));
}

// Reads one frame header and body from a bare socket.
bool ReadFrame(LoopbackSocket& socket, std::uint8_t& type, std::vector<std::uint8_t>& body) {
  std::uint8_t header[link_wire::kHeaderSize];
  if (!socket.Read(header, kWait)) {
    return false;
  }
  type = header[4];
  body.resize(link_wire::DecodeU32(std::span<const std::uint8_t, 4>(header, 4)) - 1);
  return socket.Read(body, kWait);
}

TEST(ConnectFrameTest, GuidIsWrittenInItsInMemoryLayout) {
  const std::vector<std::uint8_t> expected = {
      20 + 1, 0, 0, 0, 1,  // length, CONNECT
      0x3B, 0xCA, 0xD4, 0x2A, 0x68, 0xAC, 0x9B, 0x4D, 0x95, 0x22, 0xBE, 0x59, 0xCD, 0x48, 0x52, 0x76,
      1, 0, 0, 0};  // version
  EXPECT_EQ(ConnectFrame(APPLICATION_GUID, 1), expected);
}

// The host facing a bare module.
class HostAgainstRawModuleTest : public testing::Test {
 protected:
  // Connects a bare module that sends `first`, and lets the host answer it.
  AcceptOutcome AcceptAfter(const std::vector<std::uint8_t>& first) {
    module_ = LoopbackSocket::Connect(host_.Port());
    EXPECT_NE(module_, nullptr);
    module_->Write(first);
    return host_.Accept(kWait);
  }

  LinkHost host_;
  std::unique_ptr<LoopbackSocket> module_;
};

TEST_F(HostAgainstRawModuleTest, AnswersAGoodConnectWithZero) {
  ASSERT_EQ(AcceptAfter(ConnectFrame(APPLICATION_GUID, 1)), AcceptOutcome::kAccepted);
  std::uint8_t type = 0;
  std::vector<std::uint8_t> body;
  ASSERT_TRUE(ReadFrame(*module_, type, body));
  EXPECT_EQ(type, 2);
  EXPECT_EQ(body, link_wire::EncodeU32(0));
}

TEST_F(HostAgainstRawModuleTest, RefusesAnotherVersionThenCloses) {
  ASSERT_EQ(AcceptAfter(ConnectFrame(APPLICATION_GUID, 2)), AcceptOutcome::kRefused);
  std::uint8_t type = 0;
  std::vector<std::uint8_t> body;
  ASSERT_TRUE(ReadFrame(*module_, type, body));
  EXPECT_EQ(type, 2);
  EXPECT_NE(body, link_wire::EncodeU32(0));
  EXPECT_TRUE(module_->WaitForClose(kWait));
}

TEST_F(HostAgainstRawModuleTest, BrokenFirstFramesCloseWithoutAnAnswer) {
  std::vector<std::uint8_t> shortConnect = ConnectFrame(APPLICATION_GUID, 1);
  shortConnect[0] = 20;  // a 19-byte body
  shortConnect.pop_back();
  const std::vector<std::vector<std::uint8_t>> cases = {
      shortConnect,
      {0, 0, 0, 0, 1},                                          // length 0
      {0x02, 0x00, 0x01, 0x00, 3},                              // length 65538
      link_wire::EncodeFrame(FrameType::kData, std::vector<std::uint8_t>(20)),  // no CONNECT
  };
  for (const auto& bytes : cases) {
    EXPECT_EQ(AcceptAfter(bytes), AcceptOutcome::kBroken);
    EXPECT_EQ(host_.WaitForEnd(kWait), SessionEnd::kBroken);
    EXPECT_TRUE(module_->WaitForClose(kWait));
  }
}

TEST_F(HostAgainstRawModuleTest, DataAfterTheAnswerArrivesThenBrokenFrameEndsIt) {
  ASSERT_EQ(AcceptAfter(ConnectFrame(APPLICATION_GUID, 1)), AcceptOutcome::kAccepted);
  module_->Write(link_wire::EncodeFrame(FrameType::kData, std::vector<std::uint8_t>(20, 7)));
  module_->Write(std::vector<std::uint8_t>{1, 0, 0, 0, 9});  // unknown type
  EXPECT_EQ(host_.Receive(kWait), std::vector<std::uint8_t>(20, 7));
  EXPECT_EQ(host_.WaitForEnd(kWait), SessionEnd::kBroken);
  EXPECT_EQ(host_.Receive(0ms), std::nullopt);
  EXPECT_FALSE(host_.SendData(std::vector<std::uint8_t>(4)));
}

TEST_F(HostAgainstRawModuleTest, ModuleTerminateIsAnOrderlyEnd) {
  ASSERT_EQ(AcceptAfter(ConnectFrame(APPLICATION_GUID, 1)), AcceptOutcome::kAccepted);
  module_->Write(link_wire::EncodeFrame(FrameType::kTerminate, {}));
  EXPECT_EQ(host_.WaitForEnd(kWait), SessionEnd::kPeerTerminated);
}

TEST(HostConnectWaitTest, SilentPeerDoesNotHoldTheHostFromTheNextModule) {
  LinkHost host(0, 100ms);
  const auto silent = LoopbackSocket::Connect(host.Port());
  ASSERT_NE(silent, nullptr);
  EXPECT_EQ(host.Accept(kWait), AcceptOutcome::kBroken);
  EXPECT_TRUE(silent->WaitForClose(kWait));
  const auto module = LoopbackSocket::Connect(host.Port());
  module->Write(ConnectFrame(APPLICATION_GUID, 1));
  EXPECT_EQ(host.Accept(kWait), AcceptOutcome::kAccepted);
}

TEST_F(HostAgainstRawModuleTest, NoModuleMeansATimedOutAccept) {
  EXPECT_EQ(host_.Accept(20ms), AcceptOutcome::kTimedOut);
  // A module that comes later is still accepted.
  EXPECT_EQ(AcceptAfter(ConnectFrame(APPLICATION_GUID, 1)), AcceptOutcome::kAccepted);
}

// The module's client facing a bare host.
class ClientAgainstRawHostTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(client_.Initialize(&recorder_, LinkRecorder::Handle, 0), S_OK);
    IDirectPlay8Address host = HostAddress(listener_.Port());
    const DPN_APPLICATION_DESC description = SessionDescription();
    ASSERT_EQ(client_.Connect(&description, &host, nullptr, nullptr, nullptr, nullptr, 0, nullptr,
                              nullptr, 0),
              DPNSUCCESS_PENDING);
    host_ = listener_.Accept(kWait);
    ASSERT_NE(host_, nullptr);
    std::uint8_t type = 0;
    std::vector<std::uint8_t> body;
    ASSERT_TRUE(ReadFrame(*host_, type, body));
    ASSERT_EQ(type, 1);
  }

  // Whatever the host wrote instead of a good answer: one failed connect, no session.
  void ExpectFailedConnectOnly() {
    ASSERT_TRUE(recorder_.WaitForConnects(1));
    EXPECT_TRUE(host_->WaitForClose(kWait));
    EXPECT_EQ(recorder_.Connects(), std::vector<HRESULT>{DPNERR_NOCONNECTION});
    EXPECT_TRUE(recorder_.Data().empty());
    EXPECT_TRUE(recorder_.Terminates().empty());
  }

  LoopbackListener listener_;
  LinkRecorder recorder_;
  TcpLinkClient client_;
  std::unique_ptr<LoopbackSocket> host_;
};

TEST_F(ClientAgainstRawHostTest, DataBeforeTheAnswerFailsTheConnect) {
  host_->Write(link_wire::EncodeFrame(FrameType::kData, std::vector<std::uint8_t>(20)));
  ExpectFailedConnectOnly();
}

TEST_F(ClientAgainstRawHostTest, ShortAnswerFailsTheConnect) {
  host_->Write(link_wire::EncodeFrame(FrameType::kConnectReply, std::vector<std::uint8_t>(3)));
  ExpectFailedConnectOnly();
}

TEST_F(ClientAgainstRawHostTest, HostLeavingBeforeItAnswersFailsTheConnect) {
  host_.reset();
  ASSERT_TRUE(recorder_.WaitForConnects(1));
  EXPECT_EQ(recorder_.Connects(), std::vector<HRESULT>{DPNERR_NOCONNECTION});
}

TEST_F(ClientAgainstRawHostTest, TerminateFollowedByGarbageEndsOnce) {
  std::vector<std::uint8_t> bytes =
      link_wire::EncodeFrame(FrameType::kConnectReply, link_wire::EncodeU32(0));
  const auto terminate = link_wire::EncodeFrame(FrameType::kTerminate, {});
  bytes.insert(bytes.end(), terminate.begin(), terminate.end());
  bytes.insert(bytes.end(), {0, 0, 0, 0, 0});
  host_->Write(bytes);
  ASSERT_TRUE(recorder_.WaitForTerminates(1));
  EXPECT_TRUE(host_->WaitForClose(kWait));
  EXPECT_EQ(recorder_.Connects(), std::vector<HRESULT>{S_OK});
  EXPECT_EQ(recorder_.Terminates(), std::vector<HRESULT>{S_OK});
}

TEST_F(ClientAgainstRawHostTest, FramesSplitAcrossWritesAreJoined) {
  std::vector<std::uint8_t> bytes =
      link_wire::EncodeFrame(FrameType::kConnectReply, link_wire::EncodeU32(0));
  const auto data = link_wire::EncodeFrame(FrameType::kData, std::vector<std::uint8_t>(64, 9));
  bytes.insert(bytes.end(), data.begin(), data.end());
  for (std::uint8_t byte : bytes) {
    host_->Write(std::span<const std::uint8_t>(&byte, 1));
    std::this_thread::sleep_for(1ms);
  }
  ASSERT_TRUE(recorder_.WaitForData(1));
  EXPECT_EQ(recorder_.Data()[0], std::vector<std::uint8_t>(64, 9));
}

}  // namespace
