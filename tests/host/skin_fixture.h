#pragma once
// A resource store holding synthetic pictures of the right sizes: a skin and
// a pressed-keyboard picture whose every pixel tells where it came from, a
// white strip background, and all-black icon glyphs.
#include <cstdint>

#include "host/skin_layout.h"
#include "machine/resource_store.h"
#include "tests/host/bmp_builder.h"

namespace rq4800::test {

// Distinct for every pixel and never pure black, so a copy from the wrong
// place or the wrong picture shows.
inline uint32_t NormalSkinAt(int x, int y) { return 0xFF400000u | static_cast<uint32_t>(x) << 12 | y; }
inline uint32_t PressedSkinAt(int x, int y) { return 0xFF800000u | static_cast<uint32_t>(x) << 12 | y; }

inline ResourceStore MakeSkinStore() {
  ResourceStore store;
  store.useBuiltin = false;
  store.Replace(resource::kSkinNormal, MakeBmp24(skin::kFrameWidth, skin::kFrameHeight,
                                                 [](int x, int y) { return NormalSkinAt(x, y) & 0xFFFFFF; }));
  store.Replace(resource::kSkinPressed, MakeBmp24(skin::kFrameWidth, skin::kPressedHeight,
                                                  [](int x, int y) { return PressedSkinAt(x, y) & 0xFFFFFF; }));
  store.Replace(resource::kStripBackground,
                MakeBmp24(skin::kStripBackgroundWidth, skin::kStripBackgroundHeight, 0xFFFFFF));
  for (const GlyphPicture& g : glyphPictures) {
    if (g.bitsPerPixel == 4) {
      store.Replace(g.resourceId, MakeBmp4(g.width, g.height, {0x000000, 0xFFFFFF}, [](int, int) { return 0; }));
    } else {
      store.Replace(g.resourceId, MakeBmp24(g.width, g.height, 0x000000));
    }
  }
  return store;
}

}  // namespace rq4800::test
