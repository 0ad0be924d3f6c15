// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Numbered files, path resolution across the game folder and the user folder, and
// settings (INI) files. Game paths are written as the game writes them
// ("Saves\Story.save"): backslashes become slashes and every component is matched
// without regard to case. Saves\ and Temp\, Gamepad.ini and writes of Setup.ini go to
// the user folder; every other path names the game folder, which is never written.
#pragma once

#include <cstdint>
#include <string>

namespace kw {

constexpr int MaxFiles = 8;

void SetFolders(const std::string& gameDir, const std::string& userDir);
const std::string& GameFolder();
const std::string& UserFolder();
// The real path a game path names for reading ("" when nothing exists there).
std::string ResolveForReading(const std::string& gamePath);
// The real path a game path is written to ("" when the game may not write there).
std::string ResolveForWriting(const std::string& gamePath);
// Reads a whole file named by a game path; false when it cannot be read.
bool ReadWholeFile(const std::string& gamePath, std::string& out);
// Writes a whole file through a temporary name and a rename; false on failure.
bool WriteWholeFile(const std::string& gamePath, const std::string& data);
// Writes a file at a real path (a test or bug-report output, not a game path) through a
// temporary name and a rename; false on failure.
bool WriteOutsideFile(const std::string& realPath, const std::string& data);

// The game folder: the one given, else $KLINGENWALD_DATA, else beside the program
// (../share/klingenwald, ../share/games/klingenwald, then game/); "" when none is found. tried lists what was tried.
std::string FindGameFolder(const std::string& given, std::string& tried);
// A folder holding paks/.
bool IsGameFolder(const std::string& folder);
// The same with the program's folder given (tests).
std::string FindGameFolderFrom(const std::string& given, const std::string& programFolder,
                               std::string& tried);
// The user folder: the one given, else the program's own folder when a file named
// PortableMarkerFile lies there (portable mode), else $XDG_DATA_HOME/klingenwald, else
// ~/.local/share/klingenwald.
std::string FindUserFolder(const std::string& given);
// The same with the program's folder given (tests).
std::string FindUserFolderFrom(const std::string& given, const std::string& programFolder);
constexpr const char* PortableMarkerFile = "portable";

// Numbered files 0..MaxFiles-1. The bytes live in memory; a changed file is written
// at close through a temporary name and a rename. Opens return 0 on failure, and a
// number without a file then reads 0 or "" and ignores writes.
int OpenFileForReading(int n, const std::string& path);
int OpenFileForUpdate(int n, const std::string& path);
int CreateFileForWriting(int n, const std::string& path);
std::string ReadTextLine(int n);
int32_t ReadInt32(int n);
int16_t ReadInt16(int n);
int8_t ReadInt8(int n);
void WriteText(int n, const std::string& text);
void WriteTextLine(int n, const std::string& text);
void WriteInt16(int n, int value);
void WriteInt8(int n, int value);
// 1 at the end, and for a number that holds no file (so read loops always end).
int AtEndOfFile(int n);
long FilePosition(int n);
long FileLength(int n);
// Closes the number, writing a changed file. 1 when the number held a file and its
// changes (if any) reached the disk, else 0; callers that do not care ignore it.
int CloseFileNumber(int n);
// Copies over the target (temporary name and rename); nonzero on success.
int CopyFileTo(const std::string& source, const std::string& target);
// Renames a file over the target (both game paths of the user folder), making the
// target's folder when missing; nonzero on success.
int MoveFileTo(const std::string& source, const std::string& target);
// Removes a file of the user folder; a missing file is no failure.
void RemoveFile(const std::string& path);
// Size in bytes of the file a game path names for reading, -1 when there is none.
long FileSizeOf(const std::string& path);
// Closes every number, writing the changed files.
void CloseAllFiles();

// Settings files: one open at a time.
int OpenSettings(const std::string& path);
void FirstSettingsKey();
int NextSettingsKey();
std::string SettingsKeyValue();
void WriteSettingsKey(const std::string& key, const std::string& value);
int NextSettingsGroup();
std::string SettingsGroupName();
int ReadSettingsNumber(const std::string& key, int defaultValue);
std::string ReadSettingsText(const std::string& key, const std::string& defaultValue);
void CloseSettings();

}  // namespace kw
