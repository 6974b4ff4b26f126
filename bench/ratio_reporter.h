// A Google Benchmark reporter that prints as usual, then the ratio of two
// benchmarks' median CPU times against its goal, so that one run compares
// them side by side on the same machine and load.
// Leaves out: wall time; the renders are single-threaded, and a busy machine
// inflates wall time for whichever benchmark it happens to run beside.
// Depends on: Google Benchmark.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter(std::string numerator, std::string denominator, double goal)
      : numerator_(std::move(numerator)), denominator_(std::move(denominator)), goal_(goal) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.aggregate_name == "median")
        seconds_[run.run_name.function_name] = run.GetAdjustedCPUTime();
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    const double top = seconds_[numerator_];
    const double bottom = seconds_[denominator_];
    if (top > 0 && bottom > 0)
      std::printf("%s / %s (medians) = %.3f (goal: at most %.2f)\n", numerator_.c_str(),
                  denominator_.c_str(), top / bottom, goal_);
  }

 private:
  std::string numerator_;
  std::string denominator_;
  double goal_;
  std::map<std::string, double> seconds_;
};
