// The pictures the build draws, read through the screen's own loader: the
// sizes and depths it expects, a panel in the clear-dot colour, a legend inside
// every click region, and a pressed keyboard that lines up with the skin.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "host/image.h"
#include "host/skin_layout.h"
#include "machine/resource_store.h"
#include "tools/artwork/palette.h"

namespace rq4800 {
namespace {

namespace palette = artwork::palette;

uint32_t Argb(artwork::Rgb c) { return 0xFF000000u | c.r << 16 | c.g << 8 | c.b; }

Image Load(int id, int* bits = nullptr) {
  std::ifstream file(std::string(RQ4800_BINARY_DIR) + "/tools/artwork/pictures/picture_" + std::to_string(id) + ".bmp",
                     std::ios::binary);
  const std::vector<uint8_t> b{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (bits) *bits = b.size() < 30 ? 0 : b[28] | b[29] << 8;
  return LoadBitmapResource(b);
}

// Legend colours; white counts only on the power key, since it also lights the keys' upper edges.
bool IsInkOn(int keyCode, uint32_t c) {
  if (keyCode == 0) return c == Argb(palette::kInkOnPower);
  return c == Argb(palette::kInk) || c == Argb(palette::kInkAlternate);
}

// Within the rectangle the mouse handler copies from the pressed picture for some key.
bool InsideSomeHighlight(int x, int y) {
  for (const SkinKeyRegion& k : skinKeyRegions)
    if (x >= k.x1 - 2 && x <= k.x2 + 1 && y >= k.y1 - 2 && y <= k.y2 + 1) return true;
  return false;
}

TEST(Artwork, PicturesHaveTheSizesAndDepthsTheScreenLoads) {
  struct Want { int id, width, height, bits; };
  std::vector<Want> want = {{resource::kSkinNormal, 470, 611, 24}, {resource::kSkinPressed, 470, 310, 24},
                            {resource::kStripBackground, 171, 164, 24}};
  for (const GlyphPicture& g : glyphPictures) want.push_back({g.resourceId, g.width, g.height, g.bitsPerPixel});
  for (const Want& w : want) {
    int bits = 0;
    const Image p = Load(w.id, &bits);
    EXPECT_EQ(std::tuple(p.width, p.height, bits), std::tuple(w.width, w.height, w.bits)) << "id " << w.id;
  }
}

TEST(Artwork, SkinHasAPanelOfTheClearDotColourAndALegendOnEveryKey) {
  const Image skin = Load(resource::kSkinNormal), strip = Load(resource::kStripBackground);
  ASSERT_TRUE(skin.Loaded() && strip.Loaded());
  for (int y = skin::kPanelTop; y <= skin::kPanelBottom; ++y)
    for (int x = skin::kPanelLeft; x <= skin::kPanelRight; ++x) ASSERT_EQ(skin.At(x, y), skin::kOffColour);
  for (uint32_t c : strip.pixels) ASSERT_EQ(c, skin::kOffColour);
  for (const SkinKeyRegion& k : skinKeyRegions) {  // inside the click region, so clicks land on what is drawn
    int ink = 0;
    for (int y = k.y1 + 1; y < k.y2; ++y)
      for (int x = k.x1 + 1; x < k.x2; ++x) ink += IsInkOn(k.keyCode, skin.At(x, y));
    EXPECT_GE(ink, 4) << "key " << k.keyCode << " has no legible legend";
  }
}

TEST(Artwork, PressedKeyboardLinesUpWithTheSkin) {
  const Image normal = Load(resource::kSkinNormal), pressed = Load(resource::kSkinPressed);
  ASSERT_TRUE(normal.Loaded() && pressed.Loaded());
  auto pressedAt = [&](int x, int y) { return pressed.At(x, y - skin::kPressedTop); };  // skin coordinates
  // Outside the highlights the two must agree, or a click would paste a stray edge into the window.
  for (int y = skin::kPressedTop; y < skin::kFrameHeight; ++y)
    for (int x = 0; x < skin::kFrameWidth; ++x)
      ASSERT_TRUE(InsideSomeHighlight(x, y) || pressedAt(x, y) == normal.At(x, y)) << x << "," << y;
  // Inside each highlight the key looks different and keeps its legend.
  for (const SkinKeyRegion& k : skinKeyRegions) {
    ASSERT_GE(k.y1 - 2, skin::kPressedTop) << "key " << k.keyCode << " lies above the pressed picture";
    int changed = 0, ink = 0;
    for (int y = k.y1 - 2; y <= k.y2 + 1; ++y)
      for (int x = k.x1 - 2; x <= k.x2 + 1; ++x) {
        changed += pressedAt(x, y) != normal.At(x, y);
        ink += IsInkOn(k.keyCode, pressedAt(x, y));
      }
    EXPECT_GT(changed, (k.x2 - k.x1) * (k.y2 - k.y1) / 2) << "key " << k.keyCode << " barely changes when pressed";
    EXPECT_GE(ink, 4) << "key " << k.keyCode << " loses its legend when pressed";
  }
}

}  // namespace
}  // namespace rq4800
