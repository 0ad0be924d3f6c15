// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The run itself: SDL start-up, the window and the flip of the software back buffer,
// window events, time (real or virtual), threads, random numbers, program arguments,
// and the test switches: headless runs, replays and recordings, --frames, screenshots
// and the state hook. Everything else in the media layer draws into BackBuffer().
#include "media/core.h"
#include "media/core_internal.h"

#include <SDL.h>
#include <SDL_image.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <random>
#include <sstream>
#include <system_error>
#include <thread>

#include "media/files.h"
#include "media/gamepad_internal.h"
#include "media/input.h"
#include "media/input_internal.h"
#include "media/pacing_internal.h"
#include "media/pack.h"
#include "media/sound.h"
#include "media/sprite_internal.h"
#include "media/sprites.h"
#include "media/text.h"
#include "media/textutil.h"

namespace kw {

namespace {

// One input event of a replay file, applied before the snapshot after flip `flip`.
struct ReplayEvent {
  long flip = 0;
  enum Kind { Key, Mouse, Text, Pad } kind = Key;
  int code = 0;     // key code, or the pad input (PadInput)
  bool down = false;
  int x = 0, y = 0;  // mouse
  std::string text;  // Latin-1
};

MediaOptions TheOptions;
bool MediaStarted = false;
bool ShutDown = false;
std::vector<uint32_t> TheBackBuffer(ScreenWidth * ScreenHeight, 0);

SDL_Window* Window = nullptr;
SDL_Renderer* Renderer = nullptr;
SDL_Texture* ScreenTexture = nullptr;
SDL_Texture* SharpTexture = nullptr;  // the picture enlarged by a whole factor (sharp scaling)
int SharpFactor = 0;
bool FullScreen = false;
WindowState TheWindow;                // remembered between runs
int HeadlessWindowMode = WindowNormal;
bool HeadlessFocus = true;            // a headless run has the focus unless a test takes it

long Flips = 0;
int FrameRateLimit = 0;
bool VsyncInUse = false;  // the renderer's presents wait for the vertical blank

// Virtual time of headless runs, in microseconds.
uint64_t VirtualUs = 0;

std::deque<int> PendingWindowEvents;
std::deque<ReplayEvent> Replay;
std::ofstream Record;
int RecordMouseX = ScreenWidth / 2, RecordMouseY = ScreenHeight / 2;
bool RecordMouseDown = false;

std::mutex RandomLock;
std::mt19937 Random(0);

std::function<void(const std::string&)> StateWriter;
// The in-process driver's hook, run after every flip (empty for the game itself).
std::function<void()> FlipHook;

// Threads: a handle is an index into this table (0 = none).
struct ThreadSlot {
  std::thread thread;
  std::atomic<bool> running{false};
};
std::mutex ThreadLock;
std::vector<std::unique_ptr<ThreadSlot>> Threads(1);

bool ParseReplayLine(const std::string& line, ReplayEvent& e) {
  std::istringstream in(line);
  std::string kind;
  if (!(in >> e.flip >> kind) || e.flip < 0) return false;
  if (kind == "key") {
    std::string dir;
    if (!(in >> dir >> e.code) || (dir != "down" && dir != "up")) return false;
    if (e.code < 0 || e.code >= KeyCount) return false;
    e.kind = ReplayEvent::Key;
    e.down = dir == "down";
    return true;
  }
  if (kind == "mouse") {
    int b = 0;
    if (!(in >> e.x >> e.y >> b)) return false;
    e.kind = ReplayEvent::Mouse;
    e.down = b != 0;
    return true;
  }
  if (kind == "pad") {
    std::string dir, name;
    if (!(in >> dir >> name) || (dir != "down" && dir != "up")) return false;
    e.code = PadInputOfName(name);
    if (e.code < 0) return false;
    e.kind = ReplayEvent::Pad;
    e.down = dir == "down";
    return true;
  }
  if (kind == "text") {
    std::string rest;
    std::getline(in, rest);
    if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
    e.kind = ReplayEvent::Text;
    e.text = Utf8ToLatin1(rest);
    return true;
  }
  return false;
}

bool LoadReplay(const std::string& path) {
  std::ifstream in(path);
  if (!in) {
    std::fprintf(stderr, "klingenwald: cannot read the replay %s\n", path.c_str());
    return false;
  }
  std::string line;
  int number = 0;
  std::vector<ReplayEvent> events;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t hash = line.find('#');
    std::string body = hash == std::string::npos ? line : line.substr(0, hash);
    if (body.find_first_not_of(" \t") == std::string::npos) continue;
    ReplayEvent e;
    if (!ParseReplayLine(body, e)) {
      std::fprintf(stderr, "%s:%d: not a replay event: %s\n", path.c_str(), number, line.c_str());
      return false;
    }
    events.push_back(e);
  }
  // Events apply in flip order; lines of the same flip keep their file order.
  std::stable_sort(events.begin(), events.end(),
                   [](const ReplayEvent& a, const ReplayEvent& b) { return a.flip < b.flip; });
  Replay.assign(events.begin(), events.end());
  return true;
}

void ApplyReplayEvents() {
  while (!Replay.empty() && Replay.front().flip <= Flips) {
    const ReplayEvent& e = Replay.front();
    switch (e.kind) {
      case ReplayEvent::Key: InjectKey(e.code, e.down); break;
      case ReplayEvent::Mouse:
        InjectMousePosition(e.x, e.y);
        InjectMouseButton(e.down);
        break;
      case ReplayEvent::Text: InjectText(e.text); break;
      // A pad input of pad 0, handled as a real pad's (its keys, or the pointer and
      // click in the pointer menus).
      case ReplayEvent::Pad: InjectPadInput(e.code, e.down); break;
    }
    Replay.pop_front();
  }
}

void RecordLine(const std::string& text) {
  if (Record.is_open()) Record << Flips << ' ' << text << '\n';
}

void RecordMouse() {
  RecordLine("mouse " + std::to_string(RecordMouseX) + " " + std::to_string(RecordMouseY) +
             " " + (RecordMouseDown ? "1" : "0"));
}

}  // namespace

