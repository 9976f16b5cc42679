// The reliable link's state machine: two links talking through a simulated, lossy pipe,
// and a client facing hand-made frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "tests/directplay/link_pair.h"
#include "tests/directplay/test_seed.h"

namespace {

using dpnet::Bytes;
using dpnet::Clock;
using dpnet::CloseReason;
using dpnet::LinkEvent;
using namespace std::chrono_literals;

std::vector<CloseReason> Closes(const std::vector<LinkEvent>& events) {
  std::vector<CloseReason> out;
  for (const auto& e : OfKind(events, LinkEvent::Kind::kClosed)) out.push_back(e.reason);
  return out;
}

// kConnected once and first, kClosed once and last with `reason`.
void ExpectLifetime(const std::vector<LinkEvent>& events, CloseReason reason) {
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events.front().kind, LinkEvent::Kind::kConnected);
  EXPECT_EQ(OfKind(events, LinkEvent::Kind::kConnected).size(), 1u);
  EXPECT_EQ(events.back().kind, LinkEvent::Kind::kClosed);
  EXPECT_EQ(Closes(events), std::vector{reason});
}

std::vector<Bytes> Messages(const std::vector<LinkEvent>& events) {
  std::vector<Bytes> out;
  for (const auto& e : OfKind(events, LinkEvent::Kind::kMessage)) out.push_back(e.message);
  return out;
}

LinkPair Connected(std::uint32_t seed, PipeFaults faults = {}, dpnet::ReliableOptions options = {}) {
  LinkPair pair(seed, faults, options);
  EXPECT_TRUE(pair.RunUntil([&] { return pair.client.Connected() && pair.host && pair.host->Connected(); }, 60s));
  return pair;
}

// Where two message lists part, for a readable failure.
std::string Difference(const std::vector<Bytes>& got, const std::vector<Bytes>& sent) {
  const auto [g, s] = std::ranges::mismatch(got, sent);
  return "got " + std::to_string(got.size()) + " of " + std::to_string(sent.size()) +
         ", first difference at " + std::to_string(g - got.begin());
}

// Each of `part` in `whole`, in the same order, none twice.
bool IsSubsequence(const std::vector<Bytes>& part, const std::vector<Bytes>& whole) {
  auto next = whole.begin();
  for (const Bytes& m : part) {
    next = std::find(next, whole.end(), m);
    if (next == whole.end()) return false;
    ++next;
  }
  return true;
}

std::size_t CoalescedFrames(const std::vector<Bytes>& datagrams) {
  return static_cast<std::size_t>(std::ranges::count_if(datagrams, [](const Bytes& d) {
    const auto frame = dpnet::DecodeFrame(d);
    const auto* data = frame ? std::get_if<dpnet::DataFrame>(&*frame) : nullptr;
    return data != nullptr && (data->control & dpnet::kControlCoalesce) != 0;
  }));
}

std::size_t CountFrames(const std::vector<Bytes>& datagrams, std::uint8_t first, std::uint8_t second) {
  return static_cast<std::size_t>(std::ranges::count_if(datagrams, [&](const Bytes& d) {
    return d.size() >= 2 && (d[0] & ~0x08) == first && d[1] == second;
  }));
}

// Reliable payloads of any size (some over several frames, many small ones coalesced)
// arrive once each and in order both ways through a pipe that drops 20 %, duplicates
// 5 % and reorders; reliable non-sequential ones once each in any order; unreliable ones
// at most once, in order, and they never hold up the others. A graceful disconnect then
// ends both sides once, after everything queued before it arrived.
TEST(ReliableLinkTest, LossyPipeDeliversReliablePayloadsOnceInOrder) {
  const std::uint32_t seed = TestSeed();
  SCOPED_TRACE(SeedTrace(seed));
  LinkPair pair = Connected(seed, {0.2, 0.05, 30ms});
  std::mt19937 random(seed);
  // Reliable to the host, reliable to the client, unreliable, reliable non-sequential.
  std::vector<Bytes> sent[4];
  for (int round = 0; round < 60; ++round) {
    for (int i = 0; i < 5; ++i) {
      const bool fromHost = random() % 3 == 0;
      const std::size_t kind = fromHost ? 1 : std::array<std::size_t, 4>{0, 0, 2, 3}[random() % 4];
      // Tagged with its kind and number, so that no two payloads are alike.
      Bytes payload(3 + random() % (random() % 10 == 0 ? 5000 : 40));
      std::ranges::generate(payload, [&] { return static_cast<std::uint8_t>(random()); });
      payload[0] = static_cast<std::uint8_t>(kind);
      payload[1] = static_cast<std::uint8_t>(sent[kind].size());
      payload[2] = static_cast<std::uint8_t>(sent[kind].size() >> 8);
      auto& sender = fromHost ? *pair.host : pair.client;
      ASSERT_TRUE(sender.Send(payload, {kind != 2, kind != 3, false}, pair.now));
      sent[kind].push_back(payload);
    }
    pair.RunFor(5ms);
  }
  pair.client.Disconnect(pair.now);
  ASSERT_TRUE(pair.RunUntil([&] { return pair.client.Closed() && pair.host->Closed(); }, 120s));
  ExpectLifetime(pair.clientEvents, CloseReason::kLocal);
  ExpectLifetime(pair.hostEvents, CloseReason::kGraceful);

  std::vector<Bytes> atHost[4];
  for (Bytes& m : Messages(pair.hostEvents)) atHost[m.at(0)].push_back(std::move(m));
  EXPECT_TRUE(atHost[0] == sent[0]) << Difference(atHost[0], sent[0]);
  std::ranges::sort(atHost[3]);
  std::ranges::sort(sent[3]);
  EXPECT_TRUE(atHost[3] == sent[3]) << Difference(atHost[3], sent[3]);
  EXPECT_TRUE(Messages(pair.clientEvents) == sent[1]) << Difference(Messages(pair.clientEvents), sent[1]);
  EXPECT_TRUE(IsSubsequence(atHost[2], sent[2])) << Difference(atHost[2], sent[2]);
  EXPECT_GT(CoalescedFrames(pair.clientSent), 0u);
}

