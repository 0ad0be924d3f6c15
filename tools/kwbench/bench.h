// kwbench: the benchmark. Each part prints figures as `name: value unit`, medians
// over its runs.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace kwbench {

inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

inline double NowUs() {
  using namespace std::chrono;
  return duration<double, std::micro>(steady_clock::now().time_since_epoch()).count();
}

inline void Print(const std::string& name, double value, const std::string& unit) {
  std::printf("%s: %.3f %s\n", name.c_str(), value, unit.c_str());
  std::fflush(stdout);
}

// The parts; gameDir is the generated game folder ("" when none was given).
void BenchDrawing();
void BenchPacks(const std::string& gameDir);
void BenchGame(const std::string& gameDir);

}  // namespace kwbench
