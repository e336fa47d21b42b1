// The 12 x 12 font that the build makes for two-byte text: its layout (one
// 32-byte slot per GBK code) and a few characters whose shape is known.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct GbkFont {
  std::vector<uint8_t> bytes;
  GbkFont() {
    std::ifstream in(std::string(RQ4800_BINARY_DIR) + "/firmware/gbk12.bin", std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // Row r of the glyph of lead, trail: 12 dots, the leftmost in bit 11.
  int Row(int lead, int trail, int r) const {
    const size_t slot = static_cast<size_t>((lead - 0x81) * 191 + (trail - 0x40)) * 32;
    return (bytes[slot + 2 * r] << 4) | (bytes[slot + 2 * r + 1] >> 4);
  }
  int Ink(int lead, int trail) const {
    int ink = 0;
    for (int r = 0; r < 12; ++r) ink += __builtin_popcount(static_cast<unsigned>(Row(lead, trail, r)));
    return ink;
  }
};

TEST(GbkFontTest, OneSlotPerCodeAndTheMarkTheFirmwareLooksFor) {
  GbkFont font;
  if (font.bytes.empty()) GTEST_SKIP() << "built without the WenQuanYi bitmap font";
  EXPECT_EQ(font.bytes.size(), 126u * 191 * 32);
  EXPECT_EQ(std::string(font.bytes.begin() + 24, font.bytes.begin() + 29), "GBK12");
  // Trail byte 0x7F is never part of a GBK code: its slots stay blank.
  EXPECT_EQ(font.Ink(0xB0, 0x7F), 0);
}

TEST(GbkFontTest, KnownShapes) {
  GbkFont font;
  if (font.bytes.empty()) GTEST_SKIP() << "built without the WenQuanYi bitmap font";
  // "一" (0xD2BB, one): a single long horizontal stroke; at most one more
  // row of ink, for the stroke's end.
  int strokeRows = 0, inkRows = 0;
  for (int r = 0; r < 12; ++r) {
    const int dots = __builtin_popcount(static_cast<unsigned>(font.Row(0xD2, 0xBB, r)));
    inkRows += dots > 0;
    strokeRows += dots >= 8;
  }
  EXPECT_EQ(strokeRows, 1);
  EXPECT_LE(inkRows, 2);
  // "中" (0xD6D0): one vertical stroke through every row of ink, in the middle.
  int middle = -1;
  for (int d = 4; d < 8 && middle < 0; ++d) {
    int rows = 0;
    for (int r = 0; r < 12; ++r) rows += (font.Row(0xD6, 0xD0, r) >> (11 - d)) & 1;
    if (rows >= 9) middle = d;
  }
  EXPECT_GE(middle, 4) << "a long vertical stroke near the centre";
  // Several common characters are all there and all different.
  EXPECT_GT(font.Ink(0xC4, 0xE3), 20);  // 你
  EXPECT_GT(font.Ink(0xBA, 0xC3), 20);  // 好
  EXPECT_NE(font.Row(0xC4, 0xE3, 5), font.Row(0xBA, 0xC3, 5));
}

}  // namespace
