// The client's and the host's core layers wired to each other, as if over a perfect
// link: each one's sends are the other's messages.
#include "platform/directplay/core_session.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "link/direct_play.h"

namespace dpnet {
namespace {

using ClientKind = ClientEvent::Kind;
using HostKind = HostEvent::Kind;

// How a request looks on the wire: a core message by its type, or "data".
std::string Describe(const LinkRequest& request) {
  if (request.kind != LinkRequest::Kind::kSend) return "disconnect";
  std::string text = "data";
  if (request.how.core) {
    char type[8];
    std::snprintf(type, sizeof type, "%02X", static_cast<unsigned>(*PeekCoreType(request.payload)));
    text = type;
  }
  return request.how.reliable ? text : text + " unreliable";
}

LinkEvent Event(LinkEvent::Kind kind) {
  LinkEvent event;
  event.kind = kind;
  return event;
}
LinkEvent Connected() { return Event(LinkEvent::Kind::kConnected); }
LinkEvent Message(Bytes message, bool core) {
  LinkEvent event = Event(LinkEvent::Kind::kMessage);
  event.message = std::move(message);
  event.core = core;
  return event;
}
LinkEvent Closed(CloseReason reason) {
  LinkEvent event = Event(LinkEvent::Kind::kClosed);
  event.reason = reason;
  return event;
}

struct WiredSession {
  explicit WiredSession(GUID application = APPLICATION_GUID) : client(application) {}

  void Connect() {
    client.OnLinkEvent(Connected());
    host.OnLinkEvent(Connected());
    Pump();
  }
  // Carries requests both ways until neither side has more.
  void Pump() {
    for (bool moved = true; moved;) {
      const bool fromClient = Carry(client.TakeRequests(), host, toHost);
      const bool fromHost = Carry(host.TakeRequests(), client, toClient);
      moved = fromClient || fromHost;
    }
    for (auto& event : client.TakeEvents()) clientEvents.push_back(event);
    for (auto& event : host.TakeEvents()) hostEvents.push_back(event);
  }
  void CloseLink(CloseReason clientSees, CloseReason hostSees) {
    client.OnLinkEvent(Closed(clientSees));
    host.OnLinkEvent(Closed(hostSees));
    Pump();
  }

  template <typename Peer>
  static bool Carry(std::vector<LinkRequest> requests, Peer& peer, std::vector<std::string>& wire) {
    for (const LinkRequest& request : requests) {
      wire.push_back(Describe(request));
      if (request.kind == LinkRequest::Kind::kSend) {
        peer.OnLinkEvent(Message(request.payload, request.how.core));
      }
    }
    return !requests.empty();
  }

  CoreClient client;
  CoreHost host{APPLICATION_GUID, u"Console"};
  std::vector<std::string> toHost, toClient;
  std::vector<ClientEvent> clientEvents;
  std::vector<HostEvent> hostEvents;
};

std::vector<std::pair<ClientKind, HRESULT>> Summary(const std::vector<ClientEvent>& events) {
  std::vector<std::pair<ClientKind, HRESULT>> summary;
  for (const auto& event : events) summary.emplace_back(event.kind, event.result);
  return summary;
}

TEST(CoreSession, JoinsCarriesPayloadsAndEndsOnTerminate) {
  WiredSession session;
  session.Connect();
  EXPECT_EQ(session.toHost, (std::vector<std::string>{"C1", "C3"}));
  EXPECT_EQ(session.toClient, (std::vector<std::string>{"C2"}));
  ASSERT_EQ(session.hostEvents.size(), 1u);
  EXPECT_EQ(session.hostEvents[0].kind, HostKind::kAccepted);

  const Bytes request(20, 7);
  const Bytes state(64, 9);
  ASSERT_TRUE(session.client.Send(request, true));
  ASSERT_TRUE(session.host.Send(state, false));
  session.Pump();
  EXPECT_EQ(session.hostEvents.back().payload, request);
  session.host.Terminate();
  session.Pump();
  EXPECT_EQ(session.toHost, (std::vector<std::string>{"C1", "C3", "data", "disconnect"}));
  EXPECT_EQ(session.toClient,
            (std::vector<std::string>{"C2", "data unreliable", "DF", "disconnect"}));
  ASSERT_EQ(session.clientEvents.size(), 3u);
  EXPECT_EQ(session.clientEvents[1].payload, state);
  EXPECT_FALSE(session.client.Send(request, true));

  session.CloseLink(CloseReason::kLocal, CloseReason::kGraceful);
  EXPECT_EQ(Summary(session.clientEvents),
            (std::vector<std::pair<ClientKind, HRESULT>>{{ClientKind::kConnectComplete, S_OK},
                                                         {ClientKind::kReceive, S_OK},
                                                         {ClientKind::kTerminate, S_OK}}));
  EXPECT_EQ(session.hostEvents.back().kind, HostKind::kEnded);
  EXPECT_EQ(session.hostEvents.back().reason, CloseReason::kGraceful);
}

TEST(CoreSession, AWrongApplicationIsRefusedWithTheDocumentedReason) {
  WiredSession session(GUID{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}});
  session.Connect();
  EXPECT_EQ(session.toHost, (std::vector<std::string>{"C1", "disconnect"}));
  EXPECT_EQ(session.toClient, (std::vector<std::string>{"C5", "disconnect"}));
  session.CloseLink(CloseReason::kLocal, CloseReason::kLocal);
  // 0x80158300: the code for an application GUID the host does not run.
  EXPECT_EQ(Summary(session.clientEvents),
            (std::vector<std::pair<ClientKind, HRESULT>>{
                {ClientKind::kConnectComplete, static_cast<HRESULT>(0x80158300u)}}));
  ASSERT_EQ(session.hostEvents.size(), 2u);
  EXPECT_EQ(session.hostEvents[0].kind, HostKind::kRefused);
  EXPECT_EQ(session.hostEvents[1].kind, HostKind::kEnded);
}

TEST(CoreSession, ALinkThatClosesEndsTheSessionOnceWithItsReason) {
  const std::pair<CloseReason, HRESULT> beforeJoin[] = {
      {CloseReason::kConnectTimedOut, DPNERR_TIMEDOUT},
      {CloseReason::kConnectRefused, DPNERR_HOSTREJECTEDCONNECTION},
      {CloseReason::kLost, DPNERR_NOCONNECTION}};
  for (const auto& [reason, result] : beforeJoin) {
    CoreClient client(APPLICATION_GUID);
    client.OnLinkEvent(Closed(reason));
    client.OnLinkEvent(Closed(reason));
    EXPECT_EQ(
        Summary(client.TakeEvents()),
        (std::vector<std::pair<ClientKind, HRESULT>>{{ClientKind::kConnectComplete, result}}));
  }
  const std::pair<CloseReason, HRESULT> afterJoin[] = {
      {CloseReason::kGraceful, S_OK},
      {CloseReason::kHardDisconnect, DPNERR_CONNECTIONLOST},
      {CloseReason::kLost, DPNERR_CONNECTIONLOST}};
  for (const auto& [reason, result] : afterJoin) {
    WiredSession session;
    session.Connect();
    session.CloseLink(reason, reason);
    session.CloseLink(reason, reason);
    session.host.Terminate();
    session.Pump();
    EXPECT_EQ(Summary(session.clientEvents),
              (std::vector<std::pair<ClientKind, HRESULT>>{{ClientKind::kConnectComplete, S_OK},
                                                           {ClientKind::kTerminate, result}}));
  }
}

TEST(CoreSession, AnUnreadableAnswerFailsTheConnect) {
  CoreClient client(APPLICATION_GUID);
  client.OnLinkEvent(Connected());
  client.TakeRequests();
  SendConnectInfo welcome;
  welcome.session.sessionName = u"Console";
  const Bytes whole = Encode(welcome);
  client.OnLinkEvent(Message(Bytes(whole.begin(), whole.end() - 2), true));
  const auto events = client.TakeEvents();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, ClientKind::kConnectComplete);
  EXPECT_LT(events[0].result, 0);
  EXPECT_EQ(Describe(client.TakeRequests().at(0)), "disconnect");
}