// With no answer at all, CONNECT goes out 15 times with the same session id and new
// message ids, 200 ms apart and doubling up to 5 s; the connect fails when the wait after
// the last one ends: 0.2 + 0.4 + 0.8 + 1.6 + 3.2 s and ten times 5 s.
TEST(ReliableLinkTest, ConnectWithoutAnswerTimesOutAfterItsRetries) {
  LinkPair pair(7, {1.0, 0, {}});
  const Clock::time_point start = pair.now;
  ASSERT_TRUE(pair.RunUntil([&] { return pair.client.Closed(); }, 120s));
  EXPECT_EQ(pair.now - start, 56200ms);
  EXPECT_EQ(Closes(pair.clientEvents), std::vector{CloseReason::kConnectTimedOut});
  ASSERT_EQ(pair.clientSent.size(), 15u);
  for (std::size_t i = 0; i < pair.clientSent.size(); ++i) {
    const Bytes& connect = pair.clientSent[i];
    EXPECT_EQ(Bytes(connect.begin(), connect.begin() + 3), (Bytes{0x88, 0x01, static_cast<std::uint8_t>(i)}));
    EXPECT_EQ(Bytes(connect.begin() + 4, connect.begin() + 12),
              Bytes(pair.clientSent[0].begin() + 4, pair.clientSent[0].begin() + 12));
  }
}

// A host that wants signing answers CONNECTED_SIGNED (here 1.6); we do not sign, so the
// connect fails at once instead of waiting out its retries.
TEST(ReliableLinkTest, ConnectedSignedRefusesTheConnect) {
  auto link = dpnet::ReliableLink::Connect(Clock::time_point{}, 0x79C9AEC6);
  const Bytes connect = link.TakeDatagrams().at(0);
  Bytes answer{0x88, 0x03, 0x00, connect[2], 0x06, 0x00, 0x01, 0x00, 0xC6, 0xAE, 0xC9, 0x79};
  answer.resize(48, 0);
  link.OnDatagram(answer, Clock::time_point{} + 1ms);
  const auto events = link.TakeEvents();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].reason, CloseReason::kConnectRefused);
  EXPECT_FALSE(link.NextDeadline());
}

// Our hard disconnect closes us at once and tells the peer three times; the peer
// closes on the first one that arrives and answers it.
TEST(ReliableLinkTest, HardDisconnectClosesBothSides) {
  LinkPair pair = Connected(11);
  pair.client.HardDisconnect(pair.now);
  EXPECT_TRUE(pair.client.Closed());
  EXPECT_FALSE(pair.client.Send(Bytes{1}, {}, pair.now));
  pair.RunFor(5s);
  ExpectLifetime(pair.clientEvents, CloseReason::kLocal);
  ExpectLifetime(pair.hostEvents, CloseReason::kHardDisconnect);
  EXPECT_EQ(CountFrames(pair.clientSent, 0x80, 0x04), 3u);
  EXPECT_EQ(CountFrames(pair.hostSent, 0x80, 0x04), 3u);
}

// A quiet link stays up on KeepAlives; once the host stalls, the client's KeepAlive
// goes unanswered and its retries end the link. Nothing more happens after that.
TEST(ReliableLinkTest, KeepAlivesHoldAQuietLinkAndFindAStalledPeer) {
  dpnet::ReliableOptions options;
  LinkPair pair = Connected(23, {}, options);
  pair.RunFor(options.keepAlivePeriod * 4);
  EXPECT_TRUE(pair.client.Connected() && pair.host->Connected());
  const auto keepAlives = [&] { return CountFrames(pair.clientSent, 0x3F, 0x02) + CountFrames(pair.clientSent, 0x37, 0x02); };
  EXPECT_GE(keepAlives(), 3u);
  pair.hostStalled = true;
  const std::size_t before = keepAlives();
  ASSERT_TRUE(pair.RunUntil([&] { return pair.client.Closed(); }, 120s));
  EXPECT_GT(keepAlives(), before);
  ExpectLifetime(pair.clientEvents, CloseReason::kLost);
  EXPECT_FALSE(pair.client.NextDeadline());
}

// A message that grows past the receiver's limit ends the link; it is never delivered.
TEST(ReliableLinkTest, OversizedMessageEndsTheLink) {
  dpnet::ReliableOptions small;
  small.maxMessageSize = 3000;
  LinkPair pair(31, {}, {}, small);
  ASSERT_TRUE(pair.RunUntil([&] { return pair.client.Connected() && pair.host && pair.host->Connected(); }, 60s));
  ASSERT_TRUE(pair.client.Send(Bytes(5000, 7), {}, pair.now));
  ASSERT_TRUE(pair.RunUntil([&] { return pair.client.Closed() && pair.host->Closed(); }, 60s));
  ExpectLifetime(pair.hostEvents, CloseReason::kLost);
  EXPECT_TRUE(Messages(pair.hostEvents).empty());
  EXPECT_EQ(Closes(pair.clientEvents), std::vector{CloseReason::kHardDisconnect});
}

}  // namespace
