// Every way a DirectPlay 8 session ends, with the real module through the relay on the
// link port: a connect that fails shows the "Check Connection" box and ends the dialog
// with 3; a session that ends logs "Closing connection..." and ends it with 2. Either
// way the process exits with 0.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>

#include "platform/directplay/directplay_host.h"
#include "tests/directplay_e2e/wire_run.h"

namespace {

using namespace std::chrono_literals;

enum class HostDoes { kNothingListens, kRefuse, kGoSilent, kHardDisconnect, kTerminate };

struct End {
  const char* name;
  HostDoes host;
};
void PrintTo(const End& end, std::ostream* out) { *out << end.name; }

class EndsTest : public WireRunTest, public ::testing::WithParamInterface<End> {};

TEST_P(EndsTest, EndsTheModuleAsItsMessageHandlerSays) {
  const HostDoes does = GetParam().host;
  std::optional<DirectPlayHost> host;
  std::optional<UdpRelay> relay;
  if (does != HostDoes::kNothingListens) {
    DirectPlayHostOptions options;
    if (does == HostDoes::kRefuse) options.application.Data1 ^= 1;  // another application
    host.emplace(0, options);
    RelayOptions relayOptions;
    relayOptions.hostPort = host->Port();
    relay.emplace(relayOptions);
  }
  const auto module = StartModule("trace.jsonl");
  std::vector<std::string> lines;
  const bool sessionEnds = does != HostDoes::kNothingListens && does != HostDoes::kRefuse;
  if (does == HostDoes::kRefuse) {
    EXPECT_EQ(host->Accept(30s), AcceptOutcome::kRefused);
  }
  if (sessionEnds) {
    ASSERT_EQ(host->Accept(30s), AcceptOutcome::kAccepted);
    ASSERT_TRUE(ReadUntil(*module, "Connected, getting configuration...", lines, 30s));
    if (does == HostDoes::kGoSilent) relay->SetSilent(true);
    if (does == HostDoes::kHardDisconnect) host->HardDisconnect();
    if (does == HostDoes::kTerminate) host->Terminate();
  }
  while (const auto line = module->ReadLine(Clock::now() + 120s)) lines.push_back(*line);
  EXPECT_EQ(module->Wait(Clock::now() + 30s), 0);
  const std::string errors = module->ErrorOutput();
  const bool closed = std::find(lines.begin(), lines.end(), "Closing connection...") != lines.end();
  EXPECT_EQ(closed, sessionEnds);
  EXPECT_EQ(errors.find("[Check Connection] ") != std::string::npos, !sessionEnds) << errors;
  EXPECT_NE(errors.find(sessionEnds ? "[end] 2" : "[end] 3"), std::string::npos) << errors;
}

INSTANTIATE_TEST_SUITE_P(Ways, EndsTest,
                         ::testing::Values(End{"NothingListens", HostDoes::kNothingListens},
                                           End{"Refused", HostDoes::kRefuse},
                                           End{"HostGoesSilent", HostDoes::kGoSilent},
                                           End{"HardDisconnect", HostDoes::kHardDisconnect},
                                           End{"Terminate", HostDoes::kTerminate}),
                         [](const auto& each) { return std::string(each.param.name); });

}  // namespace
