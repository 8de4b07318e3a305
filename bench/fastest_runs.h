// Google Benchmark's console table, keeping the fastest repetition of each benchmark: the ratio
// tables of the benchmark programs are built from it.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class FastestRuns : public benchmark::ConsoleReporter {
 public:
  struct Fastest {
    double seconds = 1e300;
    std::map<std::string, double> counters;
  };
  std::map<std::string, Fastest> fastest;

  void ReportRuns(const std::vector<Run>& runs) override {
    benchmark::ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      const double seconds = run.GetAdjustedCPUTime() / 1e3;
      Fastest& best = fastest[run.run_name.function_name];
      if (seconds >= best.seconds) continue;
      best.seconds = seconds;
      for (const auto& counter : run.counters) best.counters[counter.first] = counter.second.value;
    }
  }

  // The fastest time of the benchmark `name`, or 0 when it did not run.
  double secondsOf(const std::string& name) const {
    const auto found = fastest.find(name);
    return found == fastest.end() ? 0.0 : found->second.seconds;
  }
};
