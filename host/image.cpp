#include "host/image.h"

#include "machine/resource_store.h"

namespace rq4800 {

namespace {

// Larger pictures than this are no picture of ours: a width or height past it
// is taken as a damaged header rather than something worth allocating for.
constexpr int32_t kMaxSide = 16384;
constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;

uint32_t U16(std::span<const uint8_t> b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t U32(std::span<const uint8_t> b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

uint32_t Opaque(uint8_t blue, uint8_t green, uint8_t red) {
  return 0xFF000000u | static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | blue;
}

}  // namespace

Image MakeImage(int width, int height, uint32_t colour) {
  Image image;
  image.width = width;
  image.height = height;
  image.pixels.assign(static_cast<size_t>(width) * height, colour);
  return image;
}

Image LoadBitmapResource(std::span<const uint8_t> bmp) {
  const size_t size = bmp.size();
  if (size < kFileHeaderSize + kInfoHeaderSize || bmp[0] != 'B' || bmp[1] != 'M') return {};
  const uint32_t dataOffset = U32(bmp, 10);
  const uint32_t infoSize = U32(bmp, 14);
  const int32_t width = static_cast<int32_t>(U32(bmp, 18));
  const int32_t height = static_cast<int32_t>(U32(bmp, 22));
  const uint32_t planes = U16(bmp, 26);
  const uint32_t bitCount = U16(bmp, 28);
  const uint32_t compression = U32(bmp, 30);
  const uint32_t coloursUsed = U32(bmp, 46);

  // A negative height would be a top-down file, which none of our pictures is.
  if (infoSize < kInfoHeaderSize || infoSize > size - kFileHeaderSize) return {};
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return {};
  if (planes != 1 || compression != 0 || (bitCount != 24 && bitCount != 4)) return {};

  const size_t w = static_cast<size_t>(width);
  const size_t h = static_cast<size_t>(height);
  // Rows are padded to whole 32-bit words.
  const size_t stride = bitCount == 24 ? (w * 3 + 3) / 4 * 4 : (w + 7) / 8 * 4;
  if (dataOffset < kFileHeaderSize + infoSize || dataOffset > size) return {};
  if (stride * h > size - dataOffset) return {};

  // The 16-colour table follows the information header, whatever its length.
  uint32_t table[16] = {};
  size_t tableEntries = 0;
  if (bitCount == 4) {
    tableEntries = coloursUsed == 0 ? 16 : coloursUsed;
    if (tableEntries > 16) return {};
    const size_t tableStart = kFileHeaderSize + infoSize;
    if (tableStart + 4 * tableEntries > dataOffset) return {};
    for (size_t i = 0; i < tableEntries; ++i) {
      const size_t at = tableStart + 4 * i;
      table[i] = Opaque(bmp[at], bmp[at + 1], bmp[at + 2]);
    }
  }

  Image image;
  image.width = width;
  image.height = height;
  image.pixels.resize(w * h);
  for (size_t row = 0; row < h; ++row) {
    const uint8_t* src = bmp.data() + dataOffset + row * stride;
    uint32_t* dst = image.pixels.data() + row * w;
    if (bitCount == 24) {
      for (size_t x = 0; x < w; ++x) dst[x] = Opaque(src[3 * x], src[3 * x + 1], src[3 * x + 2]);
    } else {
      for (size_t x = 0; x < w; ++x) {
        // The high nibble is the left pixel of each pair.
        const size_t index = x % 2 == 0 ? src[x / 2] >> 4 : src[x / 2] & 0x0F;
        if (index >= tableEntries) return {};
        dst[x] = table[index];
      }
    }
  }
  return image;
}

Image LoadBitmapResource(const ResourceStore& resources, int id) {
  return LoadBitmapResource(resources.Find(id));
}

}  // namespace rq4800
