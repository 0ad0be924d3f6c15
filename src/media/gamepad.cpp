// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Game controllers: buttons, the D-pad, the sticks and the triggers press the key codes
// bound to them; in the pointer menus the left stick, the D-pad and the right stick move
// the pointer and the south button clicks. Pads are opened and closed as they come and
// go; each keeps what it holds, so a pad pulled out lets go of exactly its own keys.
#include <SDL.h>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "media/core.h"
#include "media/core_internal.h"
#include "media/display_internal.h"
#include "media/gamepad_internal.h"
#include "media/input.h"
#include "media/input_internal.h"

namespace kw {

namespace {

// Default keys: the game's default Setup.ini (Space jump, X sword, C throw, A..F spells,
// Escape menu, P pause, Return to enter doors, arrows); the game binds its own at start.
std::array<int, PadInputCount> PadKeys = {57, 45, 46, 28, 25, 1, 30, 31, 32, 33, 200, 208, 203, 205,
                                          0, 0, 0, 0, 0, 0, 0};

// SDL's own names of the controller's buttons and axes, in PadInput order; the right
// stick's halves as SDL writes half axes in its mappings.
constexpr const char* PadInputNames[PadInputCount] = {
    "a", "b", "x", "y", "back", "start", "leftshoulder", "rightshoulder",
    "lefttrigger", "righttrigger", "dpup", "dpdown", "dpleft", "dpright",
    "leftstick", "rightstick", "guide", "-righty", "+righty", "-rightx", "+rightx"};

// One connected pad (or, in tests, an injected one with no device behind it).
struct Pad {
  SDL_JoystickID id = -1;
  SDL_GameController* device = nullptr;
  std::array<bool, PadInputCount> held{};   // inputs pressing their key now
  bool clicking = false;                    // the south button holds the pointer button
  std::array<bool, 4> pointerDpad{};        // D-pad held in a pointer menu (up, down, left, right)
  int leftX = 0, leftY = 0, rightX = 0, rightY = 0;  // -32768..32767
};
std::vector<Pad> Pads;

bool PointerFrameAsked = false;  // set by the menus during a frame
bool PointerMode = false;        // the frame before the last flip was a pointer menu

constexpr int StickPress = 16000;    // a stick direction counts as pressed beyond this
constexpr int StickRelease = 12000;  // and as released below this (no flicker)
constexpr int StickDeadZone = 6000;
constexpr int DpadPointerSpeed = 6;  // pixels per frame
// A mapping file larger than this is not a mapping file.
constexpr long long MaxMappingFileBytes = 4 << 20;

Pad& PadOf(SDL_JoystickID id) {
  for (Pad& p : Pads)
    if (p.id == id) return p;
  Pads.push_back(Pad());
  Pads.back().id = id;
  return Pads.back();
}

int PadInputOfButton(int button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_A: return PadA;
    case SDL_CONTROLLER_BUTTON_B: return PadB;
    case SDL_CONTROLLER_BUTTON_X: return PadX;
    case SDL_CONTROLLER_BUTTON_Y: return PadY;
    case SDL_CONTROLLER_BUTTON_BACK: return PadBack;
    case SDL_CONTROLLER_BUTTON_START: return PadStart;
    case SDL_CONTROLLER_BUTTON_GUIDE: return PadGuide;
    case SDL_CONTROLLER_BUTTON_LEFTSTICK: return PadLeftStick;
    case SDL_CONTROLLER_BUTTON_RIGHTSTICK: return PadRightStick;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return PadLeftShoulder;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return PadRightShoulder;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return PadUp;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return PadDown;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return PadLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return PadRight;
    default: return -1;
  }
}

// A key stays down while any input of any pad bound to it is held.
bool KeyHeldByAnyPad(int key) {
  for (const Pad& p : Pads)
    for (int i = 0; i < PadInputCount; ++i)
      if (p.held[i] && PadKeys[i] == key) return true;
  return false;
}

// One pad input changes: its key goes down, or up once nothing else holds it.
int PressPadInput(Pad& pad, int input, bool down) {
  if (input < 0 || input >= PadInputCount) return 0;
  pad.held[input] = down;
  int key = PadKeys[input];
  if (key <= 0 || key >= KeyCount) return 0;
  bool held = down || KeyHeldByAnyPad(key);
  InjectKey(key, held);
  RecordKeyChange(key, held);
  return key;
}

// A stick or trigger direction with hysteresis; in a pointer menu it only lets go.
int AxisInput(Pad& pad, int input, int value, bool& down, bool mayPress) {
  bool was = pad.held[input];
  bool now = was ? value > StickRelease : value > StickPress && mayPress;
  if (now == was) return 0;
  down = now;
  return PressPadInput(pad, input, now);
}

// The two inputs of one stick axis (negative side first).
int AxisPair(Pad& pad, int negative, int positive, int v, bool& down, bool mayPress) {
  int k = AxisInput(pad, negative, -v, down, mayPress);
  return k ? k : AxisInput(pad, positive, v, down, mayPress);
}

int HandleAxis(const SDL_ControllerAxisEvent& a, bool& down) {
  Pad& pad = PadOf(a.which);
  int v = a.value;
  switch (a.axis) {
    case SDL_CONTROLLER_AXIS_LEFTX: pad.leftX = v; return AxisPair(pad, PadLeft, PadRight, v, down, !PointerMode);
    case SDL_CONTROLLER_AXIS_LEFTY: pad.leftY = v; return AxisPair(pad, PadUp, PadDown, v, down, !PointerMode);
    case SDL_CONTROLLER_AXIS_RIGHTX:
      pad.rightX = v;
      return AxisPair(pad, PadRightLeft, PadRightRight, v, down, !PointerMode);
    case SDL_CONTROLLER_AXIS_RIGHTY:
      pad.rightY = v;
      return AxisPair(pad, PadRightUp, PadRightDown, v, down, !PointerMode);
    case SDL_CONTROLLER_AXIS_TRIGGERLEFT: return AxisInput(pad, PadLeftTrigger, v, down, true);
    case SDL_CONTROLLER_AXIS_TRIGGERRIGHT: return AxisInput(pad, PadRightTrigger, v, down, true);
    default: return 0;
  }
}

// In a pointer menu the south button is the mouse button and the D-pad moves the pointer;
// a release always ends what the press began, whatever the mode is by then.
bool HandlePointerButton(Pad& pad, int input, bool down) {
  if (input == PadA && (down ? PointerMode : pad.clicking)) {
    pad.clicking = down;
    InjectMouseButton(down);
    RecordPointerButton(down);
    return true;
  }
  int d = input - PadUp;  // PadUp, PadDown, PadLeft, PadRight follow each other
  if (d >= 0 && d < 4 && (down ? PointerMode : pad.pointerDpad[d])) {
    pad.pointerDpad[d] = down;
    return true;
  }
  return false;
}

int HandleButton(const SDL_ControllerButtonEvent& b, bool down) {
  Pad& pad = PadOf(b.which);
  int input = PadInputOfButton(b.button);
  if (input < 0 || HandlePointerButton(pad, input, down)) return 0;
  if (down == pad.held[input]) return 0;
  return PressPadInput(pad, input, down);
}

// Pixels per frame for a stick value: nothing in the dead zone, up to 12 at full tilt.
int PointerSpeed(int v) {
  if (std::abs(v) < StickDeadZone) return 0;
  return v * 12 / 32768;
}

// The pad that went away lets go of every key and the pointer button it held.
void ReleasePad(SDL_JoystickID id) {
  for (size_t i = 0; i < Pads.size(); ++i) {
    if (Pads[i].id != id) continue;
    Pad gone = Pads[i];
    Pads.erase(Pads.begin() + long(i));
    for (int input = 0; input < PadInputCount; ++input)
      if (gone.held[input]) {
        int key = PadKeys[input];
        if (key > 0 && key < KeyCount && !KeyHeldByAnyPad(key)) {
          InjectKey(key, false);
          RecordKeyChange(key, false);
        }
      }
    if (gone.clicking) {
      InjectMouseButton(false);
      RecordPointerButton(false);
    }
    if (gone.device) SDL_GameControllerClose(gone.device);
    return;
  }
}

void OpenPad(int deviceIndex) {
  if (!SDL_IsGameController(deviceIndex)) return;
  SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
  for (const Pad& p : Pads)
    if (p.id == id && p.device) return;  // already open (SDL reports the pads present too)
  if (SDL_GameController* c = SDL_GameControllerOpen(deviceIndex)) PadOf(id).device = c;
}

// Mappings for pads SDL does not know: the user folder's file, then the environment's
// (one mapping a line), so the environment has the last word.
void LoadMappings() {
  std::string userDir = Options().userDir;
  if (!userDir.empty()) {
    std::string path = (std::filesystem::path(userDir) / GamepadMappingFile).string();
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= MaxMappingFileBytes &&
        SDL_GameControllerAddMappingsFromFile(path.c_str()) < 0)
      SDL_Log("klingenwald: %s: %s", path.c_str(), SDL_GetError());
  }
  if (const char* env = std::getenv("SDL_GAMECONTROLLERCONFIG"); env && *env) {
    std::string all = env, line;
    size_t start = 0;
    while (start < all.size()) {
      size_t end = all.find('\n', start);
      if (end == std::string::npos) end = all.size();
      line = all.substr(start, end - start);
      if (!line.empty() && line[0] != '#') SDL_GameControllerAddMapping(line.c_str());
      start = end + 1;
    }
  }
}

}  // namespace

