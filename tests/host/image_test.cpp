#include "host/image.h"

#include <gtest/gtest.h>

#include "tests/host/bmp_builder.h"

namespace rq4800 {
namespace {

using test::MakeBmp24;
using test::MakeBmp4;
using test::Put16;
using test::Put32;

TEST(LoadBitmap, TwentyFourBitSkipsRowPaddingAndKeepsRowsBottomUp) {
  // Width 3: 9 pixel bytes and 3 padding bytes a row.
  auto colour = [](int x, int y) { return static_cast<uint32_t>(0x102030 + 0x010000 * x + 0x000100 * y); };
  Image image = LoadBitmapResource(MakeBmp24(3, 2, colour));
  ASSERT_TRUE(image.Loaded());
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.height, 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(image.At(x, y), 0xFF000000u | colour(x, y)) << x << "," << y;
  }
  // Stored row 0 is the picture's bottom row.
  EXPECT_EQ(image.pixels[0], 0xFF000000u | colour(0, 1));
}

TEST(LoadBitmap, FourBitTakesHighNibbleAsLeftPixelAndSkipsPadding) {
  const std::vector<uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456};
  // Width 9 needs 5 bytes of nibbles, padded to 8.
  auto index = [](int x, int y) { return (x + 2 * y) % 5; };
  Image image = LoadBitmapResource(MakeBmp4(9, 3, palette, index));
  ASSERT_TRUE(image.Loaded());
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 9; ++x) EXPECT_EQ(image.At(x, y), 0xFF000000u | palette[index(x, y)]) << x << "," << y;
  }
}

TEST(LoadBitmap, FourBitWithoutColourCountUsesSixteenEntries) {
  std::vector<uint32_t> palette(16);
  for (int i = 0; i < 16; ++i) palette[i] = 0x111111u * i;
  auto bmp = MakeBmp4(2, 1, palette, [](int x, int) { return x == 0 ? 15 : 7; });
  Put32(bmp, 46, 0);
  Image image = LoadBitmapResource(bmp);
  ASSERT_TRUE(image.Loaded());
  EXPECT_EQ(image.At(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(image.At(1, 0), 0xFF777777u);
}

TEST(LoadBitmap, FourBitIndexPastAShortColourTableIsRefused) {
  auto bmp = MakeBmp4(2, 1, {0x000000, 0xFFFFFF}, [](int, int) { return 1; });
  bmp[bmp.size() - 4] = 0x12;  // second pixel now names entry 2 of a 2-entry table
  EXPECT_FALSE(LoadBitmapResource(bmp).Loaded());
  bmp[bmp.size() - 4] = 0x11;
  Put32(bmp, 46, 16);  // a table that would run into the pixel data
  EXPECT_FALSE(LoadBitmapResource(bmp).Loaded());
}

TEST(LoadBitmap, RefusesOtherDepthsAndCompression) {
  auto depth = [](int bits) {
    auto bmp = MakeBmp24(4, 4, 0x808080);
    Put16(bmp, 28, bits);
    return bmp;
  };
  EXPECT_FALSE(LoadBitmapResource(depth(1)).Loaded());
  EXPECT_FALSE(LoadBitmapResource(depth(8)).Loaded());
  EXPECT_FALSE(LoadBitmapResource(depth(32)).Loaded());
  auto compressed = MakeBmp24(4, 4, 0x808080);
  Put32(compressed, 30, 1);
  EXPECT_FALSE(LoadBitmapResource(compressed).Loaded());
}

TEST(LoadBitmap, RefusesFilesWhoseHeadersDisagreeWithTheirSize) {
  const auto good = MakeBmp24(5, 4, 0x808080);
  ASSERT_TRUE(LoadBitmapResource(good).Loaded());

  auto truncated = good;
  truncated.pop_back();  // the last row is one byte short
  EXPECT_FALSE(LoadBitmapResource(truncated).Loaded());

  auto taller = good;
  Put32(taller, 22, 5);
  EXPECT_FALSE(LoadBitmapResource(taller).Loaded());

  auto offsetPastEnd = good;
  Put32(offsetPastEnd, 10, static_cast<uint32_t>(good.size() + 100));
  EXPECT_FALSE(LoadBitmapResource(offsetPastEnd).Loaded());

  auto offsetWraps = good;
  Put32(offsetWraps, 10, 0xFFFFFFF0u);
  EXPECT_FALSE(LoadBitmapResource(offsetWraps).Loaded());

  auto offsetInsideHeader = good;
  Put32(offsetInsideHeader, 10, 20);
  EXPECT_FALSE(LoadBitmapResource(offsetInsideHeader).Loaded());

  auto hugeInfoHeader = good;
  Put32(hugeInfoHeader, 14, 0x7FFFFFFF);
  EXPECT_FALSE(LoadBitmapResource(hugeInfoHeader).Loaded());

  for (uint32_t width : {0u, 0xFFFFFFFFu, 0x7FFFFFFFu, 0x10000u}) {
    auto absurd = good;
    Put32(absurd, 18, width);
    EXPECT_FALSE(LoadBitmapResource(absurd).Loaded()) << width;
  }
  // A top-down file (negative height) is no picture of ours.
  auto topDown = good;
  Put32(topDown, 22, static_cast<uint32_t>(-4));
  EXPECT_FALSE(LoadBitmapResource(topDown).Loaded());

  auto notBm = good;
  notBm[1] = 'A';
  EXPECT_FALSE(LoadBitmapResource(notBm).Loaded());
  EXPECT_FALSE(LoadBitmapResource(std::span<const uint8_t>(good.data(), 40)).Loaded());
  EXPECT_FALSE(LoadBitmapResource(std::span<const uint8_t>()).Loaded());
}

}  // namespace
}  // namespace rq4800
