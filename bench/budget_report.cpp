#include "bench/budget_report.h"

#include <cstdio>

namespace {

double ToMs(double value, benchmark::TimeUnit unit) { return value * 1e3 / benchmark::GetTimeUnitMultiplier(unit); }

}  // namespace

void BudgetReporter::ReportRuns(const std::vector<Run>& runs) {
  for (const Run& run : runs) {
    Measured& m = measured_[run.run_name.function_name];
    if (run.error_occurred) {
      m.error = run.error_message;
      continue;
    }
    const bool isMedian = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
    // A median, once there is one, wins over the single runs it was made of.
    if (isMedian || (run.run_type == Run::RT_Iteration && !m.median)) {
      m.cpuMs = ToMs(run.GetAdjustedCPUTime(), run.time_unit);
      m.realMs = ToMs(run.GetAdjustedRealTime(), run.time_unit);
      m.median = isMedian;
    }
  }
  ConsoleReporter::ReportRuns(runs);
}

bool BudgetReporter::PrintVerdict(std::ostream& out, bool enforce) const {
  bool ok = true;
  char line[256];
  out << "\nBudgets (" << (enforce ? "median CPU time of the main thread" : "smoke run: reported, not enforced")
      << "):\n";
  for (const Budget& budget : budgets_) {
    auto found = measured_.find(budget.benchmark);
    if (found == measured_.end()) {
      std::snprintf(line, sizeof line, "  SKIP  %-44s not run\n", budget.what.c_str());
      out << line;
      continue;
    }
    const Measured& m = found->second;
    if (!m.error.empty()) {
      std::snprintf(line, sizeof line, "  FAIL  %-44s did not run: %s\n", budget.what.c_str(), m.error.c_str());
      out << line;
      ok = false;
      continue;
    }
    const bool kept = m.cpuMs <= budget.limitMs;
    const char* verdict = kept ? "PASS" : (enforce ? "FAIL" : "over");
    std::snprintf(line, sizeof line, "  %s  %-44s %8.3f ms <= %6.1f ms  (%s; wall %.3f ms)\n", verdict,
                  budget.what.c_str(), m.cpuMs, budget.limitMs, m.median ? "median" : "single run", m.realMs);
    out << line;
    if (!kept && enforce) ok = false;
  }
  // Benchmarks without a budget still fail the run when they could not run.
  for (const auto& [name, m] : measured_) {
    if (m.error.empty()) continue;
    bool budgeted = false;
    for (const Budget& budget : budgets_) budgeted = budgeted || budget.benchmark == name;
    if (budgeted) continue;
    out << "  FAIL  " << name << " did not run: " << m.error << "\n";
    ok = false;
  }
  out << (ok ? "Result: PASS\n" : "Result: FAIL\n");
  return ok;
}
