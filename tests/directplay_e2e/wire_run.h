// The stage for the module on the DirectPlay 8 link: the relay on the link port in front
// of a host on a free port (console-sim, or the test's own), the module run headless with
// its sound trace. Test thread; the tests using it take the port's resource lock.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/frontends/module_run.h"
#include "tests/support/udp_relay.h"

// What a session leaves: the module's log and its sound trace, each in a form that
// compares between runs (see wire_run.cpp), and what the relay's faults did.
struct SessionRecord {
  std::vector<std::string> log;
  std::string trace;
  std::array<FaultCounts, 2> faults;
};

class WireRunTest : public ModuleRunTest {
 protected:
  // console-sim on a free port playing `scenario` (a file in the folder); its port.
  std::unique_ptr<ChildProcess> StartHost(const std::string& scenario, std::uint16_t& port);
  // The module, headless and silent, tracing its sounds to `trace` in the folder.
  std::unique_ptr<ChildProcess> StartModule(const std::string& trace);

  // A whole session: console-sim plays `scenario` to the module through a relay made
  // with `relayOptions` (its host port filled in). `whileReady`, when given, runs once
  // the module is ready, with the relay and the host's port. Fails the test when the
  // module does not end the session cleanly.
  using DuringSession = std::function<void(UdpRelay&, std::uint16_t hostPort)>;
  SessionRecord RunSession(const std::string& scenario, RelayOptions relayOptions,
                           const DuringSession& whileReady = {});

  // Writes `text` to a file in the folder; its name.
  std::string WriteFile(const std::string& name, const std::string& text);

 private:
  int runs_ = 0;
};
