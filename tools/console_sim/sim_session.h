// One run of the simulator: host the link, take one module, answer its configuration
// request, play the flight (and whatever is typed meanwhile), end the session. Main
// thread; the typed lines are read on a thread of their own.
#pragma once

#include "tools/console_sim/options.h"
#include "tools/console_sim/scenario.h"

namespace console_sim {

// The process exit code: 0 when the scenario ran to its end.
int RunSimulation(const Options& options, const Scenario& scenario);

}  // namespace console_sim