void RecordKeyChange(int code, bool down) {
  RecordLine(std::string("key ") + (down ? "down " : "up ") + std::to_string(code));
}

void RecordPointerAt(int x, int y) {
  RecordMouseX = x;
  RecordMouseY = y;
  RecordMouse();
}

void RecordPointerButton(bool down) {
  RecordMouseDown = down;
  RecordMouse();
}

namespace {

// ---- vsync: only where it keeps the game's pace (the rule is in pacing.cpp) ----

// The refresh rate of the display that shows the window, in mHz (0 when SDL cannot say).
int DisplayRefreshMilliHz() {
  int display = Window ? SDL_GetWindowDisplayIndex(Window) : -1;
  SDL_DisplayMode mode;
  if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0) return 0;
  return mode.refresh_rate * 1000;
}

bool VsyncRuleSaysOn() { return VsyncWanted(TheWindow.vsync, DisplayRefreshMilliHz(), FrameRateLimit); }

// Turns the renderer's vsync on or off as the rule says for the display the window is on
// now; run when the display opens, when the flip limit is set and when the window moves.
void ApplyVsyncRule() {
  if (!Renderer) return;
  bool want = VsyncRuleSaysOn();
  if (want != VsyncInUse && SDL_RenderSetVSync(Renderer, want ? 1 : 0) == 0) VsyncInUse = want;
}

// Headless with --vblank: the flip waits as it would on a display of that rate.
void ModelDisplayFlip() {
  int rate = TheOptions.vblankMilliHz;
  VirtualUs = ModelFlipUs(VirtualUs, FrameRateLimit, rate, VsyncWanted(TheWindow.vsync, rate, FrameRateLimit));
}

void HandleKeyEvent(const SDL_KeyboardEvent& k) {
  if (k.repeat) return;
  // Alt+Enter belongs to the window, wherever the game is; the game never sees it.
  if (k.type == SDL_KEYDOWN && (k.keysym.mod & KMOD_ALT) &&
      (k.keysym.scancode == SDL_SCANCODE_RETURN || k.keysym.scancode == SDL_SCANCODE_KP_ENTER)) {
    ToggleFullScreen();
    return;
  }
  int code = DirectInputCodeOfScancode(k.keysym.scancode);
  if (code <= 0) return;
  bool down = k.type == SDL_KEYDOWN;
  InjectKey(code, down);
  RecordKeyChange(code, down);
}

// Real pixels per window unit (high-DPI screens have more than one) and the picture's place.
ScaleRect CurrentScaleRect(double& pixelsPerUnitX, double& pixelsPerUnitY) {
  int winW = 1, winH = 1, outW = ScreenWidth, outH = ScreenHeight;
  if (Window) SDL_GetWindowSize(Window, &winW, &winH);
  if (Renderer) SDL_GetRendererOutputSize(Renderer, &outW, &outH);
  pixelsPerUnitX = double(outW) / std::max(winW, 1);
  pixelsPerUnitY = double(outH) / std::max(winH, 1);
  return ComputeScaleRect(outW, outH, TheWindow.scaling);
}

