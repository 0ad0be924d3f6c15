// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Finding the game folder (read-only data) and the user folder (what the game writes)
// from the command line, the environment and the program's own place. Called once by
// the program entry before the media layer starts.
#include <cstdlib>
#include <filesystem>
#include <string>

#include "media/files.h"
#include "media/translate.h"

namespace kw {

namespace fs = std::filesystem;

namespace {

// The folder the running program lies in ("." when it cannot be told).
std::string ExecutableFolder() {
  std::error_code ec;
  fs::path p = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : p.parent_path().string();
}

}  // namespace

bool IsGameFolder(const std::string& folder) {
  fs::path dir = folder;
  std::error_code ec;
  return !dir.empty() && fs::is_directory(dir / "paks", ec);
}

// --data, then $KLINGENWALD_DATA, then beside the executable.
std::string FindGameFolder(const std::string& given, std::string& tried) {
  return FindGameFolderFrom(given, ExecutableFolder(), tried);
}

std::string FindGameFolderFrom(const std::string& given, const std::string& programFolder,
                               std::string& tried) {
  if (!given.empty()) { tried = given; return given; }
  if (const char* env = std::getenv("KLINGENWALD_DATA"); env && *env) {
    tried = env;
    return env;
  }
  fs::path exe = programFolder;
  // An install under a prefix puts the program in bin/ and the data in share/klingenwald;
  // a distribution's package puts a game in games/ and its data in share/games/klingenwald.
  for (fs::path candidate : {exe / ".." / "share" / "klingenwald",
                             exe / ".." / "share" / "games" / "klingenwald", exe / "game"}) {
    tried += (tried.empty() ? "" : ", ") + candidate.lexically_normal().string();
    if (IsGameFolder(candidate.string())) return candidate.lexically_normal().string();
  }
  return "";
}

// --user, then portable mode, then $XDG_DATA_HOME/klingenwald, then
// ~/.local/share/klingenwald.
std::string FindUserFolder(const std::string& given) {
  return FindUserFolderFrom(given, ExecutableFolder());
}

namespace {

// A file named "portable" beside the program (a folder of that name does not count) keeps
// everything the game writes beside the program too, for a copy on a stick or in a
// folder of its own; --user still wins, so tests and players can point elsewhere.
bool IsPortable(const std::string& programFolder) {
  std::error_code ec;
  fs::path marker = fs::path(programFolder) / PortableMarkerFile;
  return fs::exists(marker, ec) && !fs::is_directory(marker, ec);
}

}  // namespace

std::string FindUserFolderFrom(const std::string& given, const std::string& programFolder) {
  if (!given.empty()) return given;
  if (IsPortable(programFolder)) return fs::path(programFolder).lexically_normal().string();
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
    return (fs::path(xdg) / "klingenwald").string();
  const char* home = std::getenv("HOME");
  return (fs::path(home && *home ? home : ".") / ".local" / "share" / "klingenwald").string();
}

// An install keeps the catalogues in share/locale beside bin/ (or games/); the build
// tree writes them to locale/ beside the program.
std::string FindLocaleFolder() { return FindLocaleFolderFrom(ExecutableFolder()); }

std::string FindLocaleFolderFrom(const std::string& programFolder) {
  fs::path exe = programFolder;
  const std::string catalogue = std::string(TextDomain) + ".mo";
  for (fs::path candidate : {exe / ".." / "share" / "locale", exe / "locale"}) {
    std::error_code ec;
    for (fs::directory_iterator it(candidate, ec), end; !ec && it != end; it.increment(ec))
      if (fs::is_regular_file(it->path() / "LC_MESSAGES" / catalogue, ec))
        return candidate.lexically_normal().string();
  }
  return "";
}

}  // namespace kw
