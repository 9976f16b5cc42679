// The main of a benchmark of the module's reactions: the module's stage on the real
// mixer with the offline output, all 256 players in flight, then prepare (if any), the
// registered benchmarks, and print with their figures. Main thread.
#pragma once

#include "bench/support/figure_reporter.h"

// 0; 1 when the stage could not be set; 2 for an option Google Benchmark does not know.
int RunInFullWorld(int argc, char** argv, void (*print)(const FigureReporter& reporter),
                   void (*prepare)() = nullptr);
