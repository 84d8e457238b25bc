#pragma once
// Medians, extremes and the table rows the bench programs print.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

struct Stats {
  double median = 0, min = 0, max = 0;
  size_t runs = 0;
};

inline Stats Summarise(std::vector<double> values) {
  Stats stats;
  stats.runs = values.size();
  if (values.empty()) return stats;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  stats.median = values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
  stats.min = values.front();
  stats.max = values.back();
  return stats;
}

inline void PrintHeader(const char* unit) {
  std::printf("   %-44s %10s %10s %10s %5s\n", unit, "median", "min", "max", "runs");
}

inline void PrintRow(const std::string& what, const Stats& stats) {
  std::printf("   %-44s %10.2f %10.2f %10.2f %5zu\n", what.c_str(), stats.median, stats.min, stats.max,
              stats.runs);
}

// A figure against its goal, at most `goal`; said, not failed: it depends on how busy the machine is.
inline void PrintGoal(const char* what, double value, double goal, const char* format = "%.2f") {
  std::printf("   %s: ", what);
  std::printf(format, value);
  std::printf("  goal <= ");
  std::printf(format, goal);
  std::printf(": %s\n", value > 0 && value <= goal ? "met" : "NOT met");
}

// Failures of a bench step; any makes the program end with 1.
inline std::vector<std::string>& Failures() {
  static std::vector<std::string> failures;
  return failures;
}

inline bool Expect(bool condition, const std::string& what) {
  if (!condition) {
    Failures().push_back(what);
    std::printf("   FAILED: %s\n", what.c_str());
    std::fflush(stdout);
  }
  return condition;
}

}  // namespace bench
