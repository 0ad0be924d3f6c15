// The key bindings as the game controllers see them. The start-up (after reading
// Setup.ini) and the options screen (after each new binding) call it, so a pad always
// presses the keys the keyboard is bound to.
#include "content/content.h"
#include "media/media.h"

namespace kw {

// The pad presses the player's own keys: A jump, B sword, X throw, Y Return (doors and
// portals), the shoulders and triggers the four spells, Start the pause menu, Back the
// pause, the D-pad and left stick walk, look and climb; clicking the left stick saves,
// the right stick loads, the guide button restarts, and the right stick's directions are
// the page and text-size keys. So all twenty actions are on the pad.
void BindGamepadToKeys(const KeyBindingRecord& k) {
  const std::pair<int, int> pad[] = {
      {PadA, k.code[Bind::Jump]},          {PadB, k.code[Bind::Sword]},
      {PadX, k.code[Bind::Throw]},         {PadY, Key::Return},  // doors and portals
      {PadLeftShoulder, k.code[Bind::Spell1]}, {PadRightShoulder, k.code[Bind::Spell2]},
      {PadLeftTrigger, k.code[Bind::Spell3]},  {PadRightTrigger, k.code[Bind::Spell4]},
      {PadStart, k.code[Bind::Cancel]},    {PadBack, k.code[Bind::Pause]},
      {PadUp, k.code[Bind::Up]},           {PadDown, k.code[Bind::Down]},
      {PadLeft, k.code[Bind::Left]},       {PadRight, k.code[Bind::Right]},
      {PadLeftStick, k.code[Bind::Save]},  {PadRightStick, k.code[Bind::Load]},
      {PadGuide, k.code[Bind::Restart]},
      {PadRightUp, k.code[Bind::PageUp]},  {PadRightDown, k.code[Bind::PageDown]},
      {PadRightLeft, k.code[Bind::TextMinus]}, {PadRightRight, k.code[Bind::TextPlus]}};
  for (auto [input, key] : pad) SetGamepadKey(input, key);
}

}  // namespace kw