TEST(CoreSession, DataAskingForCompletionIsDeliveredAndAnswered) {
  WiredSession session;
  session.Connect();
  session.client.OnLinkEvent(Message(Encode(ProcessCompletionRequest{77, {1, 2, 3}}), true));
  EXPECT_EQ(session.client.TakeEvents().at(0).payload, (Bytes{1, 2, 3}));
  EXPECT_EQ(session.client.TakeRequests().at(0).payload, EncodeProcessCompletion(77));
}

// Any messages in any order: one connect-complete, nothing handed up before a
// successful one, nothing after the terminate; the host decides once at most.
TEST(CoreSession, HostileMessagesNeverBreakThePromises) {
  const CoreType types[] = {CoreType::kPlayerConnectInfo, CoreType::kSendConnectInfo,
                            CoreType::kAckConnectInfo,    CoreType::kConnectFailed,
                            CoreType::kTerminateSession,  CoreType::kRequestProcessCompletion};
  for (std::uint32_t seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 engine(seed);
    CoreClient client(APPLICATION_GUID);
    CoreHost host(APPLICATION_GUID, u"Console");
    client.OnLinkEvent(Connected());
    std::vector<ClientEvent> events;
    int decisions = 0;
    for (int step = 0; step < 12; ++step) {
      Bytes message(engine() % 40);
      for (auto& byte : message) byte = static_cast<std::uint8_t>(engine());
      if (message.size() >= 4 && engine() % 2 == 0)
        message[0] = static_cast<std::uint8_t>(types[engine() % std::size(types)]);
      if (engine() % 8 == 0) message = Encode(SendConnectInfo{});
      if (engine() % 8 == 0)
        message = Encode(PlayerConnectInfo{2, 2, {}, {}, {}, {}, {}, {}, APPLICATION_GUID, {}});
      if (engine() % 8 == 0) message = EncodeAckConnectInfo();
      const bool core = engine() % 3 != 0;
      client.OnLinkEvent(Message(message, core));
      host.OnLinkEvent(Message(message, core));
      for (auto& event : client.TakeEvents()) events.push_back(event);
      for (auto& event : host.TakeEvents()) decisions += event.kind != HostKind::kReceive;
    }
    client.OnLinkEvent(Closed(CloseReason::kLost));
    for (auto& event : client.TakeEvents()) events.push_back(event);

    EXPECT_LE(decisions, 1);
    ASSERT_FALSE(events.empty());
    ASSERT_EQ(events[0].kind, ClientKind::kConnectComplete);
    const bool joined = events[0].result == S_OK;
    for (std::size_t i = 1; i < events.size(); ++i) {
      EXPECT_TRUE(joined);
      EXPECT_NE(events[i].kind, ClientKind::kConnectComplete);
      if (events[i].kind == ClientKind::kTerminate) {
        EXPECT_EQ(i, events.size() - 1);
      }
    }
  }
}

}  // namespace
}  // namespace dpnet
