// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Fuzz harness: the settings reader. The input is read as Setup.ini the way the start-up
// reads it (by position), then walked group by group and key by key as cutscenes.ini is.
#include "fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kwfuzz::StartOnce();
  kwfuzz::Put(kwfuzz::TheFolders().user / "Setup.ini", data, size);
  kw::ReadSetupIni();
  if (!kw::OpenSettings("Setup.ini")) std::abort();
  // Each step moves on or stops: a group and a key per input byte is a generous bound.
  size_t guard = 0;
  do {
    kw::SettingsGroupName();
    kw::ReadSettingsNumber("Picture", 0);
    kw::ReadSettingsText("Text", "");
    kw::FirstSettingsKey();
    for (size_t keys = 0; keys <= size + 1 && kw::NextSettingsKey(); ++keys) kw::SettingsKeyValue();
    if (++guard > size + 2) std::abort();
  } while (kw::NextSettingsGroup());
  kw::CloseSettings();
  return 0;
}
