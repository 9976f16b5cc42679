#include "bench/support/figure_reporter.h"

void FigureReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    const auto rate = run.counters.find("items_per_second");
    figures_[run.benchmark_name()] = {
        rate != run.counters.end() ? double(rate->second) : run.GetAdjustedRealTime(),
        run.GetAdjustedCPUTime()};
  }
}

double FigureReporter::Figure(const std::string& runName) const {
  const auto found = figures_.find(runName);
  return found == figures_.end() ? 0.0 : found->second.figure;
}

double FigureReporter::CpuTime(const std::string& runName) const {
  const auto found = figures_.find(runName);
  return found == figures_.end() ? 0.0 : found->second.cpuTime;
}

double FigureReporter::Ratio(const std::string& a, const std::string& b) const {
  const double x = Figure(a);
  const double y = Figure(b);
  return x == 0.0 || y == 0.0 ? 0.0 : x / y;
}

bool RunBenchmarks(int& argc, char** argv, FigureReporter& reporter) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return false;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return true;
}
