// The pictures the build draws for the program: the sizes and depths the
// screen code relies on, a skin whose keys sit where clicks land, a pressed
// keyboard that lines up with it, and glyphs that survive the LCD recolouring.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/skin_layout.h"
#include "machine/resource_store.h"
#include "tools/artwork/palette.h"

namespace rq4800 {
namespace {

using artwork::Rgb;
namespace palette = artwork::palette;

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// A decoded picture file, top row first, with the header facts under test.
struct Picture {
  int width = 0, height = 0, bitsPerPixel = 0;
  std::vector<Rgb> pixels;
  Rgb At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Reads a generated file, checking its headers as it goes; a failed check
// leaves an empty picture.
Picture Load(int id) {
  std::string path = std::string(RQ4800_BINARY_DIR) + "/tools/artwork/pictures/picture_" + std::to_string(id) + ".bmp";
  std::ifstream file(path, std::ios::binary);
  std::vector<uint8_t> b((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  Picture p;
  EXPECT_GE(b.size(), 54u) << path;
  if (b.size() < 54) return p;
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(U32(b, 14), 40u) << "information header size";
  EXPECT_EQ(U32(b, 30), 0u) << "compression";
  int width = static_cast<int32_t>(U32(b, 18)), height = static_cast<int32_t>(U32(b, 22));
  int bits = b[28] | b[29] << 8;
  uint32_t offset = U32(b, 10);
  EXPECT_GT(height, 0) << "rows must be stored bottom-up";
  size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
  EXPECT_EQ(offset, bits == 4 ? 54u + 64u : 54u);
  EXPECT_EQ(b.size(), offset + stride * height) << "file length against header, id " << id;
  EXPECT_EQ(U32(b, 2), b.size());
  if (width <= 0 || height <= 0 || b.size() != offset + stride * height || (bits != 24 && bits != 4)) return p;
  p.width = width;
  p.height = height;
  p.bitsPerPixel = bits;
  for (int y = 0; y < height; ++y) {
    size_t row = offset + stride * (height - 1 - y);
    for (int x = 0; x < width; ++x) {
      if (bits == 24) {
        size_t at = row + 3 * x;
        p.pixels.push_back({b[at + 2], b[at + 1], b[at]});
      } else {
        uint8_t byte = b[row + x / 2];
        size_t entry = 54 + 4 * static_cast<size_t>(x % 2 == 0 ? byte >> 4 : byte & 15);
        p.pixels.push_back({b[entry + 2], b[entry + 1], b[entry]});
      }
    }
  }
  return p;
}

// Legend colours; the power key's white sign is counted on that key alone,
// since white also lights the keys' upper edges.
bool IsInk(Rgb c) { return c == palette::kInk || c == palette::kInkAlternate; }
bool IsInkOn(int keyCode, Rgb c) { return keyCode == 0 ? c == palette::kInkOnPower : IsInk(c); }

bool InsideSomeKey(int x, int y) {
  for (const SkinKeyRegion& k : skinKeyRegions)
    if (x >= k.x1 && x <= k.x2 && y >= k.y1 && y <= k.y2) return true;
  return false;
}

// The same highlight rectangle the mouse handler copies from the pressed picture.
bool InsideSomeHighlight(int x, int y) {
  for (const SkinKeyRegion& k : skinKeyRegions)
    if (x >= k.x1 - 2 && x <= k.x2 + 1 && y >= k.y1 - 2 && y <= k.y2 + 1) return true;
  return false;
}

// The layout both the drawing and the mouse handler use: a key drawn over
// another's region, or a key in the pressed-picture's blind spot, would make a
// click press or light the wrong key.
TEST(Artwork, KeyRegionsAreDistinctAndInsideThePressedPicture) {
  bool seen[60] = {};
  for (size_t i = 0; i < std::size(skinKeyRegions); ++i) {
    const SkinKeyRegion& a = skinKeyRegions[i];
    ASSERT_TRUE(a.keyCode >= 0 && a.keyCode < 60 && a.keyCode / 10 < 6);
    EXPECT_FALSE(a.keyCode >= 10 && a.keyCode <= 12) << "codes 10..12 have no key";
    EXPECT_FALSE(seen[a.keyCode]) << "key " << a.keyCode << " twice";
    seen[a.keyCode] = true;
    EXPECT_GE(a.y1 - 2, skin::kPressedTop) << "highlight of key " << a.keyCode << " starts above the pressed picture";
    EXPECT_LE(a.x2 + 1, skin::kFrameWidth - 1);
    EXPECT_LE(a.y2 + 1, skin::kFrameHeight - 1);
    const SkinKeyLabel* label = FindSkinKeyLabel(a.keyCode);
    ASSERT_NE(label, nullptr) << "key " << a.keyCode;
    EXPECT_LE(std::string(label->label).size(), 5u);
    for (size_t j = i + 1; j < std::size(skinKeyRegions); ++j) {
      const SkinKeyRegion& b = skinKeyRegions[j];
      bool apart = a.x2 < b.x1 || b.x2 < a.x1 || a.y2 < b.y1 || b.y2 < a.y1;
      EXPECT_TRUE(apart) << "keys " << a.keyCode << " and " << b.keyCode << " overlap";
    }
  }
}

TEST(Artwork, PicturesHaveTheSizesAndDepthsTheScreenLoads) {
  struct Expected { int id, width, height, bits; };
  std::vector<Expected> expected = {
      {resource::kSkinNormal, 470, 611, 24},
      {resource::kSkinPressed, 470, 310, 24},
      {resource::kStripBackground, 171, 164, 24},
  };
  for (const GlyphPicture& g : glyphPictures) expected.push_back({g.resourceId, g.width, g.height, g.bitsPerPixel});
  for (const Expected& e : expected) {
    Picture p = Load(e.id);
    EXPECT_EQ(p.width, e.width) << "id " << e.id;
    EXPECT_EQ(p.height, e.height) << "id " << e.id;
    EXPECT_EQ(p.bitsPerPixel, e.bits) << "id " << e.id;
  }
  Picture icon = Load(resource::kProgramIcon);
  EXPECT_EQ(icon.bitsPerPixel, 24);
  EXPECT_EQ(icon.width, icon.height);
  EXPECT_GE(icon.width, 32);
}

TEST(Artwork, PanelAndStripBackgroundAreTheClearDotColour) {
  Picture skin = Load(resource::kSkinNormal);
  Picture strip = Load(resource::kStripBackground);
  ASSERT_EQ(skin.width, skin::kFrameWidth);
  ASSERT_EQ(strip.width, skin::kStripBackgroundWidth);
  constexpr Rgb offColour{(skin::kOffColour >> 16) & 0xFF, (skin::kOffColour >> 8) & 0xFF, skin::kOffColour & 0xFF};
  int wrong = 0;
  for (int y = skin::kPanelTop; y <= skin::kPanelBottom; ++y)
    for (int x = skin::kPanelLeft; x <= skin::kPanelRight; ++x) wrong += !(skin.At(x, y) == offColour);
  EXPECT_EQ(wrong, 0) << "panel pixels not offColour";
  // Just outside the panel is the frame around the glass, not more panel.
  EXPECT_FALSE(skin.At(skin::kPanelLeft - 1, skin::kPanelTop) == offColour);
  EXPECT_FALSE(skin.At(skin::kPanelRight + 1, skin::kPanelBottom) == offColour);
  for (const Rgb& c : strip.pixels) ASSERT_EQ(c, offColour);
}

TEST(Artwork, EveryKeyCarriesALegendInsideItsClickRegion) {
  Picture skin = Load(resource::kSkinNormal);
  ASSERT_EQ(skin.height, skin::kFrameHeight);
  for (const SkinKeyRegion& k : skinKeyRegions) {
    int ink = 0;
    for (int y = k.y1 + 1; y < k.y2; ++y)
      for (int x = k.x1 + 1; x < k.x2; ++x) ink += IsInkOn(k.keyCode, skin.At(x, y));
    EXPECT_GE(ink, 4) << "key " << k.keyCode << " has no legible legend";
  }
  // No legend strays onto the body, where it would label nothing.
  for (int y = skin::kKeyboardRestoreTop; y < skin::kFrameHeight; ++y)
    for (int x = 0; x < skin::kFrameWidth; ++x)
      if (IsInk(skin.At(x, y))) {
        ASSERT_TRUE(InsideSomeKey(x, y)) << "legend ink at " << x << "," << y;
      }
}

TEST(Artwork, GapsBetweenNeighbouringKeysAreBody) {
  Picture skin = Load(resource::kSkinNormal);
  ASSERT_EQ(skin.height, skin::kFrameHeight);
  auto bodyAt = [](int y) { return y >= 451 ? palette::kKeyboardPlate : palette::kBody; };
  for (size_t i = 0; i + 1 < std::size(skinKeyRegions); ++i) {
    const SkinKeyRegion& a = skinKeyRegions[i];
    const SkinKeyRegion& b = skinKeyRegions[i + 1];
    if (a.y1 != b.y1 || b.x1 <= a.x2) continue;  // not side by side
    for (int y = a.y1; y <= std::min(a.y2, b.y2); ++y)
      for (int x = a.x2 + 1; x < b.x1; ++x)
        ASSERT_EQ(skin.At(x, y), bodyAt(y)) << "between keys " << a.keyCode << " and " << b.keyCode << " at " << x << "," << y;
  }
  // Between the four main rows, e.g. under Q and above A.
  for (int code = 20; code < 50; ++code) {
    const SkinKeyRegion& above = skinKeyRegions[17 + (code - 20)];
    const SkinKeyRegion& below = skinKeyRegions[17 + (code - 10)];
    ASSERT_EQ(above.keyCode, code);
    for (int y = above.y2 + 1; y < below.y1; ++y)
      for (int x = above.x1; x <= above.x2; ++x) ASSERT_EQ(skin.At(x, y), palette::kKeyboardPlate) << x << "," << y;
  }
}

TEST(Artwork, PressedKeyboardLinesUpWithTheSkin) {
  Picture normal = Load(resource::kSkinNormal);
  Picture pressed = Load(resource::kSkinPressed);
  ASSERT_EQ(normal.height, skin::kFrameHeight);
  ASSERT_EQ(pressed.height, skin::kPressedHeight);
  // Outside the highlights the two pictures must agree, or a click would
  // paste a stray edge of another drawing into the window.
  for (int y = 0; y < skin::kPressedHeight; ++y)
    for (int x = 0; x < skin::kFrameWidth; ++x)
      if (!InsideSomeHighlight(x, y + skin::kPressedTop)) {
        ASSERT_EQ(pressed.At(x, y), normal.At(x, y + skin::kPressedTop)) << x << "," << y + skin::kPressedTop;
      }
  // Inside each highlight the key looks different, and keeps its legend.
  for (const SkinKeyRegion& k : skinKeyRegions) {
    int changed = 0, ink = 0;
    for (int y = k.y1 - 2; y <= k.y2 + 1; ++y)
      for (int x = k.x1 - 2; x <= k.x2 + 1; ++x) {
        Rgb p = pressed.At(x, y - skin::kPressedTop);
        changed += !(p == normal.At(x, y));
        ink += IsInkOn(k.keyCode, p);
      }
    EXPECT_GT(changed, (k.x2 - k.x1) * (k.y2 - k.y1) / 2) << "key " << k.keyCode << " barely changes when pressed";
    EXPECT_GE(ink, 4) << "key " << k.keyCode << " loses its legend when pressed";
  }
}

TEST(Artwork, GlyphsAreBlackOnWhite) {
  for (const GlyphPicture& g : glyphPictures) {
    Picture p = Load(g.resourceId);
    ASSERT_EQ(p.width, g.width) << g.resourceId;
    int black = 0;
    for (const Rgb& c : p.pixels) {
      // Anything near black but not pure black would vanish into the LCD green.
      ASSERT_TRUE(c == palette::kGlyphInk || c == palette::kGlyphPaper) << "glyph " << g.resourceId;
      black += c == palette::kGlyphInk;
    }
    EXPECT_GT(black, 0) << "glyph " << g.resourceId << " would paint as a blank rectangle";
    // Digit segments and level bars are solid strokes: a gap would break the digit.
    bool solid = g.resourceId == 144 || g.resourceId == 145 || g.resourceId == 149 || g.resourceId == 133;
    if (solid) {
      EXPECT_EQ(black, g.width * g.height) << "glyph " << g.resourceId;
    }
  }
}

}  // namespace
}  // namespace rq4800
