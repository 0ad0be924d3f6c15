// Game controllers: buttons, the D-pad, the left stick and the triggers press the key
// codes bound to them; the right stick moves the mouse pointer and its click is the
// left mouse button. The game binds the pad to its own key bindings at start.
#include <SDL.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "media/core.h"
#include "media/gamepad_internal.h"
#include "media/input.h"
#include "media/input_internal.h"

namespace kw {

namespace {

// Default keys: the game's default Setup.ini (Space jump, X sword, C throw, A..F spells,
// Escape menu, P pause, Return to enter doors, arrows).
std::array<int, PadInputCount> PadKeys = {57, 45, 46, 28, 25, 1, 30, 31, 32, 33, 200, 208, 203, 205};
std::array<bool, PadInputCount> PadHeld{};
std::vector<SDL_GameController*> Controllers;
int RightX = 0, RightY = 0;   // right stick, -32768..32767
bool PointerButton = false;

constexpr int StickPress = 16000;    // a stick direction counts as pressed beyond this
constexpr int StickRelease = 12000;  // and as released below this (no flicker)
constexpr int StickDeadZone = 6000;

int PadInputOfButton(int button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_A: return PadA;
    case SDL_CONTROLLER_BUTTON_B: return PadB;
    case SDL_CONTROLLER_BUTTON_X: return PadX;
    case SDL_CONTROLLER_BUTTON_Y: return PadY;
    case SDL_CONTROLLER_BUTTON_BACK: return PadBack;
    case SDL_CONTROLLER_BUTTON_START: return PadStart;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return PadLeftShoulder;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return PadRightShoulder;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return PadUp;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return PadDown;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return PadLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return PadRight;
    default: return -1;
  }
}

// A stick or trigger axis as one or two pad inputs with hysteresis.
int AxisInput(int input, int value, bool& down) {
  bool was = PadHeld[input];
  bool now = was ? value > StickRelease : value > StickPress;
  if (now == was) return 0;
  down = now;
  return InjectPadInput(input, now);
}

int HandleAxis(const SDL_ControllerAxisEvent& a, bool& down) {
  int v = a.value;
  switch (a.axis) {
    case SDL_CONTROLLER_AXIS_LEFTX: {
      int k = AxisInput(PadLeft, -v, down);
      return k ? k : AxisInput(PadRight, v, down);
    }
    case SDL_CONTROLLER_AXIS_LEFTY: {
      int k = AxisInput(PadUp, -v, down);
      return k ? k : AxisInput(PadDown, v, down);
    }
    case SDL_CONTROLLER_AXIS_TRIGGERLEFT: return AxisInput(PadLeftTrigger, v, down);
    case SDL_CONTROLLER_AXIS_TRIGGERRIGHT: return AxisInput(PadRightTrigger, v, down);
    case SDL_CONTROLLER_AXIS_RIGHTX: RightX = v; return 0;
    case SDL_CONTROLLER_AXIS_RIGHTY: RightY = v; return 0;
    default: return 0;
  }
}

// Pixels per frame for a stick value: nothing in the dead zone, up to 12 at full tilt.
int PointerSpeed(int v) {
  if (std::abs(v) < StickDeadZone) return 0;
  return v * 12 / 32768;
}

}  // namespace

void InitGamepads() {
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return;
  for (int i = 0; i < SDL_NumJoysticks(); ++i)
    if (SDL_IsGameController(i))
      if (SDL_GameController* c = SDL_GameControllerOpen(i)) Controllers.push_back(c);
}

void CloseGamepads() {
  for (SDL_GameController* c : Controllers) SDL_GameControllerClose(c);
  Controllers.clear();
}

void SetGamepadKey(int padInput, int keyCode) {
  if (padInput >= 0 && padInput < PadInputCount) PadKeys[padInput] = keyCode;
}

int GamepadKey(int padInput) {
  return padInput >= 0 && padInput < PadInputCount ? PadKeys[padInput] : 0;
}

int InjectPadInput(int padInput, bool down) {
  if (padInput < 0 || padInput >= PadInputCount) return 0;
  PadHeld[padInput] = down;
  int key = PadKeys[padInput];
  if (key > 0 && key < KeyCount) InjectKey(key, down);
  return key > 0 && key < KeyCount ? key : 0;
}

int HandleGamepadEvent(const SDL_Event& ev, bool& down) {
  switch (ev.type) {
    case SDL_CONTROLLERDEVICEADDED:
      if (SDL_GameController* c = SDL_GameControllerOpen(ev.cdevice.which)) Controllers.push_back(c);
      return 0;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
      down = ev.type == SDL_CONTROLLERBUTTONDOWN;
      if (ev.cbutton.button == SDL_CONTROLLER_BUTTON_RIGHTSTICK) {
        PointerButton = down;
        InjectMouseButton(down);
        return 0;
      }
      return InjectPadInput(PadInputOfButton(ev.cbutton.button), down);
    }
    case SDL_CONTROLLERAXISMOTION: return HandleAxis(ev.caxis, down);
    default: return 0;
  }
}

void StepGamepadPointer() {
  int dx = PointerSpeed(RightX), dy = PointerSpeed(RightY);
  if (dx == 0 && dy == 0) return;
  // In a window the pointer is absolute; in full screen the device moves relatively.
  int x = WindowPointerX(), y = WindowPointerY();
  if (x >= 0 && y >= 0)
    InjectMousePosition(std::clamp(x + dx, 0, ScreenWidth - 1), std::clamp(y + dy, 0, ScreenHeight - 1));
  else
    InjectMouseMove(dx, dy);
}

}  // namespace kw
