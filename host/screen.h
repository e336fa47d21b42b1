#pragma once
// The picture the window shows: the skin (a drawing of the whole device) with
// the device's LCD painted into it.
//
// The LCD memory is RAM 0x09C0..0x0FFF, 80 rows of 20 bytes, bit 7 of each
// byte the leftmost dot. Dot 0 of a row (bit 7 of its first byte) is never
// shown as a dot: it switches that row's status icon. Each dot is a 2 x 2
// block of frame pixels; the icons sit in two strips beside the dot field
// and in the left strip's seven-segment clock.
//
//   x  29        75                        395   406
//   y 34 +--------+--------------------------+-----+
//        | icons  |   160 x 80 dots          |icons|
//  193   +--------+--------------------------+-----+
#include <array>
#include <cstdint>

#include "host/image.h"

namespace rq4800 {

struct ResourceStore;

// Where icon r (switched by LCD row r) is drawn: the glyph slot, its top-left
// in the frame, and the size of its picture (0 x 0 when the picture is missing).
struct IconRecord {
  int glyph = 0;
  int x = 0, y = 0;
  int width = 0, height = 0;
};

// Called by PaintLcd with the finished frame; the front end shows it.
using FrameSink = void (*)(void* context, const Image& frame);

struct Screen {
  static constexpr int kGlyphSlots = 40;  // slot = resource id - 120
  static constexpr int kIcons = 80;

  Image frameBuffer;  // 470 x 611, bottom-up like every Image
  Image skinNormal;   // resource 118: the whole device
  Image skinPressed;  // resource 119: the keyboard half, keys pressed, rows 301..610
  Image stripBackground;  // resource 154: backgrounds of the two icon strips
  std::array<Image, kGlyphSlots> glyphs;
  std::array<IconRecord, kIcons> iconTable;
  uint32_t onColour = 0;
  uint32_t offColour = 0;

  FrameSink sink = nullptr;  // none: the front end takes frameBuffer itself
  void* sinkContext = nullptr;
};

// frame(x + i, y + j) = image(i, j): the top-left w x h of image.
// BlitRegion takes the source rectangle from (sx, sy) instead. Both copy
// straight, alpha ignored; parts that would fall outside the source or the
// frame are left out, so a missing or undersized picture draws less, never
// past its end.
void Blit(Image& frame, const Image& image, int x, int y, int w, int h);
void BlitRegion(Image& frame, const Image& image, int x, int y, int w, int h, int sx, int sy);

// Loads the glyph pictures, the strip background, and fills iconTable.
void LoadGlyphs(Screen& screen, const ResourceStore& resources);

// The start-up set-up: colours, frame buffer, skins, glyphs, and the
// recolouring that turns every picture pixel other than pure black into the
// LCD's off colour. Returns false (and says which in the debug log) when a
// picture is missing or has the wrong size; the screen is still usable.
bool SetUpScreen(Screen& screen, const ResourceStore& resources);

// Repaints the whole LCD panel (strips, icons, dots) from the 1,600 bytes of
// LCD memory at lcd, then hands the frame to the sink if one is set.
// Allocates nothing.
void PaintLcd(Screen& screen, const uint8_t* lcd);

// Copies the keyboard half of the normal skin (rows 290..610) back into the
// frame, which removes any pressed-key highlight.
void RestoreKeyboard(Screen& screen);

}  // namespace rq4800