// A window position as a picture position; the black bars lie outside 0..639 x 0..479.
void WindowToPicture(int wx, int wy, int& px, int& py) {
  double ux, uy;
  ScaleRect r = CurrentScaleRect(ux, uy);
  px = int(std::floor((wx * ux - r.x) * ScreenWidth / r.width));
  py = int(std::floor((wy * uy - r.y) * ScreenHeight / r.height));
}

// The pointer's place in the picture, in a window and in full screen alike. Full screen
// once read relative motion, but relative mode lets the game's pointer and the system's
// part at the first jump or edge (a pointer already on the screen when the full-screen
// window opened put the game's at a corner), after which clicks landed off the buttons.
void HandleMouseMotion(const SDL_MouseMotionEvent& m) {
  int x, y;
  WindowToPicture(m.x, m.y, x, y);
  InjectMousePosition(x, y);
  RecordMouseX = std::clamp(x, 0, ScreenWidth - 1);
  RecordMouseY = std::clamp(y, 0, ScreenHeight - 1);
  RecordMouse();
}

// The plain window's place and size, kept while it is neither full screen nor maximised.
void RememberWindowPlace() {
  if (!Window) return;
  Uint32 flags = SDL_GetWindowFlags(Window);
  if (flags & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED)) return;
  SDL_GetWindowPosition(Window, &TheWindow.x, &TheWindow.y);
  SDL_GetWindowSize(Window, &TheWindow.width, &TheWindow.height);
  // The position is the inside's; a new window is placed by its frame, so the frame's
  // left and top are taken off (otherwise the window creeps down with every run).
  int top = 0, left = 0;
  if (SDL_GetWindowBordersSize(Window, &top, &left, nullptr, nullptr) == 0) {
    TheWindow.x -= left;
    TheWindow.y -= top;
  }
  TheWindow.positioned = true;
}

void HandleWindowEvent(const SDL_WindowEvent& w) {
  switch (w.event) {
    case SDL_WINDOWEVENT_MOVED:
      RememberWindowPlace();
      ApplyVsyncRule();  // the window may now be shown on another display
      break;
    case SDL_WINDOWEVENT_DISPLAY_CHANGED: ApplyVsyncRule(); break;
    case SDL_WINDOWEVENT_SIZE_CHANGED: RememberWindowPlace(); break;
    case SDL_WINDOWEVENT_CLOSE: PendingWindowEvents.push_back(WindowEventClose); break;
    case SDL_WINDOWEVENT_LEAVE: InjectMouseInside(false); break;
    case SDL_WINDOWEVENT_ENTER: InjectMouseInside(true); break;
    default: break;
  }
}

// Handles one platform event; returns the window-event code it stands for (0 = none).
int HandleEvent(const SDL_Event& ev) {
  switch (ev.type) {
    case SDL_QUIT: PendingWindowEvents.push_back(WindowEventClose); return WindowEventClose;
    case SDL_WINDOWEVENT:
      HandleWindowEvent(ev.window);
      return ev.window.event == SDL_WINDOWEVENT_CLOSE ? WindowEventClose : WindowEventOther;
    case SDL_DISPLAYEVENT: ApplyVsyncRule(); break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: HandleKeyEvent(ev.key); break;
    case SDL_TEXTINPUT: {
      std::string latin1 = Utf8ToLatin1(ev.text.text);
      InjectText(latin1);
      RecordLine("text " + std::string(ev.text.text));
      break;
    }
    case SDL_MOUSEMOTION: HandleMouseMotion(ev.motion); break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (ev.button.button == SDL_BUTTON_LEFT) {
        bool down = ev.type == SDL_MOUSEBUTTONDOWN;
        InjectMouseButton(down);
        RecordMouseDown = down;
        RecordMouse();
      }
      break;
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERAXISMOTION: {
      bool down = false;
      HandleGamepadEvent(ev, down);  // records what it presses itself
      break;
    }
    default: break;
  }
  return 0;
}

std::string WindowStatePath() {
  return (std::filesystem::path(TheOptions.userDir) / WindowStateFile).string();
}

