// The module and console-sim through the relay on the link port: a session over a path
// that drops, duplicates and reorders both ways, or with a stranger sending random
// datagrams to both ends, leaves the same log and sound trace as one over a clean path.
#include <gtest/gtest.h>

#include <ostream>

#include "tests/directplay/test_seed.h"
#include "tests/directplay_e2e/wire_run.h"
#include "tests/support/hostile_sender.h"

namespace {

struct Trouble {
  const char* name;
  FaultRates faults;
  bool hostile;
};
void PrintTo(const Trouble& trouble, std::ostream* out) { *out << trouble.name; }

class SameSessionTest : public WireRunTest, public ::testing::WithParamInterface<Trouble> {};

TEST_P(SameSessionTest, LeavesTheLogAndTraceOfACleanPath) {
  const std::uint32_t seed = TestSeed();
  SCOPED_TRACE(SeedTrace(seed));
  const SessionRecord clean = RunSession(RELIABLE_SCENARIO, {});

  RelayOptions troubled;
  troubled.toHost = troubled.toModule = GetParam().faults;
  troubled.seed = seed;
  HostileSender stranger(seed);
  const SessionRecord record = RunSession(RELIABLE_SCENARIO, troubled, [&](UdpRelay& relay, std::uint16_t hostPort) {
    if (GetParam().hostile) stranger.Start({relay.ModulePort(), hostPort});
  });
  EXPECT_EQ(record.log, clean.log);
  EXPECT_EQ(record.trace, clean.trace);
  ASSERT_FALSE(clean.trace.empty());
  EXPECT_EQ(stranger.Sent() > 0, GetParam().hostile);
  EXPECT_EQ(record.faults[0].dropped + record.faults[1].dropped > 0, GetParam().faults.drop > 0);
}

INSTANTIATE_TEST_SUITE_P(Paths, SameSessionTest,
                         ::testing::Values(Trouble{"Lossy", {0.2, 0.05, 0.1}, false},
                                           Trouble{"Hostile", {}, true}),
                         [](const auto& each) { return std::string(each.param.name); });

}  // namespace
