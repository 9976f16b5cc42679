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

// With repetitions the median stands for the run: one slow repetition on a busy
// machine moves it least.
const FigureReporter::Figures* FigureReporter::Find(const std::string& runName) const {
  for (const std::string& name : {runName + "_median", runName}) {
    if (const auto found = figures_.find(name); found != figures_.end()) return &found->second;
  }
  return nullptr;
}

double FigureReporter::Figure(const std::string& runName) const {
  const Figures* figures = Find(runName);
  return figures == nullptr ? 0.0 : figures->figure;
}

double FigureReporter::CpuTime(const std::string& runName) const {
  const Figures* figures = Find(runName);
  return figures == nullptr ? 0.0 : figures->cpuTime;
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
