// The key bindings as the game controllers see them. The start-up (after reading
// Setup.ini) and the options screen (after each new binding) call it, so a pad always
// presses the keys the keyboard is bound to.
#include "content/content.h"
#include "media/media.h"

namespace kw {

// Binding positions in Setup.ini order (see KeyBindingNames).
namespace {
constexpr int BindAbort = 0, BindPause = 1, BindDown = 9, BindUp = 10, BindLeft = 11,
              BindRight = 12, BindJump = 13, BindSword = 14, BindThrow = 15, BindSpell1 = 16;
constexpr int KeyReturn = 28;  // doors and portals are entered with Return, never rebound
}  // namespace

// The pad presses the player's own keys: A jump, B sword, X throw, Y Return (doors and
// portals), the shoulders and triggers the four spells, Start the pause menu, Back the
// pause, the D-pad and left stick walk, look and climb.
void BindGamepadToKeys(const KeyBindingRecord& k) {
  const std::pair<int, int> pad[] = {
      {PadA, k.code[BindJump]}, {PadB, k.code[BindSword]}, {PadX, k.code[BindThrow]},
      {PadY, KeyReturn},
      {PadLeftShoulder, k.code[BindSpell1]}, {PadRightShoulder, k.code[BindSpell1 + 1]},
      {PadLeftTrigger, k.code[BindSpell1 + 2]}, {PadRightTrigger, k.code[BindSpell1 + 3]},
      {PadStart, k.code[BindAbort]}, {PadBack, k.code[BindPause]},
      {PadUp, k.code[BindUp]}, {PadDown, k.code[BindDown]},
      {PadLeft, k.code[BindLeft]}, {PadRight, k.code[BindRight]}};
  for (auto [input, key] : pad) SetGamepadKey(input, key);
}

}  // namespace kw
