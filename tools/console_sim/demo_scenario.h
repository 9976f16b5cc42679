// The built-in demo scenario, compiled in from demo.scenario. Any thread.
#pragma once

#include <string_view>

namespace console_sim {

std::string_view DemoScenario();

}  // namespace console_sim
