// The player figure's frame: which part of the figure sheets the world pass draws and
// tests this frame. Called by DrawWorld early in its pass.
#include "media/media.h"
#include "play/play.h"

namespace kw {

namespace {

constexpr int FrameW = 42, FrameH = 58;

// Clips the working figure 323 and its touch mask 438 to the same frame.
void ClipFigure(int x, int y) {
  SetSpriteClip(323, x, y, FrameW, FrameH);
  SetSpriteClip(438, x, y, FrameW, FrameH);
}

// The hurt pose: one frame per side, the touch mask's hurt shape at the top left.
void SelectHurtFrame(const PlayerRecord& p) {
  if (p.facing == 4) {
    SetSpriteClip(323, 43, 232, FrameW, FrameH);
    SetSpriteClip(438, 43, 0, FrameW, FrameH);
  } else if (p.facing == 6) {
    SetSpriteClip(323, 0, 232, FrameW, FrameH);
    SetSpriteClip(438, 0, 0, FrameW, FrameH);
  } else if (p.facing == 2 && LastSide == 6) {
    ClipFigure(0, 0);
  } else if (p.facing == 2 && LastSide == 4) {
    ClipFigure(43, 0);
  }
}

}  // namespace

int SelectPlayerFrame() {
  const PlayerRecord& p = P();
  // Looking down keeps the side the figure last walked to.
  bool left = p.facing == 4 || (p.facing == 2 && LastSide == 4);
  int x = p.frameX + (left ? 43 : 0);
  if (p.smallForm == 0) {
    DuplicateSprite(AltSheet == 1 ? 437 : 324, 323);
    if (HurtTime > 0) {
      SelectHurtFrame(p);
    } else if (p.facing != 8) {
      ClipFigure(x, p.animFrame * 57);
      SetSpriteClip(333, x, p.swordRow * 58, FrameW, FrameH);
    }
  }
  if (p.smallForm == 1) {
    DuplicateSprite(325, 323);
    if (LastSide == 4) SetSpriteClip(323, 22, 0, 30, 30);
    if (LastSide == 6) SetSpriteClip(323, 63, 0, 30, 30);
  }
  if (p.smallForm == 0 && p.throwPose == 1 && p.facing != 8) {
    ClipFigure(x, 172);
    SetSpriteClip(333, x, p.swordRow * 58 + 172, FrameW, FrameH);
  }
  return 0;
}

}  // namespace kw