void InitGamepads() {
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return;
  LoadMappings();
  for (int i = 0; i < SDL_NumJoysticks(); ++i) OpenPad(i);
}

void CloseGamepads() {
  while (!Pads.empty()) ReleasePad(Pads.front().id);
}

void SetGamepadKey(int padInput, int keyCode) {
  if (padInput >= 0 && padInput < PadInputCount) PadKeys[padInput] = keyCode;
}

int GamepadKey(int padInput) {
  return padInput >= 0 && padInput < PadInputCount ? PadKeys[padInput] : 0;
}

const char* PadInputName(int padInput) {
  return padInput >= 0 && padInput < PadInputCount ? PadInputNames[padInput] : "";
}

int PadInputOfName(const std::string& name) {
  for (int i = 0; i < PadInputCount; ++i)
    if (SDL_strcasecmp(name.c_str(), PadInputNames[i]) == 0) return i;
  return -1;
}

// A test's pad (number 0) goes through the same handling as a real one: buttons as
// button events (so the pointer menus see the south button and the D-pad), the rest
// as the inputs they are.
int InjectPadInput(int padInput, bool down) {
  for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b) {
    if (PadInputOfButton(b) != padInput) continue;
    SDL_Event ev{};
    ev.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
    ev.cbutton.which = 0;
    ev.cbutton.button = Uint8(b);
    bool pressed = false;
    return HandleGamepadEvent(ev, pressed);
  }
  return PressPadInput(PadOf(0), padInput, down);
}

