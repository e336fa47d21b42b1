// BMP pictures (the skin and icon files a user may supply in place of the
// built-in ones): any bytes either make a picture that agrees with its
// headers and its pixel bytes, or no picture at all.
#include <span>

#include "host/image.h"
#include "tests/fuzz/fuzz_check.h"

using namespace rq4800;

namespace {

uint32_t U32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

}  // namespace

extern "C" int RQ4800_FUZZ_ENTRY(const uint8_t* data, size_t size) {
  const Image image = LoadBitmapResource(std::span<const uint8_t>(data, size));
  if (!image.Loaded()) {
    FUZZ_REQUIRE(image.pixels.empty());
    return 0;
  }
  // Only a file whose headers hold together gives a picture.
  FUZZ_REQUIRE(size >= 54 && data[0] == 'B' && data[1] == 'M');
  const uint32_t offset = U32(data + 10);
  const int bits = data[28] | data[29] << 8;
  FUZZ_REQUIRE(image.width == static_cast<int32_t>(U32(data + 18)) && image.height == static_cast<int32_t>(U32(data + 22)));
  FUZZ_REQUIRE(image.width > 0 && image.height > 0 && image.width <= 16384 && image.height <= 16384);
  FUZZ_REQUIRE(image.pixels.size() == static_cast<size_t>(image.width) * static_cast<size_t>(image.height));
  FUZZ_REQUIRE(bits == 24 || bits == 4);
  const size_t w = static_cast<size_t>(image.width);
  const size_t stride = bits == 24 ? (w * 3 + 3) / 4 * 4 : (w + 7) / 8 * 4;
  FUZZ_REQUIRE(offset + stride * static_cast<size_t>(image.height) <= size);
  for (uint32_t pixel : image.pixels) FUZZ_REQUIRE(pixel >> 24 == 0xFF);

  // The first and last pixel of the bottom row (stored first) come from the
  // pixel bytes: directly for 24 bits, through the colour table for 4.
  const uint8_t* row = data + offset;
  const uint32_t infoSize = U32(data + 14);
  auto colour = [&](size_t x) -> uint32_t {
    if (bits == 24) return 0xFF000000u | row[3 * x + 2] << 16 | row[3 * x + 1] << 8 | row[3 * x];
    const unsigned index = x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
    const uint8_t* entry = data + 14 + infoSize + 4 * index;
    FUZZ_REQUIRE(entry + 4 <= data + offset);
    return 0xFF000000u | entry[2] << 16 | entry[1] << 8 | entry[0];
  };
  FUZZ_REQUIRE(image.pixels[0] == colour(0));
  FUZZ_REQUIRE(image.pixels[w - 1] == colour(w - 1));
  // The display view turns the rows over: stored row 0 is the bottom one.
  FUZZ_REQUIRE(image.At(0, image.height - 1) == image.pixels[0]);
  return 0;
}
