// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The display: the window (its place, size and mode remembered between runs), the
// picture's scaling into it, vsync, and the present of the back buffer; headless runs
// keep what a window would answer. Called through core.h by the game, and by the flip
// (flip.cpp), the event pump (events.cpp) and the start and end of a run (run.cpp).
#include "media/core.h"
#include "media/core_internal.h"
#include "media/display_internal.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "media/clock_internal.h"
#include "media/input_internal.h"
#include "media/options_internal.h"
#include "media/pacing_internal.h"
#include "media/textutil.h"

namespace kw {

namespace {

SDL_Window* Window = nullptr;
SDL_Renderer* Renderer = nullptr;
SDL_Texture* ScreenTexture = nullptr;
SDL_Texture* SharpTexture = nullptr;  // the picture enlarged by a whole factor (sharp scaling)
int SharpFactor = 0;
bool FullScreen = false;
WindowState TheWindow;                // remembered between runs
int HeadlessWindowMode = WindowNormal;
bool HeadlessFocus = true;            // a headless run has the focus unless a test takes it

int FrameRateLimit = 0;
bool VsyncInUse = false;  // the renderer's presents wait for the vertical blank

// ---- vsync: only where it keeps the game's pace (the rule is in pacing.cpp) ----

// The refresh rate of the display that shows the window, in mHz (0 when SDL cannot say).
int DisplayRefreshMilliHz() {
  int display = Window ? SDL_GetWindowDisplayIndex(Window) : -1;
  SDL_DisplayMode mode;
  if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0) return 0;
  return mode.refresh_rate * 1000;
}

bool VsyncRuleSaysOn() { return VsyncWanted(TheWindow.vsync, DisplayRefreshMilliHz(), FrameRateLimit); }

// Real pixels per window unit (high-DPI screens have more than one) and the picture's place.
ScaleRect CurrentScaleRect(double& pixelsPerUnitX, double& pixelsPerUnitY) {
  int winW = 1, winH = 1, outW = ScreenWidth, outH = ScreenHeight;
  if (Window) SDL_GetWindowSize(Window, &winW, &winH);
  if (Renderer) SDL_GetRendererOutputSize(Renderer, &outW, &outH);
  pixelsPerUnitX = double(outW) / std::max(winW, 1);
  pixelsPerUnitY = double(outH) / std::max(winH, 1);
  return ComputeScaleRect(outW, outH, TheWindow.scaling);
}

std::string WindowStatePath() {
  return (std::filesystem::path(Options().userDir) / WindowStateFile).string();
}

// Writes the window's state for the next run (a failure costs only the memory of it).
void SaveWindowState() {
  if (!Window || Options().userDir.empty()) return;
  Uint32 flags = SDL_GetWindowFlags(Window);
  TheWindow.fullScreen = (flags & SDL_WINDOW_FULLSCREEN) != 0;
  TheWindow.maximised = (flags & SDL_WINDOW_MAXIMIZED) != 0;
  std::error_code ec;
  std::filesystem::create_directories(Options().userDir, ec);
  if (!WriteWindowState(WindowStatePath(), TheWindow))
    std::fprintf(stderr, "klingenwald: cannot write %s\n", WindowStatePath().c_str());
}

}  // namespace

// Turns the renderer's vsync on or off as the rule says for the display the window is on
// now; run when the display opens, when the flip limit is set and when the window moves.
void ApplyVsyncRule() {
  if (!Renderer) return;
  bool want = VsyncRuleSaysOn();
  if (want != VsyncInUse && SDL_RenderSetVSync(Renderer, want ? 1 : 0) == 0) VsyncInUse = want;
}

// Headless with --vblank: the flip waits as it would on a display of that rate.
void ModelDisplayFlip() {
  int rate = Options().vblankMilliHz;
  SetVirtualTimeUs(
      ModelFlipUs(VirtualTimeUs(), FrameRateLimit, rate, VsyncWanted(TheWindow.vsync, rate, FrameRateLimit)));
}

// A window position as a picture position; the black bars lie outside 0..639 x 0..479.
void WindowToPicture(int wx, int wy, int& px, int& py) {
  double ux, uy;
  ScaleRect r = CurrentScaleRect(ux, uy);
  px = int(std::floor((wx * ux - r.x) * ScreenWidth / r.width));
  py = int(std::floor((wy * uy - r.y) * ScreenHeight / r.height));
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

namespace {

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
  if (Options().scaling >= 0) TheWindow.scaling = Options().scaling;
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
  if (!Options().userDir.empty()) ReadWindowState(WindowStatePath(), read);
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

}  // namespace

// Black bars around the picture; whole factors are drawn straight with nearest-neighbour
// pixels, other sizes through the sharp step and a smooth last step.
void PresentBackBuffer() {
  if (!Renderer || !ScreenTexture) return;
  SDL_UpdateTexture(ScreenTexture, nullptr, BackBuffer(), ScreenWidth * 4);
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

int FlipLimit() { return FrameRateLimit; }

void ResetDisplayState() {
  HeadlessFocus = true;
  FullScreen = true;
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

void InjectFocus(bool focused) { HeadlessFocus = focused; }

int ScreenHasFocus() {
  if (IsHeadless() || !Window) return HeadlessFocus ? 1 : 0;
  PumpEvents();
  Uint32 flags = SDL_GetWindowFlags(Window);
  if (flags & SDL_WINDOW_MINIMIZED) return 0;
  return (flags & SDL_WINDOW_INPUT_FOCUS) ? 1 : 0;
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
  if (!IsHeadless() && MediaStarted())
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, c.c_str(), t.c_str(), Window);
}

}  // namespace kw