// Writes the window's state for the next run (a failure costs only the memory of it).
void SaveWindowState() {
  if (!Window || TheOptions.userDir.empty()) return;
  Uint32 flags = SDL_GetWindowFlags(Window);
  TheWindow.fullScreen = (flags & SDL_WINDOW_FULLSCREEN) != 0;
  TheWindow.maximised = (flags & SDL_WINDOW_MAXIMIZED) != 0;
  std::error_code ec;
  std::filesystem::create_directories(TheOptions.userDir, ec);
  if (!WriteWindowState(WindowStatePath(), TheWindow))
    std::fprintf(stderr, "klingenwald: cannot write %s\n", WindowStatePath().c_str());
}

void DestroyDisplay() {
  SaveWindowState();
  if (SharpTexture) SDL_DestroyTexture(SharpTexture);
  SharpTexture = nullptr;
  SharpFactor = 0;
  if (ScreenTexture) SDL_DestroyTexture(ScreenTexture);
  if (Renderer) SDL_DestroyRenderer(Renderer);
  if (Window) SDL_DestroyWindow(Window);
  ScreenTexture = nullptr;
  Renderer = nullptr;
  Window = nullptr;
}

// A first window: the largest whole multiple of the picture that fits the desktop's
// usable area, so pixels are crisp from the first frame.
void DefaultWindowSize(WindowState& s) {
  SDL_Rect usable;
  int factor = 2;
  if (SDL_GetDisplayUsableBounds(0, &usable) == 0)
    factor = std::max(1, std::min((usable.w - 32) / ScreenWidth, (usable.h - 64) / ScreenHeight));
  s.width = ScreenWidth * factor;
  s.height = ScreenHeight * factor;
}

// The window as the last run left it when that run started the same way (window or full
// screen); otherwise the way the command line asked. The scaling choice always carries over.
Uint32 RestoreWindowState(bool startWindowed) {
  WindowState read;
  DefaultWindowSize(read);
  bool remembered = ReadWindowState(WindowStatePath(), read);
  TheWindow = read;
  if (TheOptions.scaling >= 0) TheWindow.scaling = TheOptions.scaling;
  bool full = remembered && read.startWindowed == startWindowed ? read.fullScreen : !startWindowed;
  TheWindow.startWindowed = startWindowed;
  Uint32 flags = 0;
  if (full) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  if (remembered && read.maximised) flags |= SDL_WINDOW_MAXIMIZED;
  return flags;
}

// The title the display was opened with (kept headless too, where no window shows it).
std::string DisplayTitle;

// Headless runs have no window; of the remembered state only the vsync choice counts,
// for the --vblank display model.
void ReadHeadlessVsync() {
  WindowState read;
  if (!TheOptions.userDir.empty()) ReadWindowState(WindowStatePath(), read);
  TheWindow.vsync = read.vsync;
}

