#include "tools/artwork/skin_picture.h"

#include <cctype>
#include <string>

#include "host/skin_layout.h"
#include "tools/artwork/palette.h"
#include "tools/artwork/pixel_font.h"

namespace rq4800::artwork {

namespace {

using namespace palette;

enum class ArrowDirection { Up, Down, Left, Right };

Rgb KeyFace(int keyCode) {
  switch (keyCode) {
    case 0: return kKeyPower;
    case 1: case 2: case 3: case 4: case 5: case 6: return kKeyApp;
    case 7: case 8: case 9: case 13: case 14: case 15: case 16: case 17: case 18: case 19: case 50:
      return kKeyFunction;
    case 39: case 47: case 48: case 49: case 51: case 52: case 53: case 56: case 57: case 58: case 59:
      return kKeyControl;
    default: return kKeyLetter;
  }
}

// A filled arrowhead on a short stem, 9 pixels long, centred on (cx, cy).
void DrawArrow(Canvas& c, int cx, int cy, ArrowDirection direction, Rgb colour) {
  int fx = 0, fy = 0;
  switch (direction) {
    case ArrowDirection::Up: fy = -1; break;
    case ArrowDirection::Down: fy = 1; break;
    case ArrowDirection::Left: fx = -1; break;
    case ArrowDirection::Right: fx = 1; break;
  }
  int sx = fy != 0 ? 1 : 0, sy = fx != 0 ? 1 : 0;
  auto plot = [&](int forward, int side) { c.Set(cx + fx * forward + sx * side, cy + fy * forward + sy * side, colour); };
  for (int forward = 1; forward <= 4; ++forward)
    for (int side = forward - 4; side <= 4 - forward; ++side) plot(forward, side);
  for (int forward = -4; forward <= 0; ++forward)
    for (int side = -1; side <= 1; ++side) plot(forward, side);
}

// The usual power sign: a ring open at the top with a bar through the gap.
void DrawPowerSign(Canvas& c, int cx, int cy, Rgb colour, Rgb face) {
  FillCircle(c, cx, cy, 6, colour);
  FillCircle(c, cx, cy, 4, face);
  FillRect(c, cx - 2, cy - 7, cx + 2, cy - 2, face);
  FillRect(c, cx - 1, cy - 8, cx, cy, colour);
}

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& ch : out) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return out;
}

void DrawKeyLegend(Canvas& c, const SkinKeyRegion& key, int shift, Rgb face) {
  const SkinKeyLabel* label = FindSkinKeyLabel(key.keyCode);
  if (!label) return;
  // Face interior, inclusive, and its centre.
  int left = key.x1 + 1 + shift, right = key.x2 - 2 + shift;
  int top = key.y1 + 1 + shift, bottom = key.y2 - 2 + shift;
  int cx = (left + right) / 2, cy = (top + bottom + 1) / 2;
  std::string text = Upper(label->label);
  std::string_view alt = label->alt;
  if (key.keyCode == 0) {
    DrawPowerSign(c, cx, cy, kInkOnPower, face);
    return;
  }
  bool arrow = true;
  ArrowDirection direction = ArrowDirection::Up;
  if (text == "UP") direction = ArrowDirection::Up;
  else if (text == "DOWN") direction = ArrowDirection::Down;
  else if (text == "LEFT") direction = ArrowDirection::Left;
  else if (text == "RIGHT") direction = ArrowDirection::Right;
  else arrow = false;
  // A shared key keeps its main legend left of centre and its second legend
  // small in the upper right corner, as calculator keyboards do.
  int mainShift = alt.empty() ? 0 : -3;
  if (arrow) {
    DrawArrow(c, cx + mainShift, cy, direction, kInk);
  } else {
    int w = TextWidth(kLabelFont, text);
    DrawText(c, kLabelFont, cx + mainShift - (w - 1) / 2, cy - 3, text, kInk);
  }
  if (!alt.empty()) {
    int w = TextWidth(kSmallFont, alt);
    DrawText(c, kSmallFont, right - 1 - w, top + 1, alt, kInkAlternate);
  }
}

