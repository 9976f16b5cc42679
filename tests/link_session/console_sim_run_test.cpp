// console-sim as a program: the module's client connects to it, asks for the
// configuration and receives the burst, the flight and the end of the session, over
// either link.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "link/configuration_request.h"
#include "platform/directplay/directplay_client.h"
#include "platform/link/recording_client.h"
#include "platform/link/tcp_link_client.h"
#include "tools/console_sim/scenario.h"
#include "tests/link_session/link_recorder.h"

namespace {

using namespace console_sim;

// Runs console-sim with a scenario on a free port; reads its output through a pipe.
// A simulator left waiting by a failed test is stopped after a minute.
class SimProcess {
 public:
  explicit SimProcess(const std::string& scenario, const std::string& link = "tcp") {
    std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '_');  // a parameterised test's name
    const std::string path = testing::TempDir() + name + ".scenario";
    std::ofstream(path) << scenario;
    const std::string command = "timeout 60 " + std::string(CONSOLE_SIM_PATH) +
                                " --link " + link + " --port 0 --scenario " + path + " </dev/null 2>&1";
    pipe_ = popen(command.c_str(), "r");
  }
  ~SimProcess() {
    if (pipe_ != nullptr) {
      Finish();
    }
  }

  std::string ReadLine() {
    char line[512];
    return pipe_ != nullptr && std::fgets(line, sizeof line, pipe_) != nullptr ? line : "";
  }

  // Everything still to come, and the exit code.
  int Finish(std::string* rest = nullptr) {
    for (std::string line; !(line = ReadLine()).empty();) {
      if (rest != nullptr) {
        *rest += line;
      }
    }
    const int status = pclose(pipe_);
    pipe_ = nullptr;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  FILE* pipe_ = nullptr;
};

std::uint16_t PortFrom(const std::string& line) {
  const std::size_t colon = line.find("127.0.0.1:");
  return colon == std::string::npos
             ? 0
             : static_cast<std::uint16_t>(std::stoi(line.substr(colon + 10)));
}

struct Link {
  std::string name;
  std::function<std::unique_ptr<IDirectPlay8Client>()> makeClient;
};

void PrintTo(const Link& link, std::ostream* out) { *out << link.name; }

class ConsoleSimRunTest : public testing::TestWithParam<Link> {};

TEST_P(ConsoleSimRunTest, AnswersTheRequestPlaysTheFlightAndEndsTheSession) {
  SimProcess sim(
      "configuration:\n"
      "event slot index=3 b=3 d=7\n"
      "event config-complete\n"
      "flight:\n"
      "@0.2 move slot=3 from=2940,0,0 to=2941,0,0 over=0.3 every=0.1\n"
      "@0.1 chat from=4\n"
      "@0.6 end\n",
      GetParam().name);
  const std::uint16_t port = PortFrom(sim.ReadLine());
  ASSERT_NE(port, 0);

  LinkRecorder recorder;
  // The session is also recorded on its way in, as --record does.
  const std::string recording = testing::TempDir() + "recorded_" + GetParam().name + ".scenario";
  const int fd = ::open(recording.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  RecordingClient client(GetParam().makeClient(), fd);
  ASSERT_EQ(client.Initialize(&recorder, LinkRecorder::Handle, 0), S_OK);
  IDirectPlay8Address host = HostAddress(port);
  const DPN_APPLICATION_DESC description = SessionDescription();
  ASSERT_EQ(client.Connect(&description, &host, nullptr, nullptr, nullptr, nullptr, 0, nullptr,
                           nullptr, 0),
            DPNSUCCESS_PENDING);
  ASSERT_TRUE(recorder.WaitForConnects(1));
  ASSERT_EQ(recorder.Connects(), std::vector<HRESULT>{S_OK});
  const EventPayload request = ConfigurationRequest();
  DPN_BUFFER_DESC buffer{static_cast<DWORD>(request.size()), request.data()};
  ASSERT_EQ(client.Send(&buffer, 1, 0, nullptr, nullptr, DPNSEND_GUARANTEED | DPNSEND_NOLOOPBACK),
            DPNSUCCESS_PENDING);

  ASSERT_TRUE(recorder.WaitForTerminates(1));
  const auto data = recorder.Data();
  std::vector<std::size_t> sizes;
  for (const auto& payload : data) {
    sizes.push_back(payload.size());
  }
  EXPECT_EQ(sizes, (std::vector<std::size_t>{20, 20, 82, 64, 64, 64, 64}));
  EXPECT_EQ(data[0][0], 0);  // the burst, in order
  EXPECT_EQ(data[1][0], 3);
  EXPECT_EQ(recorder.Terminates(), std::vector<HRESULT>{S_OK});
  std::string output;
  EXPECT_EQ(sim.Finish(&output), 0) << output;
  EXPECT_NE(output.find("notice subtype=0 index=4"), std::string::npos) << output;

  // Played back, the recording sends the same payloads, in order, in about the same time.
  ::close(fd);
  std::ifstream file(recording);
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const ParsedScenario replay = ParseScenario(text);
  ASSERT_TRUE(replay.errors.empty()) << Describe(replay.errors[0]);
  std::vector<std::vector<std::uint8_t>> replayed;
  for (const ScheduledPacket& packet : replay.scenario.flight) {
    replayed.push_back(packet.payload);
  }
  EXPECT_EQ(replayed, data);
  EXPECT_GT(replay.scenario.endTime, 0.3);
  EXPECT_LT(replay.scenario.endTime, 30.0);
}

INSTANTIATE_TEST_SUITE_P(
    Links, ConsoleSimRunTest,
    testing::Values(Link{"tcp", [] { return std::make_unique<TcpLinkClient>(); }},
                    Link{"directplay", [] { return std::make_unique<DirectPlayClient>(); }}),
    [](const testing::TestParamInfo<Link>& link) { return link.param.name; });

TEST(ConsoleSimScenarioTest, BadScenarioIsReportedAndNothingIsHosted) {
  SimProcess sim("chat from=1\nchat from=999\n");
  std::string output;
  EXPECT_EQ(sim.Finish(&output), 1);
  EXPECT_NE(output.find("line 2: "), std::string::npos) << output;
  EXPECT_EQ(output.find("Listening"), std::string::npos) << output;
}

}  // namespace
