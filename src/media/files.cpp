// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Game paths and numbered files. Game code names files as the game writes them
// ("Saves\Story.save", "maps\Story\map1.map"); here they become real paths in the game
// folder (read-only data) or the user folder (Setup.ini, Saves, Temp), with every
// component matched without regard to case. Numbered files keep their bytes in memory
// and reach the disk only at close, through a temporary name and a rename, so a crash
// never leaves a half-written save or settings file.
// Called by the shell, the loaders, the script parser, the save games and the menus.
#include "media/files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "media/files_internal.h"

namespace kw {

namespace fs = std::filesystem;

namespace {

std::string GameDir;  // the read-only data folder
std::string UserDir;  // the folder the game writes to

// Where a game path lives.
enum class PathRoot { Game, User, SetupIni, Absolute };

// A game path split into its components, with the folder it belongs to.
struct SplitPath {
  bool ok = false;
  PathRoot root = PathRoot::Game;
  std::vector<std::string> parts;
};

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool SameNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

// Turns backslashes into slashes, drops empty and "." components and folds "..";
// a ".." that would climb out of the folder makes the path invalid.
SplitPath Split(const std::string& gamePath) {
  SplitPath s;
  std::string p = gamePath;
  for (char& c : p)
    if (c == '\\') c = '/';
  if (p.empty()) return s;
  bool absolute = p[0] == '/';
  std::string part;
  for (size_t i = 0; i <= p.size(); ++i) {
    if (i < p.size() && p[i] != '/') { part += p[i]; continue; }
    if (part == "..") {
      if (s.parts.empty()) return s;
      s.parts.pop_back();
    } else if (!part.empty() && part != ".") {
      s.parts.push_back(part);
    }
    part.clear();
  }
  if (s.parts.empty() && !absolute) return s;
  if (absolute) s.root = PathRoot::Absolute;
  else if (SameNoCase(s.parts[0], "saves") || SameNoCase(s.parts[0], "temp")) s.root = PathRoot::User;
  else if (s.parts.size() == 1 && SameNoCase(s.parts[0], "setup.ini")) s.root = PathRoot::SetupIni;
  // The pad bindings are the player's alone: the game folder ships none.
  else if (s.parts.size() == 1 && SameNoCase(s.parts[0], "gamepad.ini")) s.root = PathRoot::User;
  s.ok = true;
  return s;
}

fs::path FolderOrCurrent(const std::string& dir) { return dir.empty() ? fs::path(".") : fs::path(dir); }

// Finds name inside dir: the exact name first, else a case-insensitive match, else
// the name as written (so it can be created).
fs::path MatchComponent(const fs::path& dir, const std::string& name) {
  std::error_code ec;
  fs::path exact = dir / name;
  if (fs::exists(fs::symlink_status(exact, ec))) return exact;
  fs::directory_iterator it(dir, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (SameNoCase(entry, name)) return it->path();
  }
  return exact;
}

fs::path ResolveUnder(const fs::path& base, const std::vector<std::string>& parts) {
  fs::path p = base;
  for (const std::string& part : parts) p = MatchComponent(p, part);
  return p;
}

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}

bool IsRegularFile(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(path, ec);
}

bool ReadRealFile(const std::string& path, std::string& out) {
  if (!IsRegularFile(path)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// The write fault tests set, and how many steps of its kind may still succeed.
WriteFault Fault = WriteFault::None;
int FaultAfter = 0;

// True when this step of a write is to fail now (once).
bool FaultHits(WriteFault step) {
  if (Fault != step) return false;
  if (FaultAfter > 0) {
    --FaultAfter;
    return false;
  }
  Fault = WriteFault::None;
  return true;
}

// Writes all bytes to fd, going on after short writes and interrupts; false on an error
// (a full disk among them).
bool WriteAll(int fd, const char* data, size_t size) {
  if (FaultHits(WriteFault::Write)) {
    (void)!write(fd, data, size / 2);  // half of it lands, then the disk is full
    errno = ENOSPC;
    return false;
  }
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= size_t(n);
  }
  return true;
}

// Renames through the fault hook; false when the rename failed.
bool RenameOver(const fs::path& from, const fs::path& to) {
  if (FaultHits(WriteFault::Rename)) return false;
  std::error_code ec;
  fs::rename(from, to, ec);
  return !ec;
}

// Writes data to a temporary name beside path, on the disk (fsync) before it is renamed
// over path, so the old file stays whole until the new one is complete. The parent
// folder is created first (a fresh user folder has no Saves or Temp yet).
bool WriteRealFileAtomically(const std::string& path, const std::string& data) {
  if (path.empty()) return false;
  std::error_code ec;
  fs::path target(path);
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  static std::atomic<unsigned> counter{0};
  std::string temp = path + ".kwtmp" + std::to_string(long(getpid())) + "_" + std::to_string(++counter);
  if (FaultHits(WriteFault::Create)) return false;
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool written = WriteAll(fd, data.data(), data.size()) && fsync(fd) == 0;
  written = close(fd) == 0 && written;
  if (!written || !RenameOver(temp, target)) {
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

// One numbered file: its bytes in memory, the read/write position and where a
// changed file goes when it is closed.
struct NumberedFile {
  bool open = false;
  bool writable = false;
  bool changed = false;
  std::string data;
  size_t pos = 0;
  std::string writePath;  // real path written at close ("" for read-only files)
};

std::array<NumberedFile, MaxFiles> Files;

NumberedFile* OpenNumber(int n) {
  if (n < 0 || n >= MaxFiles || !Files[size_t(n)].open) return nullptr;
  return &Files[size_t(n)];
}

// Takes number n for a new file, closing what it held before.
NumberedFile* FreshNumber(int n) {
  if (n < 0 || n >= MaxFiles) return nullptr;
  CloseFileNumber(n);
  Files[size_t(n)] = NumberedFile();
  return &Files[size_t(n)];
}

// Reads up to count bytes as a little-endian value; missing bytes read as 0.
uint32_t ReadLittleEndian(int n, size_t count) {
  NumberedFile* f = OpenNumber(n);
  if (!f) return 0;
  uint32_t v = 0;
  for (size_t i = 0; i < count && f->pos < f->data.size(); ++i, ++f->pos)
    v |= uint32_t(uint8_t(f->data[f->pos])) << (8 * i);
  return v;
}

void WriteBytes(int n, const char* bytes, size_t count) {
  NumberedFile* f = OpenNumber(n);
  if (!f || !f->writable || count == 0) return;
  if (f->pos > f->data.size()) f->pos = f->data.size();
  size_t overlap = std::min(count, f->data.size() - f->pos);
  f->data.replace(f->pos, overlap, bytes, count);
  f->pos += count;
  f->changed = true;
}

// True when a writable folder could hold path (its parent exists or can be made).
bool FolderWritable(const std::string& path) {
  std::error_code ec;
  fs::path parent = fs::path(path).parent_path();
  if (parent.empty()) parent = ".";
  fs::create_directories(parent, ec);
  return fs::is_directory(parent, ec) && access(parent.c_str(), W_OK) == 0;
}

}  // namespace

void SetWriteFault(WriteFault fault, int after) {
  Fault = fault;
  FaultAfter = after;
}

bool WriteFaultPending() { return Fault != WriteFault::None; }

void SetFolders(const std::string& gameDir, const std::string& userDir) {
  GameDir = gameDir;
  UserDir = userDir;
}

const std::string& GameFolder() { return GameDir; }
const std::string& UserFolder() { return UserDir; }

std::string ResolveForReading(const std::string& gamePath) {
  SplitPath s = Split(gamePath);
  if (!s.ok) return "";
  fs::path p;
  switch (s.root) {
    case PathRoot::Absolute: p = fs::path(gamePath); break;
    case PathRoot::User: p = ResolveUnder(FolderOrCurrent(UserDir), s.parts); break;
    case PathRoot::Game: p = ResolveUnder(FolderOrCurrent(GameDir), s.parts); break;
    case PathRoot::SetupIni:
      p = ResolveUnder(FolderOrCurrent(UserDir), s.parts);
      if (UserDir.empty() || !Exists(p)) p = ResolveUnder(FolderOrCurrent(GameDir), s.parts);
      break;
  }
  return Exists(p) ? p.string() : "";
}

std::string ResolveForWriting(const std::string& gamePath) {
  SplitPath s = Split(gamePath);
  if (!s.ok) return "";
  switch (s.root) {
    case PathRoot::Absolute: return s.parts.empty() ? "" : gamePath;
    case PathRoot::User:
    case PathRoot::SetupIni:
      if (UserDir.empty()) return "";
      return ResolveUnder(fs::path(UserDir), s.parts).string();
    case PathRoot::Game: return "";
  }
  return "";
}

bool ReadWholeFile(const std::string& gamePath, std::string& out) {
  out.clear();
  return ReadRealFile(ResolveForReading(gamePath), out);
}

bool WriteWholeFile(const std::string& gamePath, const std::string& data) {
  return WriteRealFileAtomically(ResolveForWriting(gamePath), data);
}

bool WriteOutsideFile(const std::string& realPath, const std::string& data) {
  return !realPath.empty() && WriteRealFileAtomically(realPath, data);
}

int OpenFileForReading(int n, const std::string& path) {
  NumberedFile* f = FreshNumber(n);
  if (!f) return 0;
  if (!ReadRealFile(ResolveForReading(path), f->data)) {
    f->data.clear();
    return 0;
  }
  f->open = true;
  return 1;
}

// Read and write, created when missing. A file of the game folder is never written:
// an existing one opens for reading only, a missing one fails.
int OpenFileForUpdate(int n, const std::string& path) {
  NumberedFile* f = FreshNumber(n);
  if (!f) return 0;
  std::string writePath = ResolveForWriting(path);
  std::string readPath = ResolveForReading(path);
  if (writePath.empty()) return OpenFileForReading(n, path);
  if (!readPath.empty()) {
    if (!ReadRealFile(readPath, f->data)) return 0;
  } else {
    // Created at once, as the platform would, so a failure shows in the result.
    if (!WriteRealFileAtomically(writePath, "")) return 0;
  }
  f->open = true;
  f->writable = true;
  f->writePath = writePath;
  return 1;
}

// Created or emptied. The old contents stay on disk until the file is closed, so an
// interrupted save leaves the previous one intact.
int CreateFileForWriting(int n, const std::string& path) {
  NumberedFile* f = FreshNumber(n);
  if (!f) return 0;
  std::string writePath = ResolveForWriting(path);
  if (writePath.empty() || !FolderWritable(writePath)) return 0;
  std::error_code ec;
  if (fs::is_directory(writePath, ec)) return 0;
  f->open = true;
  f->writable = true;
  f->changed = true;
  f->writePath = writePath;
  return 1;
}

// Bytes up to CR, LF or a zero byte; CR LF is one line end. At the end: "".
std::string ReadTextLine(int n) {
  NumberedFile* f = OpenNumber(n);
  if (!f || f->pos >= f->data.size()) return "";
  const std::string& d = f->data;
  size_t start = f->pos, end = start;
  while (end < d.size() && d[end] != '\r' && d[end] != '\n' && d[end] != '\0') ++end;
  std::string line = d.substr(start, end - start);
  f->pos = end;
  if (f->pos < d.size()) {
    char c = d[f->pos++];
    if (c == '\r' && f->pos < d.size() && d[f->pos] == '\n') ++f->pos;
  }
  return line;
}

int32_t ReadInt32(int n) { return int32_t(ReadLittleEndian(n, 4)); }
int16_t ReadInt16(int n) { return int16_t(uint16_t(ReadLittleEndian(n, 2))); }
int8_t ReadInt8(int n) { return int8_t(uint8_t(ReadLittleEndian(n, 1))); }

void WriteText(int n, const std::string& text) { WriteBytes(n, text.data(), text.size()); }

void WriteTextLine(int n, const std::string& text) {
  WriteText(n, text);
  WriteBytes(n, "\r\n", 2);
}

void WriteInt16(int n, int value) {
  uint32_t v = uint32_t(value);
  const char bytes[2] = {char(v & 255), char((v >> 8) & 255)};
  WriteBytes(n, bytes, 2);
}

void WriteInt8(int n, int value) {
  const char byte = char(uint32_t(value) & 255);
  WriteBytes(n, &byte, 1);
}

// A number without a file counts as at its end, so a read loop over a file that
// failed to open ends at once instead of spinning forever.
int AtEndOfFile(int n) {
  NumberedFile* f = OpenNumber(n);
  if (!f) return 1;
  return f->pos >= f->data.size() ? 1 : 0;
}

long FilePosition(int n) {
  NumberedFile* f = OpenNumber(n);
  return f ? long(f->pos) : 0;
}

long FileLength(int n) {
  NumberedFile* f = OpenNumber(n);
  return f ? long(f->data.size()) : 0;
}

int CloseFileNumber(int n) {
  if (n < 0 || n >= MaxFiles) return 0;
  NumberedFile& f = Files[size_t(n)];
  int ok = f.open ? 1 : 0;
  if (f.open && f.writable && f.changed && !WriteRealFileAtomically(f.writePath, f.data)) ok = 0;
  f = NumberedFile();
  return ok;
}

int CopyFileTo(const std::string& source, const std::string& target) {
  std::string data;
  if (!ReadWholeFile(source, data)) return 0;
  return WriteWholeFile(target, data) ? 1 : 0;
}

int MoveFileTo(const std::string& source, const std::string& target) {
  std::string from = ResolveForWriting(source);
  std::string to = ResolveForWriting(target);
  if (from.empty() || to.empty() || !IsRegularFile(from)) return 0;
  std::error_code ec;
  fs::path toPath(to);
  if (toPath.has_parent_path()) fs::create_directories(toPath.parent_path(), ec);
  return RenameOver(from, toPath) ? 1 : 0;
}

void RemoveFile(const std::string& path) {
  std::string real = ResolveForWriting(path);
  std::error_code ec;
  if (IsRegularFile(real)) fs::remove(real, ec);
}

long FileSizeOf(const std::string& path) {
  std::string real = ResolveForReading(path);
  std::error_code ec;
  if (!IsRegularFile(real)) return -1;
  uintmax_t size = fs::file_size(real, ec);
  return ec ? -1 : long(size);
}

void CloseAllFiles() {
  for (int n = 0; n < MaxFiles; ++n) CloseFileNumber(n);
}

}  // namespace kw
