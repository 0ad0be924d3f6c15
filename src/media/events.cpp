// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Events: the platform's queue pumped into the input state (keys, the mouse, typed text,
// game controllers), the window's own events and close requests, a quit signal's close
// request, and the replay's input applied at each pump. PumpEvents runs at every flip
// and at every input read; the game asks for window events through core.h.
#include "media/core.h"
#include "media/core_internal.h"
#include "media/events_internal.h"

#include <SDL.h>

#include <algorithm>
#include <deque>
#include <string>

#include "media/display_internal.h"
#include "media/gamepad_internal.h"
#include "media/input_internal.h"
#include "media/options_internal.h"
#include "media/replay_internal.h"
#include "media/signals_internal.h"
#include "media/textutil.h"

namespace kw {

namespace {

std::deque<int> PendingWindowEvents;

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

// The pointer's place in the picture, in a window and in full screen alike. Full screen
// once read relative motion, but relative mode lets the game's pointer and the system's
// part at the first jump or edge (a pointer already on the screen when the full-screen
// window opened put the game's at a corner), after which clicks landed off the buttons.
void HandleMouseMotion(const SDL_MouseMotionEvent& m) {
  int x, y;
  WindowToPicture(m.x, m.y, x, y);
  InjectMousePosition(x, y);
  RecordPointerAt(std::clamp(x, 0, ScreenWidth - 1), std::clamp(y, 0, ScreenHeight - 1));
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
        RecordPointerButton(down);
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

bool QuitDelivered = false;  // the quit signal's close request was queued
int UnservedQuitFlips = 0;   // flips since then with the request still queued

// The close request a quit signal left for the game, handed on once.
void DeliverQuitSignal() {
  if (QuitSignalled() && !QuitDelivered) {
    QuitDelivered = true;
    PendingWindowEvents.push_back(WindowEventClose);
  }
}

}  // namespace

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

void ClearWindowEvents() { PendingWindowEvents.clear(); }

void PumpEvents() {
  if (MediaStarted() && !IsHeadless()) {
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) HandleEvent(ev);
  } else if (MediaStarted()) {
    SDL_PumpEvents();
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) {
      if (ev.type == SDL_QUIT) PendingWindowEvents.push_back(WindowEventClose);
    }
  }
  DeliverQuitSignal();
  ApplyReplayEvents();
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
  if (!PendingWindowEvents.empty() || IsHeadless() || !MediaStarted()) return PollWindowEvent();
  SDL_Event ev;
  if (!SDL_WaitEvent(&ev)) return 0;
  int code = HandleEvent(ev);
  if (code == WindowEventClose) PendingWindowEvents.clear();
  return code ? code : WindowEventOther;
}

}  // namespace kw