void InjectPadLeftStick(int x, int y) {
  bool down = false;
  SDL_Event ev{};
  ev.type = SDL_CONTROLLERAXISMOTION;
  ev.caxis.which = 0;
  ev.caxis.axis = SDL_CONTROLLER_AXIS_LEFTX;
  ev.caxis.value = Sint16(std::clamp(x, -32768, 32767));
  HandleGamepadEvent(ev, down);
  ev.caxis.axis = SDL_CONTROLLER_AXIS_LEFTY;
  ev.caxis.value = Sint16(std::clamp(y, -32768, 32767));
  HandleGamepadEvent(ev, down);
}

// Pads without motors answer with an error, which is no concern of the game's.
void RumbleGamepads(int strength, int ms) {
  Uint16 power = Uint16(std::clamp(strength, 0, 100) * 65535 / 100);
  for (const Pad& p : Pads)
    if (p.device) SDL_GameControllerRumble(p.device, power, power, Uint32(std::max(ms, 0)));
}

int GamepadConnected() { return Pads.empty() ? 0 : 1; }

void UseGamepadAsPointer() { PointerFrameAsked = true; }

int HandleGamepadEvent(const SDL_Event& ev, bool& down) {
  switch (ev.type) {
    case SDL_CONTROLLERDEVICEADDED: OpenPad(ev.cdevice.which); return 0;
    case SDL_CONTROLLERDEVICEREMOVED: ReleasePad(ev.cdevice.which); return 0;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      down = ev.type == SDL_CONTROLLERBUTTONDOWN;
      return HandleButton(ev.cbutton, down);
    case SDL_CONTROLLERAXISMOTION: return HandleAxis(ev.caxis, down);
    default: return 0;
  }
}

// Once per flip: the mode for the coming frame, and in a pointer menu the pointer moves
// by the sticks and the D-pad of every pad.
void StepGamepadPointer() {
  PointerMode = PointerFrameAsked;
  PointerFrameAsked = false;
  if (!PointerMode) return;
  int dx = 0, dy = 0;
  for (const Pad& p : Pads) {
    dx += PointerSpeed(p.leftX) + PointerSpeed(p.rightX);
    dy += PointerSpeed(p.leftY) + PointerSpeed(p.rightY);
    dy += (p.pointerDpad[1] - p.pointerDpad[0]) * DpadPointerSpeed;
    dx += (p.pointerDpad[3] - p.pointerDpad[2]) * DpadPointerSpeed;
  }
  if (dx != 0 || dy != 0) {
    int x, y;
    MovePointerBy(dx, dy, x, y);
    WarpSystemPointer(x, y);
  }
}

}  // namespace kw
