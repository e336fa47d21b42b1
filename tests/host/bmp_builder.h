#pragma once
// Builds BMP files in memory for the tests: exact-size buffers, so a reader
// that strays past the end is caught by the sanitizer build.
#include <cstdint>
#include <functional>
#include <vector>

namespace rq4800::test {

inline void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b[at] = v & 0xFF;
  b[at + 1] = (v >> 8) & 0xFF;
}
inline void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

// colourAt(x, y) in display coordinates (y downward), 0x00RRGGBB.
inline std::vector<uint8_t> MakeBmp24(int width, int height, const std::function<uint32_t(int, int)>& colourAt) {
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
  std::vector<uint8_t> b(54 + stride * height, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<uint32_t>(b.size()));
  Put32(b, 10, 54);
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<uint32_t>(width));
  Put32(b, 22, static_cast<uint32_t>(height));
  Put16(b, 26, 1);
  Put16(b, 28, 24);
  for (int row = 0; row < height; ++row) {
    const int y = height - 1 - row;  // the file's first row is the bottom one
    for (int x = 0; x < width; ++x) {
      const uint32_t c = colourAt(x, y);
      const size_t at = 54 + row * stride + 3 * x;
      b[at] = c & 0xFF;
      b[at + 1] = (c >> 8) & 0xFF;
      b[at + 2] = (c >> 16) & 0xFF;
    }
    // Padding bytes stay 0xEE so that a reader that takes them as pixels shows it.
    for (size_t at = 54 + row * stride + 3 * width; at < 54 + (row + 1) * stride; ++at) b[at] = 0xEE;
  }
  return b;
}

inline std::vector<uint8_t> MakeBmp24(int width, int height, uint32_t colour) {
  return MakeBmp24(width, height, [colour](int, int) { return colour; });
}

// A 16-colour BMP; indexAt(x, y) picks the palette entry (0x00RRGGBB).
inline std::vector<uint8_t> MakeBmp4(int width, int height, const std::vector<uint32_t>& palette,
                                     const std::function<int(int, int)>& indexAt) {
  const size_t stride = (static_cast<size_t>(width) + 7) / 8 * 4;
  const size_t dataOffset = 54 + 4 * palette.size();
  std::vector<uint8_t> b(dataOffset + stride * height, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<uint32_t>(b.size()));
  Put32(b, 10, static_cast<uint32_t>(dataOffset));
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<uint32_t>(width));
  Put32(b, 22, static_cast<uint32_t>(height));
  Put16(b, 26, 1);
  Put16(b, 28, 4);
  Put32(b, 46, static_cast<uint32_t>(palette.size()));
  for (size_t i = 0; i < palette.size(); ++i) Put32(b, 54 + 4 * i, palette[i]);
  for (int row = 0; row < height; ++row) {
    const int y = height - 1 - row;
    for (int x = 0; x < width; ++x) {
      const size_t at = dataOffset + row * stride + x / 2;
      const int index = indexAt(x, y);
      b[at] |= x % 2 == 0 ? index << 4 : index;
    }
  }
  return b;
}

}  // namespace rq4800::test
