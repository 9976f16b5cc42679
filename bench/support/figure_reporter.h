// The usual Google Benchmark table, with each run's figure kept by name so that a
// program can print its goals' ratios after the table. Main thread of a benchmark.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

class FigureReporter : public benchmark::ConsoleReporter {
 public:
  FigureReporter() : ConsoleReporter(OO_Tabular) {}  // plain text, for logs
  void ReportRuns(const std::vector<Run>& runs) override;

  // A run's items per second when it counts items, else its real time per iteration
  // in the run's unit (the median of its repetitions when it was repeated); 0 for a
  // run that did not happen.
  double Figure(const std::string& runName) const;
  // A run's processor time per iteration in the run's unit; 0 for a run that did not
  // happen.
  double CpuTime(const std::string& runName) const;
  // Figure(a) / Figure(b), or 0 when either is missing.
  double Ratio(const std::string& a, const std::string& b) const;

 private:
  struct Figures {
    double figure;
    double cpuTime;
  };
  const Figures* Find(const std::string& runName) const;

  std::map<std::string, Figures> figures_;
};

// Initialises Google Benchmark, runs every registered benchmark with reporter, and
// shuts it down. False when the command line had an unknown option.
bool RunBenchmarks(int& argc, char** argv, FigureReporter& reporter);
