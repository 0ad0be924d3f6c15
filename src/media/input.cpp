// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Keyboard and mouse. The platform events (events.cpp) and replays feed a live state
// through the Inject* calls; ReadKeyboard / ReadMouseDevice copy it into the snapshot
// the game queries for the rest of the frame. Keys are DirectInput codes: the PC
// set-1 scan codes, extended keys with 128 added.
#include "media/input.h"
#include "media/input_internal.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <utility>

#include "media/core.h"
#include "media/core_internal.h"

namespace kw {

namespace {

// One row per physical key: SDL scancode, DirectInput code. Where two SDL keys share a
// code (the ISO hash key and the backslash key), the first row is the reverse mapping.
constexpr std::pair<SDL_Scancode, int> KeyTable[] = {
    {SDL_SCANCODE_ESCAPE, 1},         {SDL_SCANCODE_1, 2},
    {SDL_SCANCODE_2, 3},              {SDL_SCANCODE_3, 4},
    {SDL_SCANCODE_4, 5},              {SDL_SCANCODE_5, 6},
    {SDL_SCANCODE_6, 7},              {SDL_SCANCODE_7, 8},
    {SDL_SCANCODE_8, 9},              {SDL_SCANCODE_9, 10},
    {SDL_SCANCODE_0, 11},             {SDL_SCANCODE_MINUS, 12},
    {SDL_SCANCODE_EQUALS, 13},        {SDL_SCANCODE_BACKSPACE, 14},
    {SDL_SCANCODE_TAB, 15},           {SDL_SCANCODE_Q, 16},
    {SDL_SCANCODE_W, 17},             {SDL_SCANCODE_E, 18},
    {SDL_SCANCODE_R, 19},             {SDL_SCANCODE_T, 20},
    {SDL_SCANCODE_Y, 21},             {SDL_SCANCODE_U, 22},
    {SDL_SCANCODE_I, 23},             {SDL_SCANCODE_O, 24},
    {SDL_SCANCODE_P, 25},             {SDL_SCANCODE_LEFTBRACKET, 26},
    {SDL_SCANCODE_RIGHTBRACKET, 27},  {SDL_SCANCODE_RETURN, 28},
    {SDL_SCANCODE_LCTRL, 29},         {SDL_SCANCODE_A, 30},
    {SDL_SCANCODE_S, 31},             {SDL_SCANCODE_D, 32},
    {SDL_SCANCODE_F, 33},             {SDL_SCANCODE_G, 34},
    {SDL_SCANCODE_H, 35},             {SDL_SCANCODE_J, 36},
    {SDL_SCANCODE_K, 37},             {SDL_SCANCODE_L, 38},
    {SDL_SCANCODE_SEMICOLON, 39},     {SDL_SCANCODE_APOSTROPHE, 40},
    {SDL_SCANCODE_GRAVE, 41},         {SDL_SCANCODE_LSHIFT, 42},
    {SDL_SCANCODE_BACKSLASH, 43},     {SDL_SCANCODE_NONUSHASH, 43},
    {SDL_SCANCODE_Z, 44},             {SDL_SCANCODE_X, 45},
    {SDL_SCANCODE_C, 46},             {SDL_SCANCODE_V, 47},
    {SDL_SCANCODE_B, 48},             {SDL_SCANCODE_N, 49},
    {SDL_SCANCODE_M, 50},             {SDL_SCANCODE_COMMA, 51},
    {SDL_SCANCODE_PERIOD, 52},        {SDL_SCANCODE_SLASH, 53},
    {SDL_SCANCODE_RSHIFT, 54},        {SDL_SCANCODE_KP_MULTIPLY, 55},
    {SDL_SCANCODE_LALT, 56},          {SDL_SCANCODE_SPACE, 57},
    {SDL_SCANCODE_CAPSLOCK, 58},      {SDL_SCANCODE_F1, 59},
    {SDL_SCANCODE_F2, 60},            {SDL_SCANCODE_F3, 61},
    {SDL_SCANCODE_F4, 62},            {SDL_SCANCODE_F5, 63},
    {SDL_SCANCODE_F6, 64},            {SDL_SCANCODE_F7, 65},
    {SDL_SCANCODE_F8, 66},            {SDL_SCANCODE_F9, 67},
    {SDL_SCANCODE_F10, 68},           {SDL_SCANCODE_NUMLOCKCLEAR, 69},
    {SDL_SCANCODE_SCROLLLOCK, 70},    {SDL_SCANCODE_KP_7, 71},
    {SDL_SCANCODE_KP_8, 72},          {SDL_SCANCODE_KP_9, 73},
    {SDL_SCANCODE_KP_MINUS, 74},      {SDL_SCANCODE_KP_4, 75},
    {SDL_SCANCODE_KP_5, 76},          {SDL_SCANCODE_KP_6, 77},
    {SDL_SCANCODE_KP_PLUS, 78},       {SDL_SCANCODE_KP_1, 79},
    {SDL_SCANCODE_KP_2, 80},          {SDL_SCANCODE_KP_3, 81},
    {SDL_SCANCODE_KP_0, 82},          {SDL_SCANCODE_KP_PERIOD, 83},
    {SDL_SCANCODE_NONUSBACKSLASH, 86}, {SDL_SCANCODE_F11, 87},
    {SDL_SCANCODE_F12, 88},           {SDL_SCANCODE_F13, 100},
    {SDL_SCANCODE_F14, 101},          {SDL_SCANCODE_F15, 102},
    {SDL_SCANCODE_INTERNATIONAL2, 112}, {SDL_SCANCODE_INTERNATIONAL1, 115},
    {SDL_SCANCODE_INTERNATIONAL4, 121}, {SDL_SCANCODE_INTERNATIONAL5, 123},
    {SDL_SCANCODE_INTERNATIONAL3, 125}, {SDL_SCANCODE_KP_EQUALS, 141},
    {SDL_SCANCODE_KP_ENTER, 156},     {SDL_SCANCODE_RCTRL, 157},
    {SDL_SCANCODE_KP_COMMA, 179},     {SDL_SCANCODE_KP_DIVIDE, 181},
    {SDL_SCANCODE_PRINTSCREEN, 183},  {SDL_SCANCODE_RALT, 184},
    {SDL_SCANCODE_PAUSE, 197},        {SDL_SCANCODE_HOME, 199},
    {SDL_SCANCODE_UP, 200},           {SDL_SCANCODE_PAGEUP, 201},
    {SDL_SCANCODE_LEFT, 203},         {SDL_SCANCODE_RIGHT, 205},
    {SDL_SCANCODE_END, 207},          {SDL_SCANCODE_DOWN, 208},
    {SDL_SCANCODE_PAGEDOWN, 209},     {SDL_SCANCODE_INSERT, 210},
    {SDL_SCANCODE_DELETE, 211},       {SDL_SCANCODE_LGUI, 219},
    {SDL_SCANCODE_RGUI, 220},         {SDL_SCANCODE_APPLICATION, 221},
    {SDL_SCANCODE_POWER, 222},        {SDL_SCANCODE_SLEEP, 223},
};

// Live keyboard, changed by events between snapshots.
std::array<bool, KeyCount> LiveDown{};    // held right now
std::array<bool, KeyCount> LiveWentDown{};  // pressed since the last snapshot
std::array<int, KeyCount> LiveReleases{};   // times let go since the last snapshot
std::string LiveText;                       // typed since the last TypedText

// Keyboard snapshots.
std::array<bool, KeyCount> SnapDown{};          // state at the last ReadKeyboard
std::array<bool, KeyCount> SnapReleased{};      // a release happened for this snapshot
std::array<int, KeyCount> ReleasesOwed{};       // releases still to show in later snapshots
std::array<bool, KeyCount> ReleaseReported{};   // KeyReleased already answered 1

// Mouse: the live device, its snapshot, and the system pointer in the window.
constexpr int NoPointer = -1;
int LiveMouseX = ScreenWidth / 2, LiveMouseY = ScreenHeight / 2;
bool LiveButton = false;
bool LiveButtonWentDown = false;   // since the last ReadMouseDevice
bool ButtonWentDownForWindow = false;  // since the last WindowMouseButtonWentDown
int SnapMouseX = ScreenWidth / 2, SnapMouseY = ScreenHeight / 2;
bool SnapButton = false;
bool MouseCaptured = true;
bool PointerInside = true;
int PointerX = NoPointer, PointerY = NoPointer;

bool ValidCode(int code) { return code >= 0 && code < KeyCount; }

bool VideoRunning() { return !IsHeadless() && SDL_WasInit(SDL_INIT_VIDEO) != 0; }

// A captured pointer in full screen is kept inside the game's window (another screen
// beside it would take it away); a windowed game never traps the player's pointer.
// Positions stay absolute either way, so the game's pointer is where the system's is.
void ApplyPointerGrab() {
  if (!VideoRunning()) return;
  SDL_Window* window = SDL_GetMouseFocus();
  if (!window) window = SDL_GetKeyboardFocus();
  if (!window) window = SDL_GetWindowFromID(1);  // the game's only window
  if (!window) return;
  bool fullScreen = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
  SDL_SetWindowMouseGrab(window, MouseCaptured && fullScreen ? SDL_TRUE : SDL_FALSE);
}

}  // namespace

void ApplyMouseMode() { ApplyPointerGrab(); }

int DirectInputCodeOfScancode(int sdlScancode) {
  for (const auto& row : KeyTable)
    if (row.first == sdlScancode) return row.second;
  return 0;
}

int ScancodeOfDirectInputCode(int code) {
  for (const auto& row : KeyTable)
    if (row.second == code) return row.first;
  return 0;
}

// Clears every live and snapshot state (start, and tests).
void ResetInput() {
  LiveDown.fill(false);
  LiveWentDown.fill(false);
  LiveReleases.fill(0);
  SnapDown.fill(false);
  SnapReleased.fill(false);
  ReleasesOwed.fill(0);
  ReleaseReported.fill(false);
  LiveText.clear();
  LiveMouseX = SnapMouseX = ScreenWidth / 2;
  LiveMouseY = SnapMouseY = ScreenHeight / 2;
  LiveButton = LiveButtonWentDown = ButtonWentDownForWindow = SnapButton = false;
  MouseCaptured = true;
  PointerInside = true;
  PointerX = PointerY = NoPointer;
}

// At start: typed characters arrive as SDL text events from now on.
void InitKeyboard() {
  if (VideoRunning()) SDL_StartTextInput();
}

// Takes the keyboard snapshot for this frame. Every release is shown once, in its own
// snapshot: a release of a press the game saw shows now; a press and release that both
// fell between two snapshots shows as down now and as a release later, so a quick
// double tap gives two releases.
int ReadKeyboard() {
  PumpEvents();
  for (int k = 0; k < KeyCount; ++k) {
    bool wasDown = SnapDown[k];
    SnapDown[k] = LiveDown[k] || LiveWentDown[k];
    int seenNow = wasDown && LiveReleases[k] > 0 ? 1 : 0;
    int owed = ReleasesOwed[k] + seenNow;
    SnapReleased[k] = owed > 0;
    ReleasesOwed[k] = std::max(owed - 1, 0) + LiveReleases[k] - seenNow;
    ReleaseReported[k] = false;
  }
  LiveWentDown.fill(false);
  LiveReleases.fill(0);
  return 1;
}

int KeyDown(int code) {
  if (code == -1) return std::any_of(SnapDown.begin(), SnapDown.end(), [](bool d) { return d; });
  return ValidCode(code) && SnapDown[code] ? 1 : 0;
}

// 1 once per release; a second question in the same snapshot gets 0. Any key (-1)
// reports and uses up every release of the snapshot.
int KeyReleased(int code) {
  if (code == -1) {
    int found = 0;
    for (int k = 0; k < KeyCount; ++k) {
      if (SnapReleased[k] && !ReleaseReported[k]) {
        ReleaseReported[k] = true;
        found = 1;
      }
    }
    return found;
  }
  if (!ValidCode(code) || !SnapReleased[code] || ReleaseReported[code]) return 0;
  ReleaseReported[code] = true;
  return 1;
}

// A rule that looks at one key in the middle of a frame (the portals) asks this, so the
// controls' snapshot later in the frame still sees every other key's edges.
int KeyReleasedUpToNow(int code) {
  PumpEvents();
  if (!ValidCode(code)) return 0;
  if (KeyReleased(code)) return 1;
  if (ReleasesOwed[code] > 0) {
    --ReleasesOwed[code];
    return 1;
  }
  // Released since the snapshot that saw it down: the next snapshot would show it now.
  if (SnapDown[code] && LiveReleases[code] > 0) {
    --LiveReleases[code];
    return 1;
  }
  return 0;
}

std::string TypedText() {
  std::string text;
  text.swap(LiveText);
  return text;
}

void InjectKey(int code, bool down) {
  if (!ValidCode(code)) return;
  if (down && !LiveDown[code]) LiveWentDown[code] = true;
  if (!down && LiveDown[code]) ++LiveReleases[code];
  LiveDown[code] = down;
}

// Backspace and Return are keys, not text: control characters never enter the text.
void InjectText(const std::string& latin1) {
  for (char c : latin1)
    if (static_cast<unsigned char>(c) >= 32 && c != 127) LiveText += c;
}

void InitMouse() {
  LiveMouseX = SnapMouseX = ScreenWidth / 2;
  LiveMouseY = SnapMouseY = ScreenHeight / 2;
  MouseCaptured = true;
}

// Takes the mouse snapshot; changes nothing while the pointer belongs to the system.
int ReadMouseDevice() {
  PumpEvents();
  if (!MouseCaptured) return 1;
  SnapMouseX = LiveMouseX;
  SnapMouseY = LiveMouseY;
  // A click shorter than a frame is still seen once.
  SnapButton = LiveButton || LiveButtonWentDown;
  LiveButtonWentDown = false;
  return 1;
}

int MouseDeviceX() { return SnapMouseX; }
int MouseDeviceY() { return SnapMouseY; }
int MouseDeviceButton(int n) { return n == 1 && SnapButton ? 1 : 0; }

void SetMouseCaptured(bool captured) {
  MouseCaptured = captured;
  ApplyPointerGrab();
}

int WindowPointerX() { return PointerInside ? PointerX : NoPointer; }
int WindowPointerY() { return PointerInside ? PointerY : NoPointer; }

// Like the low bit of an asynchronous key state: went down since the previous question.
int WindowMouseButtonWentDown() {
  int wentDown = ButtonWentDownForWindow ? 1 : 0;
  ButtonWentDownForWindow = false;
  return wentDown;
}

int WindowMouseButtonHeld() {
  PumpEvents();
  return LiveButton ? 1 : 0;
}

void InjectMouseMove(int dx, int dy) {
  if (!MouseCaptured) return;
  LiveMouseX = std::clamp(LiveMouseX + dx, 0, ScreenWidth - 1);
  LiveMouseY = std::clamp(LiveMouseY + dy, 0, ScreenHeight - 1);
}

// An absolute position: the window pointer, and the device follows it.
void InjectMousePosition(int x, int y) {
  bool inside = x >= 0 && x < ScreenWidth && y >= 0 && y < ScreenHeight;
  PointerX = inside ? x : NoPointer;
  PointerY = inside ? y : NoPointer;
  PointerInside = true;
  LiveMouseX = std::clamp(x, 0, ScreenWidth - 1);
  LiveMouseY = std::clamp(y, 0, ScreenHeight - 1);
}

void InjectMouseButton(bool down) {
  if (down && !LiveButton) {
    LiveButtonWentDown = true;
    ButtonWentDownForWindow = true;
  }
  LiveButton = down;
}

void InjectMouseInside(bool inside) { PointerInside = inside; }

// The pad's pointer: from where the pointer is, or where the device last was.
void MovePointerBy(int dx, int dy, int& x, int& y) {
  bool known = PointerInside && PointerX != NoPointer && PointerY != NoPointer;
  x = std::clamp((known ? PointerX : LiveMouseX) + dx, 0, ScreenWidth - 1);
  y = std::clamp((known ? PointerY : LiveMouseY) + dy, 0, ScreenHeight - 1);
  InjectMousePosition(x, y);
  RecordPointerAt(x, y);
}

}  // namespace kw
