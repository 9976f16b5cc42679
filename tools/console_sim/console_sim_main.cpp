// console-sim: a stand-in for the game's Console Client. See SCENARIOS.md.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/console_sim/demo_scenario.h"
#include "tools/console_sim/options.h"
#include "tools/console_sim/scenario.h"
#include "tools/console_sim/sim_session.h"

namespace {

bool ReadFile(const std::string& path, std::string& text) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    return false;
  }
  std::ostringstream contents;
  contents << file.rdbuf();
  text = contents.str();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace console_sim;
  // A closed stdout loses the printed packets, not the session the module is in.
  std::signal(SIGPIPE, SIG_IGN);
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const OptionsResult parsed = ParseOptions(arguments);
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "console-sim: %s\n%s", parsed.error.c_str(), Usage().c_str());
    return 2;
  }
  const Options& options = parsed.options;
  if (options.help) {
    std::fputs(Usage().c_str(), stdout);
    return 0;
  }
  std::string text(DemoScenario());
  const std::string name = options.scenarioPath.empty() ? "demo scenario" : options.scenarioPath;
  if (!options.scenarioPath.empty() && !ReadFile(options.scenarioPath, text)) {
    std::fprintf(stderr, "console-sim: cannot read %s: %s\n", name.c_str(), std::strerror(errno));
    return 1;
  }
  const ParsedScenario scenario = ParseScenario(text);
  if (!scenario.errors.empty()) {
    for (const ScenarioError& error : scenario.errors) {
      std::fprintf(stderr, "%s: %s\n", name.c_str(), Describe(error).c_str());
    }
    std::fprintf(stderr, "console-sim: the scenario has errors; nothing was sent.\n");
    return 1;
  }
  return RunSimulation(options, scenario.scenario);
}
