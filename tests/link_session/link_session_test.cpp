// The module's link steps against a fake client and fake addresses: the values they
// pass, the boxes they show and what they return.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/process_end.h"
#include "app/session_state.h"
#include "link/direct_play.h"
#include "link/link_session.h"
#include "link/message_dispatch.h"
#include "tests/support/recording_message_boxes.h"
#include "tests/support/recording_window.h"

namespace {

constexpr const char* kCommunicationError = "Communication Error!";

// What the fake client was asked, and what it answers.
struct FakeClientScript {
  HRESULT initializeResult = S_OK;
  HRESULT connectResult = DPNSUCCESS_PENDING;
  HRESULT sendResult = DPNSUCCESS_PENDING;

  PFNDPNMESSAGEHANDLER handler = nullptr;
  int connects = 0;
  DPN_APPLICATION_DESC description;
  IDirectPlay8Address* host = nullptr;
  IDirectPlay8Address* device = nullptr;
  DWORD connectFlags = 99;
  std::vector<std::uint8_t> sent;
  DWORD sendFlags = 0;
  DWORD sendTimeout = 99;
  DWORD bufferCount = 0;
};

class FakeClient final : public IDirectPlay8Client {
 public:
  explicit FakeClient(FakeClientScript& script) : script_(script) {}

  HRESULT Initialize(void*, PFNDPNMESSAGEHANDLER handler, DWORD) override {
    script_.handler = handler;
    return script_.initializeResult;
  }
  HRESULT Connect(const DPN_APPLICATION_DESC* description, IDirectPlay8Address* host,
                  IDirectPlay8Address* device, const void*, const void*, const void*, DWORD,
                  void*, DPNHANDLE*, DWORD flags) override {
    ++script_.connects;
    script_.description = *description;
    script_.host = host;
    script_.device = device;
    script_.connectFlags = flags;
    return script_.connectResult;
  }
  HRESULT Send(const DPN_BUFFER_DESC* buffers, DWORD count, DWORD timeout, void*, DPNHANDLE*,
               DWORD flags) override {
    script_.sent.assign(buffers[0].pBufferData, buffers[0].pBufferData + buffers[0].dwBufferSize);
    script_.bufferCount = count;
    script_.sendTimeout = timeout;
    script_.sendFlags = flags;
    return script_.sendResult;
  }

 private:
  FakeClientScript& script_;
};

// An address whose steps fail on request.
struct AddressScript {
  HRESULT setSpResult = S_OK;
  HRESULT hostNameResult = S_OK;
  HRESULT portResult = S_OK;
};

class FailingAddress final : public IDirectPlay8Address {
 public:
  explicit FailingAddress(const AddressScript& script) : script_(script) {}
  HRESULT SetSP(const GUID* provider) override {
    return Failed(script_.setSpResult) ? script_.setSpResult : IDirectPlay8Address::SetSP(provider);
  }
  HRESULT AddComponent(const char16_t* name, const void* data, DWORD size, DWORD type) override {
    const HRESULT planned =
        std::u16string_view(name) == DPNA_KEY_PORT ? script_.portResult : script_.hostNameResult;
    return Failed(planned) ? planned : IDirectPlay8Address::AddComponent(name, data, size, type);
  }

 private:
  const AddressScript& script_;
};

int exitCalls = 0;
int exitCode = -1;
void RecordExit(int code) {
  ++exitCalls;
  exitCode = code;
}

class LinkSessionTest : public testing::Test {
 protected:
  void SetUp() override {
    ReleaseLinkObjects();
    SetDirectPlayClientFactory([this] { return std::make_unique<FakeClient>(script_); });
    SetDirectPlayAddressFactory([this] { return std::make_unique<FailingAddress>(addresses_); });
    session.dialogWindow = &window_;
    session.g_wszHostName = u"127.0.0.1";
    linkProcessExit = RecordExit;
    exitCalls = 0;
    exitCode = -1;
  }
  void TearDown() override {
    ReleaseLinkObjects();
    SetDirectPlayClientFactory(nullptr);
    SetDirectPlayAddressFactory(nullptr);
    session.dialogWindow = nullptr;
    linkProcessExit = EndProcess;
  }

  // The three steps the start-up sequence takes, all expected to succeed.
  void Address() {
    ASSERT_EQ(InitDirectPlay(), S_OK);
    ASSERT_EQ(CreateDeviceAddress(), S_OK);
    ASSERT_EQ(EnumDirectPlayHosts(), S_OK);
  }