int OpenDisplay(const std::string& title, bool startWindowed) {
  DisplayTitle = title;
  if (IsHeadless()) {
    ReadHeadlessVsync();
    FullScreen = !startWindowed;  // what a window would show, for the game's questions
    return 1;
  }
  DestroyDisplay();
  Uint32 flags = RestoreWindowState(startWindowed);
  int x = TheWindow.positioned ? TheWindow.x : int(SDL_WINDOWPOS_CENTERED);
  int y = TheWindow.positioned ? TheWindow.y : int(SDL_WINDOWPOS_CENTERED);
  Window = SDL_CreateWindow(Latin1ToUtf8(title).c_str(), x, y, TheWindow.width, TheWindow.height,
                            flags | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
  if (!Window) {
    std::fprintf(stderr, "klingenwald: no window: %s\n", SDL_GetError());
    return 0;
  }
  FullScreen = (flags & SDL_WINDOW_FULLSCREEN) != 0;
  SDL_SetWindowMinimumSize(Window, ScreenWidth / 2, ScreenHeight / 2);
  Uint32 vsync = VsyncRuleSaysOn() ? SDL_RENDERER_PRESENTVSYNC : 0;
  Renderer = SDL_CreateRenderer(Window, -1, SDL_RENDERER_ACCELERATED | vsync);
  if (!Renderer) Renderer = SDL_CreateRenderer(Window, -1, SDL_RENDERER_ACCELERATED);
  if (!Renderer) Renderer = SDL_CreateRenderer(Window, -1, SDL_RENDERER_SOFTWARE);
  if (!Renderer) {
    std::fprintf(stderr, "klingenwald: no renderer: %s\n", SDL_GetError());
    DestroyDisplay();
    return 0;
  }
  SDL_RendererInfo info;
  VsyncInUse = SDL_GetRendererInfo(Renderer, &info) == 0 && (info.flags & SDL_RENDERER_PRESENTVSYNC);
  ApplyVsyncRule();
  ScreenTexture = SDL_CreateTexture(Renderer, SDL_PIXELFORMAT_ARGB8888,
                                    SDL_TEXTUREACCESS_STREAMING, ScreenWidth, ScreenHeight);
  return ScreenTexture ? 1 : 0;
}

// The picture enlarged by a whole factor with nearest-neighbour pixels, made again when
// the factor changes; null when the renderer cannot draw into textures.
SDL_Texture* SharpStep(int factor) {
  if (factor != SharpFactor || !SharpTexture) {
    if (SharpTexture) SDL_DestroyTexture(SharpTexture);
    SharpTexture = nullptr;
    SharpFactor = factor;
    if (SDL_RenderTargetSupported(Renderer))
      SharpTexture = SDL_CreateTexture(Renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                       ScreenWidth * factor, ScreenHeight * factor);
    if (SharpTexture) SDL_SetTextureScaleMode(SharpTexture, SDL_ScaleModeLinear);
  }
  if (!SharpTexture || SDL_SetRenderTarget(Renderer, SharpTexture) != 0) return nullptr;
  SDL_SetTextureScaleMode(ScreenTexture, SDL_ScaleModeNearest);
  SDL_RenderCopy(Renderer, ScreenTexture, nullptr, nullptr);
  SDL_SetRenderTarget(Renderer, nullptr);
  return SharpTexture;
}

// Black bars around the picture; whole factors are drawn straight with nearest-neighbour
// pixels, other sizes through the sharp step and a smooth last step.
void PresentBackBuffer() {
  if (!Renderer || !ScreenTexture) return;
  SDL_UpdateTexture(ScreenTexture, nullptr, TheBackBuffer.data(), ScreenWidth * 4);
  double ux, uy;
  ScaleRect r = CurrentScaleRect(ux, uy);
  SDL_Rect place{r.x, r.y, r.width, r.height};
  bool whole = r.width == ScreenWidth * r.factor && r.height == ScreenHeight * r.factor;
  SDL_Texture* source = ScreenTexture;
  if (whole) {
    SDL_SetTextureScaleMode(ScreenTexture, SDL_ScaleModeNearest);
  } else if (r.factor > 1 && (source = SharpStep(r.factor)) == nullptr) {
    source = ScreenTexture;
    SDL_SetTextureScaleMode(ScreenTexture, SDL_ScaleModeNearest);
  } else if (source == ScreenTexture) {
    SDL_SetTextureScaleMode(ScreenTexture, SDL_ScaleModeLinear);  // smaller than the picture
  }
  SDL_SetRenderDrawColor(Renderer, 0, 0, 0, 255);
  SDL_RenderClear(Renderer);
  SDL_RenderCopy(Renderer, source, nullptr, &place);
  SDL_RenderPresent(Renderer);
}

// The next 1/60 s boundary after the current virtual time.
void AdvanceVirtualTimeToNextFrame() {
  uint64_t frame = VirtualUs * 60 / 1000000;
  VirtualUs = ((frame + 1) * 1000000 + 59) / 60;
}

}  // namespace

