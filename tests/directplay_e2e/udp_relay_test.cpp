// The relay over real sockets: the first sender is the module, what it sends reaches the
// host and the host's answers come back from the listening port; others are ignored, and
// a silent host is heard no more.
#include "tests/support/udp_relay.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(UdpRelayTest, RelaysTheModuleAndItsHostOnlyAndSilencesTheHost) {
  LoopbackUdpSocket module;
  LoopbackUdpSocket host;
  LoopbackUdpSocket stranger;
  RelayOptions options;
  options.hostPort = host.Port();
  options.listenPort = 0;
  UdpRelay relay(options);
  std::vector<std::uint8_t> got;

  ASSERT_TRUE(module.SendTo(relay.ListenPort(), Bytes("ping")));
  const auto relayPort = host.Receive(got, 5s);
  ASSERT_TRUE(relayPort);
  EXPECT_EQ(got, Bytes("ping"));
  EXPECT_EQ(relay.ModulePort(), module.Port());

  stranger.SendTo(relay.ListenPort(), Bytes("stranger"));
  stranger.SendTo(*relayPort, Bytes("stranger"));
  module.SendTo(relay.ListenPort(), Bytes("second"));
  ASSERT_TRUE(host.Receive(got, 5s));
  EXPECT_EQ(got, Bytes("second"));
  host.SendTo(*relayPort, Bytes("pong"));
  EXPECT_EQ(module.Receive(got, 5s), relay.ListenPort());
  EXPECT_EQ(got, Bytes("pong"));

  relay.SetSilent(true);
  host.SendTo(*relayPort, Bytes("lost"));
  const auto deadline = Clock::now() + 5s;
  while (relay.Counts()[1].dropped == 0 && Clock::now() < deadline) std::this_thread::yield();
  relay.SetSilent(false);
  host.SendTo(*relayPort, Bytes("heard"));
  ASSERT_TRUE(module.Receive(got, 5s));
  EXPECT_EQ(got, Bytes("heard"));
}

}  // namespace