  void ExpectBoxes(const std::vector<std::string>& texts, const std::string& title) {
    const auto boxes = boxes_.Boxes();
    ASSERT_EQ(boxes.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
      EXPECT_EQ(boxes[i].text, texts[i]);
      EXPECT_EQ(boxes[i].title, title);
      EXPECT_EQ(boxes[i].owner, &window_);
    }
  }

  FakeClientScript script_;
  AddressScript addresses_;
  RecordingWindow window_;
  RecordingMessageBoxes boxes_;
};

TEST_F(LinkSessionTest, InitRegistersTheDispatchHandler) {
  EXPECT_EQ(InitDirectPlay(), S_OK);
  EXPECT_EQ(script_.handler, &LinkMessageHandler);
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(LinkSessionTest, InitFailuresShowTheirBoxAndReturnTheStatus) {
  SetDirectPlayClientFactory(nullptr);
  EXPECT_EQ(InitDirectPlay(), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(g_pDPClient, nullptr);

  SetDirectPlayClientFactory([this] { return std::make_unique<FakeClient>(script_); });
  script_.initializeResult = E_FAIL;
  EXPECT_EQ(InitDirectPlay(), E_FAIL);
  EXPECT_NE(g_pDPClient, nullptr);  // kept, as the module never releases it
  ExpectBoxes({"Failed co-creating the first IDirectPlay8Client instance, please report this error.",
               "Failed on Initialize g_pDPClient, please report this error."},
              kCommunicationError);
  EXPECT_EQ(boxes_.Boxes()[0].type, MB_ICONWARNING);
}

TEST_F(LinkSessionTest, AddressesCarryTcpAndTheHostComponents) {
  Address();
  EXPECT_EQ(g_pDeviceAddress->ServiceProvider(), CLSID_DP8SP_TCPIP);
  EXPECT_EQ(g_pDeviceAddress->ComponentCount(), 0u);
  EXPECT_EQ(g_pHostAddress->ServiceProvider(), CLSID_DP8SP_TCPIP);

  const AddressComponent* host = g_pHostAddress->Component(u"hostname");
  ASSERT_NE(host, nullptr);
  EXPECT_EQ(host->dataType, DPNA_DATATYPE_STRING);
  ASSERT_EQ(host->data.size(), 20u);  // nine characters and the terminator, two bytes each
  EXPECT_EQ(AddressString(*g_pHostAddress, u"hostname"), u"127.0.0.1");
  EXPECT_EQ(host->data[18], 0);
  EXPECT_EQ(host->data[19], 0);

  const AddressComponent* port = g_pHostAddress->Component(u"port");
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(port->dataType, DPNA_DATATYPE_DWORD);
  EXPECT_EQ(port->data, (std::vector<BYTE>{0x60, 0x09, 0, 0}));  // 2400
}

TEST_F(LinkSessionTest, EachAddressStepFailureShowsItsBox) {
  struct Case {
    AddressScript script;
    std::vector<std::string> texts;
  };
  const std::string enumBox = "Failed to create host address, please report this error.";
  const std::vector<Case> cases = {
      {{E_FAIL, S_OK, S_OK},
       {"Failed setting the service provider, please report this error.", enumBox}},
      {{S_OK, E_OUTOFMEMORY, S_OK},
       {"Failed adding host name to host address, please report this error.", enumBox}},
      {{S_OK, S_OK, E_INVALIDARG},
       {"Failed adding port to host address, please report this error.", enumBox}},
  };
  for (const Case& c : cases) {
    ReleaseLinkObjects();
    RecordingMessageBoxes boxes;
    addresses_ = c.script;
    EXPECT_TRUE(Failed(EnumDirectPlayHosts()));
    const auto shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), c.texts.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
      EXPECT_EQ(shown[i].text, c.texts[i]);
      EXPECT_EQ(shown[i].title, kCommunicationError);
    }
  }
}

TEST_F(LinkSessionTest, MissingHostNameFailsItsStep) {
  EXPECT_EQ(CreateHostAddress(nullptr), DPNERR_INVALIDPARAM);
  ExpectBoxes({"Failed adding host name to host address, please report this error."},
              kCommunicationError);
}

TEST_F(LinkSessionTest, AddressCreationFailureShowsItsBox) {
  SetDirectPlayAddressFactory([] { return nullptr; });
  EXPECT_EQ(CreateDeviceAddress(), E_OUTOFMEMORY);
  ExpectBoxes({"Failed to co-create the IDirectPlay8Address instance, please report this error."},
              kCommunicationError);
}

TEST_F(LinkSessionTest, ConnectPassesTheSessionDescriptionAndBothAddresses) {
  Address();
  EXPECT_EQ(ConnectToSession(), S_OK);  // pending counts as success
  EXPECT_EQ(script_.connects, 1);
  EXPECT_EQ(script_.description.dwSize, 72u);
  EXPECT_EQ(script_.description.dwFlags, 0x40u);
  EXPECT_EQ(script_.description.guidApplication, APPLICATION_GUID);
  EXPECT_EQ(script_.description.guidInstance, GUID_NULL);
  EXPECT_EQ(script_.description.dwMaxPlayers, 0u);
  EXPECT_EQ(script_.description.pwszSessionName, nullptr);
  EXPECT_EQ(script_.host, g_pHostAddress);
  EXPECT_EQ(script_.device, g_pDeviceAddress);
  EXPECT_EQ(script_.connectFlags, 0u);
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_TRUE(window_.EndCodes().empty());
}

TEST_F(LinkSessionTest, RefusedConnectIsFatalAndEndsTheDialogWithCode2) {
  Address();
  script_.connectResult = DPNERR_INVALIDHOSTADDRESS;
  EXPECT_EQ(ConnectToSession(), DPNERR_INVALIDHOSTADDRESS);
  ExpectBoxes({"Failed on g_pDPClient->Connect, please report this error."}, "Fatal Error!");
  EXPECT_EQ(boxes_.Boxes()[0].type, MB_ICONERROR);
  EXPECT_EQ(window_.EndCodes(), std::vector<int>{2});
}

TEST_F(LinkSessionTest, ConnectWithoutAClientFailsLikeARefusedConnect) {
  SetDirectPlayClientFactory(nullptr);
  EXPECT_TRUE(Failed(InitDirectPlay()));
  ASSERT_EQ(CreateDeviceAddress(), S_OK);
  ASSERT_EQ(EnumDirectPlayHosts(), S_OK);
  RecordingMessageBoxes boxes;
  EXPECT_EQ(ConnectToSession(), DPNERR_UNINITIALIZED);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].title, "Fatal Error!");
  EXPECT_EQ(window_.EndCodes(), std::vector<int>{2});
}

