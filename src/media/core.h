// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The run itself: start-up options, the display and its window, time, threads, random
// numbers, program arguments, and the test and bug-report switches (headless runs with
// virtual time, replays, recordings, screenshots, the state hook).
// Called by the shell at start and by every screen that flips or waits. The media layer
// keeps each feature in a file of its own: run.cpp (start and end), options.cpp (options
// and arguments), display.cpp (window, scaling, vsync), flip.cpp (the flip), backbuffer.cpp,
// events.cpp (window events), replay.cpp (replays and recordings), signals.cpp (quit
// signals), threads.cpp, clock.cpp (time) and random.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kw {

constexpr int ScreenWidth = 640;
constexpr int ScreenHeight = 480;

// Window event codes reported by PollWindowEvent / WaitWindowEvent.
constexpr int WindowEventClose = 16;
constexpr int WindowEventOther = 1;

// Window modes of GetWindowMode / SetWindowMode.
enum WindowModeCode { WindowNormal = 0, WindowMaximised = 1, WindowMinimised = 2 };

// How the 640 x 480 picture is enlarged to the window: sharp (nearest-neighbour up to the
// largest whole factor, then smooth to the final size) or integer (whole factors only).
enum ScalingCode { ScalingSharp = 0, ScalingInteger = 1 };

// Whether a flip waits for the display's vertical blank: auto = only where that keeps the
// game's pace (a display of about 60 Hz), on and off force it.
enum VsyncCode { VsyncAuto = 0, VsyncOn = 1, VsyncOff = 2 };

// The picture's place inside the output, in real pixels, and the whole factor of its
// nearest-neighbour step (at least 1).
struct ScaleRect {
  int x = 0, y = 0, width = ScreenWidth, height = ScreenHeight;
  int factor = 1;
};
ScaleRect ComputeScaleRect(int outWidth, int outHeight, int scaling);

// The window as remembered between runs, in the user folder's WindowStateFile.
struct WindowState {
  int x = 0, y = 0;                 // position of the plain window (when positioned)
  int width = ScreenWidth * 2, height = ScreenHeight * 2;  // size of the plain window
  bool positioned = false;          // false: centred on the screen
  bool maximised = false;
  bool fullScreen = false;          // desktop full screen when the run ended
  bool startWindowed = false;       // that run was started in a window (argument 1)
  int scaling = ScalingSharp;
  int vsync = VsyncAuto;            // a VsyncCode, set by the player in the file
};
constexpr const char* WindowStateFile = "Fenster.ini";
// False (state untouched) for a missing or damaged file.
bool ReadWindowState(const std::string& path, WindowState& state);
// Through a temporary name and a rename; false on failure.
bool WriteWindowState(const std::string& path, const WindowState& state);

// Everything the command line can ask of the media layer.
struct MediaOptions {
  bool headless = false;          // dummy video/audio, virtual time, synchronous threads
  bool seedGiven = false;
  uint32_t seed = 0;              // seed of RandomUpTo
  std::string replayPath;         // input by flip number
  std::string recordPath;         // write the live input in replay form
  long frames = -1;               // end the program after this many flips (-1 = never)
  std::string screenshotPath;     // PNG of the back buffer when the program ends
  std::string statePath;          // JSON of the game state when the program ends
  std::string dataDir;            // game folder (read-only data)
  std::string userDir;            // user folder (Setup.ini, Saves, Temp)
  std::string language;           // --lang: language of the texts ("" = the locale's)
  int scaling = -1;               // ScalingCode chosen on the command line (-1 = remembered)
  int vblankMilliHz = 0;          // headless: the clock models a display of this rate (0 = none)
  std::vector<std::string> programArguments;  // the arguments not starting with "--"
};

// Colours are Windows colour values: r + g*256 + b*65536.
// Computed as the plain sum (out-of-range parts spill into the next one, as the formula
// says), in unsigned arithmetic so no value can overflow.
constexpr int Rgb(int r, int g, int b) {
  return int(unsigned(r) + unsigned(g) * 256u + unsigned(b) * 65536u);
}
// A colour value as a back-buffer pixel (0xAARRGGBB, opaque).
constexpr uint32_t ColourToPixel(int c) {
  return 0xFF000000u | (uint32_t(c & 255) << 16) | (uint32_t(c & 0xFF00)) | (uint32_t(c >> 16) & 255);
}

// Start and end of the media layer (run.cpp; the options in options.cpp). InitMedia sets
// up SDL (or its dummy drivers) and reads the replay file; ShutdownMedia stops the sounds,
// writes the screenshot and state and releases every resource (the game calls it at quit
// and on the fatal load path).
bool InitMedia(const MediaOptions& options);
const MediaOptions& Options();
bool IsHeadless();
void ShutdownMedia();
// Ends the program: shuts the media layer down (screenshot, state) and exits with code.
[[noreturn]] void EndProgram(int code);
// The game registers the writer of --state FILE.json; it runs when the program ends.
void SetStateWriter(std::function<void(const std::string& path)> writer);
// A tool that drives the game in-process (the replay search) registers a hook that runs
// after every flip, at the point where that flip's replay events are applied.
void SetFlipHook(std::function<void()> hook);

// Display and window (display.cpp; the flip in flip.cpp, the clear in backbuffer.cpp,
// window events in events.cpp, QuitRequested in signals.cpp).
int OpenWindowedDisplay(int width, int height, const std::string& title);
int OpenFullScreenDisplay(int width, int height, int depth, const std::string& title);
// The title the display was last opened with.
const std::string& WindowTitle();
void LimitFrameRate(int fps);
void FlipScreen();
void ClearBackBuffer(int colour);  // the blit-target sprite instead while one is set
int ScreenHasFocus();
int PollWindowEvent();
// 1 once SIGTERM or SIGINT asked the program to end: long work (the start-up load) asks
// between its steps and stops early, so the close request is served at once; each
// asking counts as progress and holds off the forced end of a stalled program.
int QuitRequested();
int WaitWindowEvent();
int GetWindowMode();
void SetWindowMode(int mode);
void CloseDisplay();
// Switches between the window and desktop full screen (Alt+Enter does it at any time).
void ToggleFullScreen();
// The game shows full screen now (started so or switched); headless, as the display was
// opened (full screen when none was) and switched since.
bool DisplayFullScreen();
void ShowMessage(const std::string& caption, const std::string& text);  // Latin-1 texts
// Number of flips since the start.
long FlipCount();

// Threads (threads.cpp; headless: the procedure runs to its end inside StartThread).
using ThreadHandle = int;
ThreadHandle StartThread(void (*procedure)(int), int argument);
int ThreadRunning(ThreadHandle t);
int JoinThread(ThreadHandle t);
void StopThread(ThreadHandle t);
// True on the program's first thread, the one that owns the window.
bool OnMainThread();
// Parks the calling thread until the program ends (a thread handing its work over).
[[noreturn]] void ParkThread();

// Time (clock.cpp), random numbers (random.cpp) and arguments (options.cpp).
uint32_t TimeMs();              // ms since an arbitrary start; virtual when headless
// Milliseconds from an earlier TimeMs() value, kept as int32, to now (TimeMs wraps after
// 49 days, so the difference is taken in unsigned arithmetic).
inline int32_t MsSince(uint32_t now, int32_t then) { return int32_t(now - uint32_t(then)); }
void SleepMs(int ms);
int RandomUpTo(int max);        // 0..max inclusive
void SeedRandom(uint32_t seed);
std::string ProgramArgument(int n);  // n-th non-option argument, "" when missing

}  // namespace kw
