// The benchmark's verdict: a console report that also keeps each benchmark's
// median (or its single run, without repetitions) and, at the end, prints one
// PASS or FAIL line per budget.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

struct Budget {
  std::string benchmark;  // the function name, e.g. "BM_FadeIn"
  std::string what;       // what the budget is about, for the verdict line
  double limitMs;
};

class BudgetReporter : public benchmark::ConsoleReporter {
 public:
  BudgetReporter(std::vector<Budget> budgets, OutputOptions options)
      : ConsoleReporter(options), budgets_(std::move(budgets)) {}

  void ReportRuns(const std::vector<Run>& runs) override;

  // Prints the verdict lines. Returns false when a benchmark failed to run, or
  // when `enforce` is set and a measured median is over its budget.
  bool PrintVerdict(std::ostream& out, bool enforce) const;

 private:
  struct Measured {
    double cpuMs = 0;
    double realMs = 0;
    bool median = false;
    std::string error;
  };

  std::vector<Budget> budgets_;
  std::map<std::string, Measured> measured_;
};
