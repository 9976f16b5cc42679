// The soundmodule program when what it runs beside goes wrong: the Console Client
// killed or stalled mid-session, its own stdout closed, its stdin flooded. Each time it
// must end cleanly with exit code 0 or keep running, never die silently.
#include <signal.h>

#include <fstream>
#include <string>

#include "tests/frontends/module_run.h"

namespace {

using namespace std::chrono_literals;

// Chat every half second, so the log keeps getting lines, until the session ends.
constexpr const char* kLongSession =
    "configuration:\n"
    "event config-complete\n"
    "flight:\n"
    "repeat 100 every 0.5: chat from=1\n"
    "@60 end\n";

class FaultTest : public ModuleRunTest {
 protected:
  std::unique_ptr<ChildProcess> StartLongSession() {
    const auto scenario = folder_ / "long.scenario";
    std::ofstream(scenario) << kLongSession;
    return StartSimulator(scenario.c_str());
  }

  std::unique_ptr<ChildProcess> StartModule() {
    return std::make_unique<ChildProcess>(SOUNDMODULE, std::vector<std::string>{"--link", "tcp", "--headless", "--audio-out", "null"},
                                          folder_.string());
  }

  // Waits for the close the module makes itself, and its clean end.
  static void ExpectCleanClose(ChildProcess& module, std::vector<std::string>& lines) {
    ASSERT_TRUE(ReadUntil(module, "Closing connection...", lines, 60s)) << module.ErrorOutput();
    EXPECT_EQ(module.Wait(Clock::now() + 30s), 0);
    const std::string errors = module.ErrorOutput();
    EXPECT_NE(errors.find("[end] 2"), std::string::npos) << errors;
  }
};

TEST_F(FaultTest, AConsoleClientKilledMidSessionEndsTheSessionAndTheModuleCleanly) {
  const auto simulator = StartLongSession();
  const auto module = StartModule();
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadUntil(*module, "Ready!", lines, 60s)) << module->ErrorOutput();
  ASSERT_TRUE(ReadUntil(*module, "Incoming chat message...", lines, 30s));
  simulator->Signal(SIGKILL);
  ExpectCleanClose(*module, lines);
}

// A client that stops sending but keeps the connection open is no end of the session:
// the module waits for it, and the user can still close the dialog.
TEST_F(FaultTest, AStalledConsoleClientLeavesTheModuleRunningAndClosable) {
  const auto simulator = StartLongSession();
  const auto module = StartModule();
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadUntil(*module, "Ready!", lines, 60s)) << module->ErrorOutput();
  // Meanwhile: the module listens nowhere, and the simulator on the loopback address only.
  int simulatorSockets = 0;
  for (const ListeningSocket& socket : ListeningSockets()) {
    EXPECT_FALSE(module->HoldsSocket(socket.inode)) << socket.address << ":" << socket.port;
    if (simulator->HoldsSocket(socket.inode)) {
      ++simulatorSockets;
      EXPECT_EQ(socket.address, "0100007F");
      EXPECT_EQ(socket.port, 2400);
    }
  }
  EXPECT_EQ(simulatorSockets, 1);
  simulator->Signal(SIGSTOP);
  std::this_thread::sleep_for(2s);
  EXPECT_FALSE(module->Wait(Clock::now()).has_value()) << "still running";
  ASSERT_TRUE(module->WriteInput("1001\n"));
  ASSERT_TRUE(ReadUntil(*module, "No target found...", lines, 30s)) << "the dialog still answers";
  ASSERT_TRUE(module->WriteInput("2\n"));
  ExpectCleanClose(*module, lines);
  simulator->Signal(SIGCONT);
}

// Nobody reads stdout any more, and stdin is closed: the module says so once on stderr
// and plays on to the end of the session instead of being killed by the broken pipe.
TEST_F(FaultTest, ClosedStdoutAndStdinDoNotEndTheModuleBeforeTheSession) {
  const auto simulator = StartLongSession();
  const auto module = StartModule();
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadUntil(*module, "Ready!", lines, 60s)) << module->ErrorOutput();
  module->CloseInput();
  module->CloseOutput();
  EXPECT_EQ(module->Wait(Clock::now() + 120s), 0);
  const std::string errors = module->ErrorOutput();
  EXPECT_NE(errors.find("soundmodule: stdout is closed; the status log goes on without it\n"), std::string::npos)
      << errors;
  EXPECT_NE(errors.find("[end] 2"), std::string::npos) << errors;
  EXPECT_EQ(simulator->Wait(Clock::now() + 30s), 0) << "the session ran to its end";
}

// Megabytes without a line break, then a thousand clicks: the module keeps none of the
// flood, handles the clicks in order and closes on the last one.
TEST_F(FaultTest, AFloodedStdinIsReadThroughAndTheCloseAtItsEndIsTaken) {
  const auto simulator = StartLongSession();
  const auto module = StartModule();
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadUntil(*module, "Ready!", lines, 60s)) << module->ErrorOutput();
  std::string clicks;
  for (int i = 0; i < 1000; ++i) clicks += "1020\n";
  std::thread writer([&] {
    module->WriteInput(std::string(8 << 20, 'x'));
    module->WriteInput("\n" + clicks + "2\n");
  });
  ExpectCleanClose(*module, lines);
  writer.join();
}

}  // namespace
