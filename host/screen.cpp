#include "host/screen.h"

#include <algorithm>
#include <cstring>

#include "core/debug_log.h"
#include "host/skin_layout.h"
#include "machine/resource_store.h"

namespace rq4800 {

namespace {

constexpr int kFirstGlyphId = 120;
constexpr int kLcdRowBytes = 20;

// Icon r is switched by bit 7 of LCD row r: its picture and top-left corner.
// The seven-segment clock digits have bases x = 32, 43, 54, 65; several icons
// share one picture.
struct IconPlacement {
  int resourceId;
  int x, y;
};

constexpr IconPlacement kIconPlacements[Screen::kIcons] = {
    {144, 32, 36},   //  0 digit 1 upper left
    {145, 32, 36},   //  1 digit 1 top
    {144, 38, 36},   //  2 digit 1 upper right
    {145, 32, 45},   //  3 digit 1 middle
    {149, 396, 40},  //  4 level step 1
    {144, 43, 36},   //  5 digit 2 upper left
    {145, 43, 36},   //  6 digit 2 top
    {144, 49, 36},   //  7 digit 2 upper right
    {145, 43, 45},   //  8 digit 2 middle
    {152, 51, 40},   //  9 colon
    {144, 54, 36},   // 10 digit 3 upper left
    {145, 54, 36},   // 11 digit 3 top
    {149, 396, 56},  // 12 level step 2
    {144, 60, 36},   // 13 digit 3 upper right
    {145, 54, 45},   // 14 digit 3 middle
    {144, 65, 36},   // 15 digit 4 upper left
    {145, 65, 36},   // 16 digit 4 top
    {144, 71, 36},   // 17 digit 4 upper right
    {145, 65, 45},   // 18 digit 4 middle
    {144, 71, 45},   // 19 digit 4 lower right
    {149, 396, 72},  // 20 level step 3
    {145, 65, 54},   // 21 digit 4 bottom
    {144, 65, 45},   // 22 digit 4 lower left
    {153, 62, 52},   // 23 point after digit 3
    {144, 60, 45},   // 24 digit 3 lower right
    {145, 54, 54},   // 25 digit 3 bottom
    {144, 54, 45},   // 26 digit 3 lower left
    {153, 51, 52},   // 27 point after digit 2
    {149, 396, 88},  // 28 level step 4
    {144, 49, 45},   // 29 digit 2 lower right
    {145, 43, 54},   // 30 digit 2 bottom
    {144, 43, 45},   // 31 digit 2 lower left
    {153, 40, 52},   // 32 point after digit 1
    {144, 38, 45},   // 33 digit 1 lower right
    {145, 32, 54},   // 34 digit 1 bottom
    {144, 32, 45},   // 35 digit 1 lower left
    {149, 396, 104}, // 36 level step 5
    {121, 59, 56},   // 37 star
    {120, 46, 56},   // 38 two upward arrowheads
    {122, 44, 67},   // 39 NUM
    {123, 44, 76},   // 40 three-letter label
    {124, 44, 85},   // 41 CAPS
    {125, 44, 95},   // 42 SHIFT
    {151, 34, 66},   // 43 scroll mark 1
    {149, 396, 120}, // 44 level step 6
    {151, 34, 78},   // 45 scroll mark 2
    {127, 61, 105},  // 46 lightning flash
    {126, 46, 105},  // 47 bell
    {129, 62, 118},  // 48 musical note
    {130, 46, 118},  // 49 dot between arcs
    {131, 61, 129},  // 50 loudspeaker
    {128, 46, 129},  // 51 symbol in round brackets
    {149, 396, 136}, // 52 level step 7
    {141, 61, 139},  // 53 pen
    {132, 46, 139},  // 54 two reels
    {133, 46, 149},  // 55 solid bar
    {151, 34, 90},   // 56 scroll mark 3
    {151, 34, 126},  // 57 scroll mark 6
    {134, 46, 154},  // 58 small framed symbol
    {135, 61, 154},  // 59 key
    {149, 396, 152}, // 60 level step 8
    {136, 46, 163},  // 61 two left-pointing triangles
    {137, 61, 163},  // 62 two right-pointing triangles
    {139, 64, 174},  // 63 left arrow
    {138, 46, 173},  // 64 two downward arrowheads
    {146, 32, 56},   // 65 scroll-bar frame (painted first, under all others)
    {148, 33, 174},  // 66 scroll-bar down arrow
    {142, 40, 184},  // 67 bar cell 1
    {149, 396, 168}, // 68 level step 9
    {142, 50, 184},  // 69 bar cell 2
    {143, 395, 174}, // 70 right arrow
    {142, 60, 184},  // 71 bar cell 3
    {140, 32, 183},  // 72 horizontal bar frame
    {151, 34, 162},  // 73 scroll mark 9
    {149, 396, 184}, // 74 level step 10
    {151, 34, 150},  // 75 scroll mark 8
    {151, 34, 138},  // 76 scroll mark 7
    {151, 34, 114},  // 77 scroll mark 5
    {151, 34, 102},  // 78 scroll mark 4
    {147, 33, 57},   // 79 scroll-bar up arrow
};

constexpr int kScrollBarFrameIcon = 65;

// The icons are LCD segments: whatever colours a picture was drawn in, only
// its pure black shows as a set segment; everything else is the panel green.
void Recolour(Image& image, uint32_t offColour) {
  for (uint32_t& pixel : image.pixels) {
    if (pixel != 0xFF000000u) pixel = offColour;
  }
}

bool LoadPicture(Image& image, const ResourceStore& resources, int id, int width, int height) {
  image = LoadBitmapResource(resources, id);
  if (!image.Loaded()) {
    DebugLog("picture %d is missing or unreadable\n", id);
    return false;
  }
  if (image.width != width || image.height != height) {
    DebugLog("picture %d is %dx%d, not %dx%d\n", id, image.width, image.height, width, height);
    return false;
  }
  return true;
}

void DrawIcon(Screen& screen, int row) {
  const IconRecord& icon = screen.iconTable[row];
  Blit(screen.frameBuffer, screen.glyphs[icon.glyph], icon.x, icon.y, icon.width, icon.height);
}

}  // namespace

void BlitRegion(Image& frame, const Image& image, int x, int y, int w, int h, int sx, int sy) {
  // Trim the rectangle to what both pictures hold.
  if (sx < 0) { x -= sx; w += sx; sx = 0; }
  if (sy < 0) { y -= sy; h += sy; sy = 0; }
  if (x < 0) { sx -= x; w += x; x = 0; }
  if (y < 0) { sy -= y; h += y; y = 0; }
  w = std::min({w, image.width - sx, frame.width - x});
  h = std::min({h, image.height - sy, frame.height - y});
  if (w <= 0 || h <= 0) return;
  for (int j = 0; j < h; ++j) {
    std::memcpy(&frame.At(x, y + j), &image.At(sx, sy + j), static_cast<size_t>(w) * sizeof(uint32_t));
  }
}

void Blit(Image& frame, const Image& image, int x, int y, int w, int h) {
  BlitRegion(frame, image, x, y, w, h, 0, 0);
}

void LoadGlyphs(Screen& screen, const ResourceStore& resources) {
  for (const GlyphPicture& picture : glyphPictures) {
    LoadPicture(screen.glyphs[picture.resourceId - kFirstGlyphId], resources, picture.resourceId, picture.width,
                picture.height);
  }
  LoadPicture(screen.stripBackground, resources, resource::kStripBackground, skin::kStripBackgroundWidth,
              skin::kStripBackgroundHeight);
  for (int r = 0; r < Screen::kIcons; ++r) {
    const IconPlacement& place = kIconPlacements[r];
    IconRecord& icon = screen.iconTable[r];
    icon.glyph = place.resourceId - kFirstGlyphId;
    icon.x = place.x;
    icon.y = place.y;
    // The record takes the size of the picture as loaded; a missing one draws nothing.
    icon.width = screen.glyphs[icon.glyph].width;
    icon.height = screen.glyphs[icon.glyph].height;
  }
}

bool SetUpScreen(Screen& screen, const ResourceStore& resources) {
  screen.onColour = skin::kOnColour;
  screen.offColour = skin::kOffColour;
  screen.frameBuffer = MakeImage(skin::kFrameWidth, skin::kFrameHeight, 0xFF000000u);
  bool complete = LoadPicture(screen.skinNormal, resources, resource::kSkinNormal, skin::kFrameWidth,
                              skin::kFrameHeight);
  complete &= LoadPicture(screen.skinPressed, resources, resource::kSkinPressed, skin::kFrameWidth,
                          skin::kPressedHeight);
  Blit(screen.frameBuffer, screen.skinNormal, 0, 0, skin::kFrameWidth, skin::kFrameHeight);
  LoadGlyphs(screen, resources);
  for (const GlyphPicture& picture : glyphPictures) {
    Image& glyph = screen.glyphs[picture.resourceId - kFirstGlyphId];
    complete &= glyph.width == picture.width && glyph.height == picture.height;
    Recolour(glyph, screen.offColour);
  }
  complete &= screen.stripBackground.Loaded();
  Recolour(screen.stripBackground, screen.offColour);
  return complete;
}

void PaintLcd(Screen& screen, const uint8_t* lcd) {
  Image& frame = screen.frameBuffer;
  Blit(frame, screen.stripBackground, skin::kLeftStripX, skin::kPanelTop, skin::kLeftStripWidth, skin::kPanelHeight);
  Blit(frame, screen.stripBackground, skin::kRightStripX, skin::kPanelTop, skin::kRightStripWidth,
       skin::kPanelHeight);

  // The scroll-bar frame lies under everything; among the rest, lower rows
  // are drawn last and so lie on top where icons overlap.
  if (lcd[kLcdRowBytes * kScrollBarFrameIcon] & 0x80) DrawIcon(screen, kScrollBarFrameIcon);
  for (int r = Screen::kIcons - 1; r >= 0; --r) {
    if (r != kScrollBarFrameIcon && (lcd[kLcdRowBytes * r] & 0x80)) DrawIcon(screen, r);
  }

  if (frame.width < skin::kDotFieldX + skin::kDotFieldWidth ||
      frame.height < skin::kDotFieldY + skin::kDotFieldHeight) {
    return;  // no frame buffer yet: nothing to paint the dots into
  }
  const uint32_t palette[2] = {screen.offColour, screen.onColour};
  for (int r = 0; r < skin::kDotRows; ++r) {
    const uint8_t* row = lcd + kLcdRowBytes * r;
    uint32_t* out = &frame.At(skin::kDotFieldX, skin::kDotFieldY + 2 * r);
    for (int k = 0; k < kLcdRowBytes; ++k) {
      // Dot 0 is the icon switch, always shown clear.
      const unsigned b = k == 0 ? row[0] & 0x7F : row[k];
      for (int bit = 7; bit >= 0; --bit) {
        const uint32_t colour = palette[(b >> bit) & 1];
        *out++ = colour;
        *out++ = colour;
      }
    }
    std::memcpy(&frame.At(skin::kDotFieldX, skin::kDotFieldY + 2 * r + 1),
                &frame.At(skin::kDotFieldX, skin::kDotFieldY + 2 * r), skin::kDotFieldWidth * sizeof(uint32_t));
  }

  if (screen.sink) screen.sink(screen.sinkContext, frame);
}

void RestoreKeyboard(Screen& screen) {
  const int rows = skin::kFrameHeight - skin::kKeyboardRestoreTop;
  BlitRegion(screen.frameBuffer, screen.skinNormal, 0, skin::kKeyboardRestoreTop, skin::kFrameWidth, rows, 0,
             skin::kKeyboardRestoreTop);
}

}  // namespace rq4800