// Key face inside x1..x2-1, y1..y2-1 with a drop shadow one pixel down and
// right; pressed, the face moves onto the shadow and darkens, so the whole key
// stays inside its region and inside the highlight the front end copies.
void DrawKey(Canvas& c, const SkinKeyRegion& key, bool pressed) {
  int shift = pressed ? 1 : 0;
  Rgb face = pressed ? Shade(KeyFace(key.keyCode), 80) : KeyFace(key.keyCode);
  int x1 = key.x1 + shift, y1 = key.y1 + shift, x2 = key.x2 - 1 + shift, y2 = key.y2 - 1 + shift;
  if (!pressed) FillRoundRect(c, key.x1 + 1, key.y1 + 1, key.x2, key.y2, 3, kKeyShadow);
  FillRoundRect(c, x1, y1, x2, y2, 3, Shade(face, 62));
  FillRoundRect(c, x1 + 1, y1 + 1, x2 - 1, y2 - 1, 2, face);
  if (pressed) {
    FillRect(c, x1 + 2, y1 + 1, x2 - 2, y1 + 1, Shade(face, 70));  // the rim's shadow on a sunken key
  } else {
    FillRect(c, x1 + 2, y1 + 1, x2 - 2, y1 + 1, Shade(face, 115));
    FillRect(c, x1 + 2, y2 - 1, x2 - 2, y2 - 1, Shade(face, 85));
  }
  DrawKeyLegend(c, key, shift, face);
}

void DrawBody(Canvas& c) {
  int w = c.width, h = c.height;
  FillRoundRect(c, 1, 1, w - 2, h - 2, 28, kBodyDark);
  FillRoundRect(c, 1, 1, w - 4, h - 4, 27, kBodyLight);
  FillRoundRect(c, 3, 3, w - 4, h - 4, 26, kBody);
  // A groove where the lid meets the base.
  FillRect(c, 10, 266, w - 11, 266, kBodyDark);
  FillRect(c, 10, 267, w - 11, 267, Shade(kBodyLight, 90));
}

void DrawScreenArea(Canvas& c) {
  FillRoundRect(c, 16, 20, 419, 208, 10, Shade(kBezel, 160));
  FillRoundRect(c, 17, 21, 418, 207, 9, kBezel);
  FrameRect(c, skin::kPanelLeft - 1, skin::kPanelTop - 1, skin::kPanelRight + 1, skin::kPanelBottom + 1, Shade(kPanel, 45));
  FillRect(c, skin::kPanelLeft, skin::kPanelTop, skin::kPanelRight, skin::kPanelBottom, kPanel);
  // Loudspeaker holes right of the screen.
  for (int y = 44; y <= 184; y += 7)
    for (int x = 432; x <= 450; x += 6) FillCircle(c, x, y, 1, kGrille);
  DrawText(c, kLabelFont, 22, 226, "RQ4800", kLettering, 2);
  DrawText(c, kSmallFont, 22, 246, "HANDHELD", kLettering);
}

void DrawBodyLettering(Canvas& c) {
  // The power key carries only its sign; its name is printed above it.
  DrawText(c, kSmallFont, 183 - TextWidth(kSmallFont, "ON") / 2, 316, "ON", kLettering);
  FillRoundRect(c, 19, 441, 450, 583, 8, kKeyboardPlate);
}

}  // namespace

Canvas DrawSkin(bool keysPressed) {
  Canvas c(skin::kFrameWidth, skin::kFrameHeight, kBackdrop);
  DrawBody(c);
  DrawScreenArea(c);
  DrawBodyLettering(c);
  for (const SkinKeyRegion& key : skinKeyRegions) DrawKey(c, key, keysPressed);
  return c;
}

Canvas DrawProgramIcon(int size) {
  Canvas c(size, size, kBackdrop);
  int m = size / 12;
  FillRoundRect(c, m, 0, size - 1 - m, size - 1, size / 8, kBodyDark);
  FillRoundRect(c, m, 0, size - 2 - m, size - 2, size / 8, kBody);
  int screenBottom = size * 45 / 100;
  FillRect(c, 2 * m, m, size - 1 - 2 * m, screenBottom, kBezel);
  FillRect(c, 2 * m + 2, m + 2, size - 3 - 2 * m, screenBottom - 2, kPanel);
  // Two lines of "text" on the little screen.
  for (int x = 2 * m + 4; x < size - 4 - 2 * m; x += 3) {
    FillRect(c, x, m + 4, x + 1, m + 5, kInk);
    if (x < size / 2) FillRect(c, x, m + 8, x + 1, m + 9, kInk);
  }
  int keyW = (size - 4 * m) / 6, keyH = (size - screenBottom - 3 * m) / 4;
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 6; ++col) {
      int x = 2 * m + col * keyW, y = screenBottom + m + 2 + row * keyH;
      FillRect(c, x, y, x + keyW - 2, y + keyH - 2, row == 3 && col == 0 ? kKeyPower : kKeyLetter);
    }
  return c;
}

}  // namespace rq4800::artwork
