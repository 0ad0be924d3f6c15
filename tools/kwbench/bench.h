// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// kwbench: the benchmark. Each part prints figures as `name: value unit`, medians
// over its runs; a timed figure is followed by `name_spread: value unit`, the distance
// between the first and the third quartile of its runs, so a noisy run shows as one.
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

// The interquartile range of the runs (0 for fewer than 4).
inline double Spread(std::vector<double> v) {
  if (v.size() < 4) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() * 3 / 4] - v[v.size() / 4];
}

inline double NowUs() {
  using namespace std::chrono;
  return duration<double, std::micro>(steady_clock::now().time_since_epoch()).count();
}

inline void Print(const std::string& name, double value, const std::string& unit) {
  std::printf("%s: %.3f %s\n", name.c_str(), value, unit.c_str());
  std::fflush(stdout);
}

// A timed figure: the median of the runs and their spread.
inline void PrintRuns(const std::string& name, const std::vector<double>& runs,
                      const std::string& unit) {
  Print(name, Median(runs), unit);
  Print(name + "_spread", Spread(runs), unit);
}

// The parts; gameDir is the generated game folder ("" when none was given).
void BenchDrawing();
void BenchPacks(const std::string& gameDir);
void BenchGame(const std::string& gameDir);
// The peak resident memory of the game binary playing a headless run through the menus
// into a map; false when the binary could not be run.
bool BenchGameMemory(const std::string& binary, const std::string& gameDir, double& peakMb);
// Where the memory of a started game goes, measured in this process (a fresh one): the
// music (kept streams and one playing decoder), the decoded sounds, the pictures and the
// rest of the loaded heap, the mixer, and what the process holds before loading.
void BenchMemoryBreakdown(const std::string& gameDir);

}  // namespace kwbench
