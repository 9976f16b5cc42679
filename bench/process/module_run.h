// One run of the real soundmodule for a whole-program measurement: headless, sound on
// SDL's dummy driver, in a folder with universe.dat and Sounds/, against a host that
// plays the Console Client on the fixed link port (waiting while another program holds
// it): the slot assignment (ship type 1) and the end of the configuration. Main thread.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

// The module's resident size in bytes once it has logged "Ready!"; nothing (with a
// line on stderr) when it did not get there.
std::optional<std::size_t> ResidentAfterReady(const std::string& soundmodule,
                                              const std::filesystem::path& folder);