namespace {

// SIGTERM / SIGINT: the first one asks the game to close like the window's close button
// (PumpEvents hands it on); whatever the game is doing then -- a stalled load, a decoder
// that does not return -- the program ends two seconds later, or at once on a second
// one. A load that goes on reading (each pack entry, each QuitRequested) is no stall: the
// two seconds count from its last step, so it reaches the close request and ends cleanly.
volatile std::sig_atomic_t QuitSignal = 0;
constexpr unsigned QuitGraceSeconds = 2;

extern "C" void OnQuitAlarm(int) { _exit(128 + QuitSignal); }

extern "C" void OnQuitSignal(int signal) {
  if (QuitSignal) _exit(128 + signal);
  QuitSignal = signal;
  alarm(QuitGraceSeconds);
}

// Installed before SDL starts, so SDL keeps its own handlers out of the way.
void InstallQuitSignals() {
  struct sigaction action {};
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  action.sa_handler = OnQuitAlarm;
  sigaction(SIGALRM, &action, nullptr);
  action.sa_handler = OnQuitSignal;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

bool QuitDelivered = false;  // the quit signal's close request was queued
int UnservedQuitFlips = 0;   // flips since then with the request still queued

// The close request a quit signal left for the game, handed on once.
void DeliverQuitSignal() {
  if (QuitSignal && !QuitDelivered) {
    QuitDelivered = true;
    PendingWindowEvents.push_back(WindowEventClose);
  }
}

// A screen that does not look at the window (the full-screen menus, the name entry)
// leaves a quit signal's close request queued; a few flips later the program ends at the
// flip, where no file is half-written. A screen that took the request ends on its own.
constexpr int UnservedQuitLimit = 8;
void EndUnservedQuit() {
  if (!QuitDelivered) return;
  bool queued = std::find(PendingWindowEvents.begin(), PendingWindowEvents.end(), WindowEventClose) !=
                PendingWindowEvents.end();
  if (queued && ++UnservedQuitFlips >= UnservedQuitLimit) EndProgram(0);
}

}  // namespace

bool InitMedia(const MediaOptions& options) {
  // A run starts from flip 0 at virtual time 0 with no input (tests start several runs).
  TheOptions = options;
  Flips = 0;
  VirtualUs = 0;
  ResetFramePacing();
  HeadlessFocus = true;
  FullScreen = true;
  PendingWindowEvents.clear();
  Replay.clear();
  ResetInput();
  if (options.headless) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
  }
  InstallQuitSignals();
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
    std::fprintf(stderr, "klingenwald: SDL could not start: %s\n", SDL_GetError());
    if (!options.headless) std::fprintf(stderr, "(is there a display? try --headless)\n");
    return false;
  }
  SetFolders(options.dataDir, options.userDir);
  SeedRandom(options.seedGiven ? options.seed : (options.headless ? 0u : uint32_t(SDL_GetTicks() ^ uint32_t(std::random_device{}()))));
  if (!options.replayPath.empty() && !LoadReplay(options.replayPath)) return false;
  if (!options.recordPath.empty()) {
    Record.open(options.recordPath);
    if (!Record) {
      std::fprintf(stderr, "klingenwald: cannot write the recording %s\n", options.recordPath.c_str());
      return false;
    }
    Record << "# klingenwald input recording: <flip> key|mouse|text ...\n";
  }
  if (!options.headless) InitGamepads();
  MediaStarted = true;
  ShutDown = false;
  return true;
}

const MediaOptions& Options() { return TheOptions; }
bool IsHeadless() { return TheOptions.headless; }

void SetStateWriter(std::function<void(const std::string& path)> writer) {
  StateWriter = std::move(writer);
}

void SetFlipHook(std::function<void()> hook) { FlipHook = std::move(hook); }

void ShutdownMedia() {
  if (ShutDown) return;
  ShutDown = true;
  StopSoundFx(-1);
  SetMouseCaptured(false);
  CloseSettings();
  ClosePack();
  if (!TheOptions.screenshotPath.empty() && !SaveBackBufferPng(TheOptions.screenshotPath))
    std::fprintf(stderr, "klingenwald: cannot write the screenshot %s\n",
                 TheOptions.screenshotPath.c_str());
  if (!TheOptions.statePath.empty() && StateWriter) StateWriter(TheOptions.statePath);
  if (Record.is_open()) Record.close();
  CloseAllFiles();
  FreeAllSounds();
  FreeAllFonts();
  FreeAllSprites3D();
  FreeAllSprites();
  CloseGamepads();
  DestroyDisplay();
  if (MediaStarted) SDL_Quit();
  MediaStarted = false;
}

void EndProgram(int code) {
  ShutdownMedia();
  std::fflush(nullptr);
  // A loader thread may still run; end the process without unwinding it.
  std::_Exit(code);
}

// The picture is always 640 x 480; the window takes its remembered or default size.
const std::string& WindowTitle() { return DisplayTitle; }

int OpenWindowedDisplay(int /*width*/, int /*height*/, const std::string& title) {
  return OpenDisplay(title, true);
}

// A game started for full screen draws its own pointer, whatever the window becomes.
int OpenFullScreenDisplay(int /*width*/, int /*height*/, int /*depth*/, const std::string& title) {
  int ok = OpenDisplay(title, false);
  if (ok && !IsHeadless()) SDL_ShowCursor(SDL_DISABLE);
  return ok;
}

