#pragma once
// BMP files built in memory, in exact-size buffers so that a reader straying
// past the end trips the sanitizer build, and a resource store of synthetic
// pictures of the right sizes.
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "host/skin_layout.h"
#include "machine/resource_store.h"

namespace rq4800::test {

using Bytes = std::vector<uint8_t>;

inline void Put(Bytes& b, size_t at, uint32_t v, int size = 4) {
  for (int i = 0; i < size; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

// A bottom-up BMP; colourAt(x, y) gives 0x00RRGGBB at 24 bits, a palette index at 4.
// Row padding is filled with 0xEE so that a reader taking it as pixels shows it.
inline Bytes MakeBmp(int width, int height, int bits, const std::function<uint32_t(int, int)>& colourAt,
                     const std::vector<uint32_t>& palette = {}) {
  const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4, offset = 54 + 4 * palette.size();
  Bytes b(offset + stride * height, bits == 24 ? 0xEE : 0);
  std::fill(b.begin(), b.begin() + offset, 0);
  b[0] = 'B';
  b[1] = 'M';
  for (auto [at, v] : {std::pair<size_t, size_t>{2, b.size()}, {10, offset}, {14, 40}, {18, width}, {22, height},
                       {26, 1}, {28, bits}, {46, palette.size()}})
    Put(b, at, static_cast<uint32_t>(v), at == 26 || at == 28 ? 2 : 4);
  for (size_t i = 0; i < palette.size(); ++i) Put(b, 54 + 4 * i, palette[i]);
  for (int row = 0; row < height; ++row) {  // the file's first row is the picture's bottom one
    for (int x = 0; x < width; ++x) {
      const uint32_t c = colourAt(x, height - 1 - row);
      const size_t at = offset + row * stride;
      if (bits == 24) {
        Put(b, at + 3 * x, c, 3);
      } else {
        b[at + x / 2] |= x % 2 == 0 ? c << 4 : c;
      }
    }
  }
  return b;
}
inline Bytes MakeBmp24(int width, int height, uint32_t colour) {
  return MakeBmp(width, height, 24, [colour](int, int) { return colour; });
}

// Skin pixels distinct everywhere and never pure black, so a copy from the
// wrong place or the wrong picture shows.
inline uint32_t NormalSkinAt(int x, int y) { return 0xFF400000u | static_cast<uint32_t>(x) << 12 | y; }
inline uint32_t PressedSkinAt(int x, int y) { return 0xFF800000u | static_cast<uint32_t>(x) << 12 | y; }

// Such skins, a white strip background and all-black glyphs, all 24-bit.
inline ResourceStore MakeSkinStore() {
  ResourceStore store;
  store.useBuiltin = false;
  store.Replace(resource::kSkinNormal, MakeBmp(skin::kFrameWidth, skin::kFrameHeight, 24,
                                               [](int x, int y) { return NormalSkinAt(x, y) & 0xFFFFFF; }));
  store.Replace(resource::kSkinPressed, MakeBmp(skin::kFrameWidth, skin::kPressedHeight, 24,
                                                [](int x, int y) { return PressedSkinAt(x, y) & 0xFFFFFF; }));
  store.Replace(resource::kStripBackground,
                MakeBmp24(skin::kStripBackgroundWidth, skin::kStripBackgroundHeight, 0xFFFFFF));
  for (const GlyphPicture& g : glyphPictures) store.Replace(g.resourceId, MakeBmp24(g.width, g.height, 0));
  return store;
}

}  // namespace rq4800::test