TEST_F(LinkSessionTest, SendFlagsFollowGuaranteed) {
  Address();
  const std::uint8_t payload[20] = {7};
  EXPECT_EQ(SendPacket(payload, sizeof payload, true, 0), DPNSUCCESS_PENDING);
  EXPECT_EQ(script_.sendFlags, 0x28u);
  EXPECT_EQ(script_.bufferCount, 1u);
  EXPECT_EQ(script_.sendTimeout, 0u);
  EXPECT_EQ(script_.sent, std::vector<std::uint8_t>(payload, payload + 20));

  EXPECT_EQ(SendPacket(payload, 3, false, 250), DPNSUCCESS_PENDING);
  EXPECT_EQ(script_.sendFlags, 0x22u);
  EXPECT_EQ(script_.sendTimeout, 250u);
  EXPECT_EQ(script_.sent.size(), 3u);
  EXPECT_EQ(exitCalls, 0);
}

TEST_F(LinkSessionTest, FailedSendShowsItsBoxThenExitsWithCode0) {
  Address();
  script_.sendResult = DPNERR_CONNECTIONLOST;
  const std::uint8_t payload[20] = {};
  SendPacket(payload, sizeof payload, true, 0);
  ExpectBoxes({"Failed sending data on SendPacket, please report this error."},
              kCommunicationError);
  EXPECT_EQ(exitCalls, 1);
  EXPECT_EQ(exitCode, 0);
}

TEST_F(LinkSessionTest, SendWithoutAClientExitsAfterItsBox) {
  const std::uint8_t payload[20] = {};
  EXPECT_EQ(SendPacket(payload, sizeof payload, true, 0), DPNERR_UNINITIALIZED);
  EXPECT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(exitCalls, 1);
}

TEST(AddressTest, RejectsComponentsThatAreNotWhatTheirTypeSays) {
  IDirectPlay8Address address;
  const DWORD value = 5;
  const char16_t unterminated[2] = {u'a', u'b'};
  EXPECT_EQ(address.AddComponent(u"port", &value, 2, DPNA_DATATYPE_DWORD), DPNERR_INVALIDPARAM);
  EXPECT_EQ(address.AddComponent(u"host", unterminated, 4, DPNA_DATATYPE_STRING),
            DPNERR_INVALIDPARAM);
  EXPECT_EQ(address.AddComponent(u"host", u"ab", 5, DPNA_DATATYPE_STRING), DPNERR_INVALIDPARAM);
  EXPECT_EQ(address.AddComponent(u"x", &value, 4, 77), DPNERR_INVALIDPARAM);
  EXPECT_EQ(address.ComponentCount(), 0u);
  EXPECT_EQ(AddressString(address, u"host"), u"");
}

}  // namespace