// The inverse of WindowToPicture, for the pad's pointer in a window (the relative
// full-screen pointer has no system pointer to move).
void WarpSystemPointer(int x, int y) {
  if (!Window || SDL_GetRelativeMouseMode()) return;
  double ux, uy;
  ScaleRect r = CurrentScaleRect(ux, uy);
  double px = r.x + (x + 0.5) * r.width / ScreenWidth, py = r.y + (y + 0.5) * r.height / ScreenHeight;
  SDL_WarpMouseInWindow(Window, int(px / ux), int(py / uy));
}

void ToggleFullScreen() {
  if (!Window) {
    if (IsHeadless()) FullScreen = !FullScreen;
    return;
  }
  FullScreen = !FullScreen;
  if (SDL_SetWindowFullscreen(Window, FullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
    std::fprintf(stderr, "klingenwald: cannot switch the window: %s\n", SDL_GetError());
    FullScreen = !FullScreen;
  }
  ApplyMouseMode();
}

// Headless, as the display was opened (full screen when none was) and toggled since.
bool DisplayFullScreen() { return Window ? FullScreen : IsHeadless() && FullScreen; }

void LimitFrameRate(int fps) {
  FrameRateLimit = fps;
  ApplyVsyncRule();  // whether vsync suits the display depends on the limit
}

void FlipScreen() {
  if (IsHeadless()) {
    if (TheOptions.vblankMilliHz > 0) ModelDisplayFlip();
    else AdvanceVirtualTimeToNextFrame();
  } else {
    PresentBackBuffer();
    WaitForFrameSlot(FrameRateLimit);
  }
  ++Flips;
  // After the count, so a recording puts the pad's pointer moves at the flip that made them.
  StepGamepadPointer();
  if (FlipHook) FlipHook();
  PumpEvents();
  EndUnservedQuit();
  if (TheOptions.frames >= 0 && Flips >= TheOptions.frames) EndProgram(0);
}

void ClearBackBuffer(int colour) {
  // While a blit target is set the clear goes there, as every other draw does.
  DrawTarget target = CurrentDrawTarget();
  if (!target.pixels) return;
  // The first row is filled, the others copied from it: a copy is one call per row,
  // which keeps the clear cheap in the sanitizer build too.
  std::fill(target.pixels, target.pixels + target.width, ColourToPixel(colour));
  for (int row = 1; row < target.height; ++row)
    std::memcpy(target.pixels + size_t(row) * target.pitch, target.pixels, size_t(target.width) * 4);
  if (target.picture) target.picture->PixelsChanged();
}

void InjectFocus(bool focused) { HeadlessFocus = focused; }

int ScreenHasFocus() {
  if (IsHeadless() || !Window) return HeadlessFocus ? 1 : 0;
  PumpEvents();
  Uint32 flags = SDL_GetWindowFlags(Window);
  if (flags & SDL_WINDOW_MINIMIZED) return 0;
  return (flags & SDL_WINDOW_INPUT_FOCUS) ? 1 : 0;
}

void PumpEvents() {
  if (MediaStarted && !IsHeadless()) {
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) HandleEvent(ev);
  } else if (MediaStarted) {
    SDL_PumpEvents();
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) {
      if (ev.type == SDL_QUIT) PendingWindowEvents.push_back(WindowEventClose);
    }
  }
  DeliverQuitSignal();
  ApplyReplayEvents();
}

int QuitRequested() {
  if (!QuitSignal) return 0;
  alarm(QuitGraceSeconds);
  return 1;
}

// A close request as the window manager sends it, through SDL's own queue.
void InjectCloseRequest() {
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
}

int PollWindowEvent() {
  PumpEvents();
  if (PendingWindowEvents.empty()) return 0;
  int e = PendingWindowEvents.front();
  PendingWindowEvents.pop_front();
  return e;
}

int WaitWindowEvent() {
  if (!PendingWindowEvents.empty() || IsHeadless() || !MediaStarted) return PollWindowEvent();
  SDL_Event ev;
  if (!SDL_WaitEvent(&ev)) return 0;
  int code = HandleEvent(ev);
  if (code == WindowEventClose) PendingWindowEvents.clear();
  return code ? code : WindowEventOther;
}

int GetWindowMode() {
  if (!Window) return HeadlessWindowMode;
  Uint32 flags = SDL_GetWindowFlags(Window);
  if (flags & SDL_WINDOW_MINIMIZED) return WindowMinimised;
  if (flags & SDL_WINDOW_MAXIMIZED) return WindowMaximised;
  return WindowNormal;
}

