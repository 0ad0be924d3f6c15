// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Packs built by catalogue rows: each generated file is put under the number the game
// loads it into, and the catalogue's row for that number decides its entry. A renumbered
// or reordered catalogue moves the file with it; a number the catalogue lacks, an entry
// filled twice or one left empty stops kwgen before it writes a wrong pack.
#include <cstdio>
#include <cstdlib>

#include "kwgen.h"

namespace kwgen {

namespace {

[[noreturn]] void RowFault(const RowPack& p, const char* what, int number) {
  std::fprintf(stderr, "kwgen: %s: %s (number %d)\n", p.table->file, what, number);
  std::exit(1);
}

void PutAt(RowPack& p, int entry, int number, FileBytes bytes) {
  if (entry < 0) RowFault(p, "no catalogue row for this number", number);
  if (p.filled[size_t(entry)]) RowFault(p, "entry filled twice", number);
  p.files[size_t(entry)] = std::move(bytes);
  p.filled[size_t(entry)] = true;
}

}  // namespace

RowPack StartPack(const kw::PackTable& table) {
  RowPack p;
  p.table = &table;
  p.files.resize(size_t(kw::EntryCount(table)));
  p.filled.assign(p.files.size(), false);
  return p;
}

void Put(RowPack& p, int number, FileBytes bytes) {
  PutAt(p, kw::EntryOf(*p.table, number), number, std::move(bytes));
}

void PutSpare(RowPack& p, FileBytes bytes) {
  for (int i = 0; i < p.table->rowCount; ++i) {
    const kw::PackRow& row = p.table->rows[i];
    if (row.how == kw::Load::Skip && row.number == 0 && !p.filled[size_t(row.entry)]) {
      PutAt(p, row.entry, 0, std::move(bytes));
      return;
    }
  }
  RowFault(p, "no spare entry left", 0);
}

PackFiles FinishPack(RowPack& p) {
  for (size_t e = 0; e < p.filled.size(); ++e)
    if (!p.filled[e]) RowFault(p, "entry left empty", int(e));
  return std::move(p.files);
}

}  // namespace kwgen
