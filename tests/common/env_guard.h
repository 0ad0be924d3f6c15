// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Saves one environment variable when a test starts and puts it back when it ends, so a
// test may set or unset it freely.
#pragma once

#include <stdlib.h>

#include <string>

namespace kwtest {

class EnvGuard {
 public:
  explicit EnvGuard(const char* name) : name_(name) {
    const char* v = getenv(name);
    had_ = v != nullptr;
    if (had_) old_ = v;
  }
  ~EnvGuard() {
    if (had_) setenv(name_, old_.c_str(), 1);
    else unsetenv(name_);
  }
  EnvGuard(const EnvGuard&) = delete;
  EnvGuard& operator=(const EnvGuard&) = delete;

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

}  // namespace kwtest