void SetWindowMode(int mode) {
  if (!Window) {
    HeadlessWindowMode = mode;
    return;
  }
  switch (mode) {
    case WindowMinimised: SDL_MinimizeWindow(Window); break;
    case WindowMaximised: SDL_MaximizeWindow(Window); break;
    default: SDL_RestoreWindow(Window); break;
  }
}

void CloseDisplay() { DestroyDisplay(); }

void ShowMessage(const std::string& caption, const std::string& text) {
  std::string c = Latin1ToUtf8(caption), t = Latin1ToUtf8(text);
  std::fprintf(stderr, "%s: %s\n", c.c_str(), t.c_str());
  if (!IsHeadless() && MediaStarted)
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, c.c_str(), t.c_str(), Window);
}

uint32_t* BackBuffer() { return TheBackBuffer.data(); }
long FlipCount() { return Flips; }

bool SaveBackBufferPng(const std::string& path) {
  std::vector<uint32_t> opaque(TheBackBuffer);
  for (uint32_t& p : opaque) p |= 0xFF000000u;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(opaque.data(), ScreenWidth, ScreenHeight, 32,
                                                      ScreenWidth * 4, SDL_PIXELFORMAT_ARGB8888);
  if (!s) return false;
  int r = IMG_SavePNG(s, path.c_str());
  SDL_FreeSurface(s);
  return r == 0;
}

ThreadHandle StartThread(void (*procedure)(int), int argument) {
  ThreadHandle handle;
  ThreadSlot* slot;
  {
    std::lock_guard<std::mutex> lock(ThreadLock);
    Threads.push_back(std::make_unique<ThreadSlot>());
    handle = ThreadHandle(Threads.size() - 1);
    slot = Threads.back().get();
  }
  if (IsHeadless()) {
    // Headless runs are deterministic: the thread runs to its end right here.
    procedure(argument);
    return handle;
  }
  slot->running = true;
  try {
    slot->thread = std::thread([slot, procedure, argument] {
      procedure(argument);
      slot->running = false;
    });
  } catch (const std::system_error&) {
    // No thread for us (no memory for its stack, too many threads): the caller hears 0.
    slot->running = false;
    return 0;
  }
  return handle;
}

static ThreadSlot* SlotOf(ThreadHandle t) {
  std::lock_guard<std::mutex> lock(ThreadLock);
  return t > 0 && size_t(t) < Threads.size() ? Threads[t].get() : nullptr;
}

int ThreadRunning(ThreadHandle t) {
  ThreadSlot* s = SlotOf(t);
  return s && s->running ? 1 : 0;
}

int JoinThread(ThreadHandle t) {
  ThreadSlot* s = SlotOf(t);
  if (s && s->thread.joinable()) s->thread.join();
  return 1;
}

void StopThread(ThreadHandle t) {
  // A thread cannot be killed safely; it is left to end with the process.
  ThreadSlot* s = SlotOf(t);
  if (s && s->thread.joinable()) s->thread.detach();
}

namespace {
// The thread that owns the window: the program's first thread.
const std::thread::id MainThreadId = std::this_thread::get_id();
}  // namespace

bool OnMainThread() { return std::this_thread::get_id() == MainThreadId; }

void ParkThread() {
  for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
}

uint32_t TimeMs() {
  if (IsHeadless()) return uint32_t(VirtualUs / 1000);
  return SDL_GetTicks();
}

void SleepMs(int ms) {
  if (ms <= 0) return;
  if (IsHeadless()) {
    VirtualUs += uint64_t(ms) * 1000;
    return;
  }
  SDL_Delay(Uint32(ms));
}

int RandomUpTo(int max) {
  if (max <= 0) return 0;
  std::lock_guard<std::mutex> lock(RandomLock);
  return std::uniform_int_distribution<int>(0, max)(Random);
}

void SeedRandom(uint32_t seed) {
  std::lock_guard<std::mutex> lock(RandomLock);
  Random.seed(seed);
}

std::string ProgramArgument(int n) {
  if (n < 0 || size_t(n) >= TheOptions.programArguments.size()) return "";
  return TheOptions.programArguments[n];
}

// The test hook of core_internal.h: a log of the back buffer's draws, off unless a test
// turns it on.
namespace {
std::vector<DrawnItem>* TheDrawLog = nullptr;
}  // namespace

void RecordDraws(std::vector<DrawnItem>* log) { TheDrawLog = log; }
std::vector<DrawnItem>* DrawLog() { return TheDrawLog; }

}  // namespace kw
