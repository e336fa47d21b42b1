// BMP loading, the LCD painter and the screen set-up.
#include "host/screen.h"

#include <gtest/gtest.h>

#include <array>

#include "core/debug_log.h"
#include "host/image.h"
#include "tests/host/test_pictures.h"

namespace rq4800 {
namespace {

using namespace test;

// 24-bit pictures are checked pixel by pixel through the skin fixture, whose 470-pixel rows carry 2 padding bytes.
TEST(LoadBitmap, FourBitTakesTheHighNibbleFirstAndSkipsRowPadding) {
  const std::vector<uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456};
  auto index = [](int x, int y) { return static_cast<uint32_t>(x + 2 * y) % 5; };
  const Image image = LoadBitmapResource(MakeBmp(9, 3, 4, index, palette));  // 5 bytes of nibbles, padded to 8
  ASSERT_EQ(image.width, 9);
  ASSERT_EQ(image.height, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 9; ++x) EXPECT_EQ(image.At(x, y), 0xFF000000u | palette[index(x, y)]) << x << "," << y;
}

TEST(LoadBitmap, FourBitIndexPastTheColourTableIsRefused) {
  Bytes bmp = MakeBmp(2, 1, 4, [](int x, int) { return x == 0 ? 1u : 2u; }, {0x000000, 0xFFFFFF});
  EXPECT_FALSE(LoadBitmapResource(bmp).Loaded());  // entry 2 of a 2-entry table
  bmp = MakeBmp(2, 1, 4, [](int, int) { return 1u; }, {0x000000, 0xFFFFFF});
  Put(bmp, 46, 16);  // a table that would run into the pixel data
  EXPECT_FALSE(LoadBitmapResource(bmp).Loaded());
}

TEST(LoadBitmap, RefusesOtherFormatsAndHeadersThatDisagreeWithTheSize) {
  const Bytes good = MakeBmp24(5, 4, 0x808080);  // 118 bytes
  ASSERT_TRUE(LoadBitmapResource(good).Loaded());
  struct Case { const char* what; size_t at; int size; uint32_t value; };
  const Case cases[] = {
      {"not BM", 0, 2, 0x414D},                    {"8 bits", 28, 2, 8},
      {"compressed", 30, 4, 1},                    {"a row more than the data", 22, 4, 5},
      {"top-down", 22, 4, static_cast<uint32_t>(-4)}, {"offset past the end", 10, 4, 1000},
      {"offset that wraps", 10, 4, 0xFFFFFFF0u},   {"offset inside the header", 10, 4, 20},
      {"huge information header", 14, 4, 0x7FFFFFFF}, {"width 0", 18, 4, 0},
      {"width -1", 18, 4, 0xFFFFFFFFu},            {"width 65536", 18, 4, 0x10000}};
  for (const Case& c : cases) {
    Bytes bmp = good;
    Put(bmp, c.at, c.value, c.size);
    EXPECT_FALSE(LoadBitmapResource(bmp).Loaded()) << c.what;
  }
  for (size_t keep : {good.size() - 1, size_t{40}, size_t{0}})  // last row a byte short, headers cut, nothing
    EXPECT_FALSE(LoadBitmapResource(Bytes(good.begin(), good.begin() + keep)).Loaded()) << keep << " bytes";
}

constexpr uint32_t kOn = 0xFF000000u;
constexpr uint32_t kOff = 0xFF90B057u;

// The screen is set up by each test, so a test can first swap a picture.
struct ScreenTest : ::testing::Test {
  ResourceStore store = test::MakeSkinStore();
  Screen screen;
  std::array<uint8_t, 1600> lcd{};

  void Paint() {
    if (!screen.frameBuffer.Loaded()) {
      ASSERT_TRUE(SetUpScreen(screen, store));
    }
    PaintLcd(screen, lcd.data());
  }
  uint32_t Frame(int x, int y) const { return screen.frameBuffer.At(x, y); }
};

TEST_F(ScreenTest, PaintStaysInsideThePanelAndABlankLcdLeavesItPlainOff) {
  lcd.fill(0xFF);
  Paint();
  lcd.fill(0);
  Paint();  // no icon or dot of the first picture may survive
  for (int y = 0; y < 611; ++y) {
    for (int x = 0; x < 470; ++x) {
      const bool panel = x >= skin::kPanelLeft && x <= skin::kPanelRight && y >= skin::kPanelTop &&
                         y <= skin::kPanelBottom;
      ASSERT_EQ(Frame(x, y), panel ? kOff : test::NormalSkinAt(x, y)) << x << "," << y;
    }
  }
}

TEST_F(ScreenTest, IconsAndTwoByTwoDotsLandOnTheirPixels) {
  for (int r = 0; r < 80; ++r) lcd[20 * r] = 0x80;  // every icon; also dot column 0, never shown
  lcd[20 * 5] = 0xFF;                                // dots 1..7 of row 5: x 77..90, y 44..45
  lcd[20 * 79 + 19] = 0x01;                          // dot 159 of row 79: x 393..394, y 192..193
  Paint();
  for (const IconRecord& icon : screen.iconTable) {
    ASSERT_GT(icon.width, 0);
    for (int j = 0; j < icon.height; ++j)
      for (int x = icon.x; x < icon.x + icon.width; ++x)  // the dot field, painted last, cuts an icon reaching x = 75
        ASSERT_TRUE((x >= skin::kDotFieldX && x < skin::kRightStripX) || Frame(x, icon.y + j) == kOn) << icon.glyph;
  }
  for (int y = skin::kDotFieldY; y <= skin::kPanelBottom; ++y) {
    for (int x = skin::kDotFieldX; x < skin::kRightStripX; ++x) {
      const bool on = (y >= 44 && y <= 45 && x >= 77 && x <= 90) || (y >= 192 && x >= 393);
      ASSERT_EQ(Frame(x, y), on ? kOn : kOff) << x << "," << y;
    }
  }
}

TEST_F(ScreenTest, SevenSegmentsOfDigitOneMakeAnEight) {
  for (int r : {1, 3, 34, 0, 35, 2, 33}) lcd[20 * r] = 0x80;
  Paint();
  for (int x = 32; x <= 38; ++x)
    for (int y : {36, 45, 54}) EXPECT_EQ(Frame(x, y), kOn) << "bar " << x << "," << y;
  for (int y = 36; y <= 53; ++y)
    for (int x : {32, 38}) EXPECT_EQ(Frame(x, y), kOn) << "side " << x << "," << y;
  for (auto [x, y] : {std::pair{35, 40}, {35, 50}, {43, 36}, {32, 55}}) EXPECT_EQ(Frame(x, y), kOff) << x << "," << y;
}

TEST_F(ScreenTest, GlyphWithoutBlackDrawsAsAnOffRectangleOverEarlierIcons) {
  // The small up arrow (row 79), drawn in white, lies on the scroll-bar frame (row 65), painted first.
  store.Replace(147, test::MakeBmp24(8, 7, 0xFFFFFF));
  lcd[20 * 65] = lcd[20 * 79] = 0x80;
  Paint();
  EXPECT_EQ(Frame(32, 56), kOn);  // frame corner, outside the arrow
  EXPECT_EQ(Frame(33, 64), kOn);
  for (int y = 57; y < 64; ++y)
    for (int x = 33; x < 41; ++x) EXPECT_EQ(Frame(x, y), kOff) << x << "," << y;
}

TEST_F(ScreenTest, OnlyPureBlackSurvivesAndLowerRowsAreDrawnLast) {
  // The horizontal segment, black but for an almost black first pixel; rows 1
  // (top segment) and 0 (upper-left segment) share the pixel (32, 36).
  store.Replace(145, MakeBmp(7, 1, 24, [](int x, int) { return x == 0 ? 0x010000u : 0u; }));
  lcd[20 * 1] = 0x80;
  Paint();
  EXPECT_EQ(Frame(32, 36), kOff);
  EXPECT_EQ(Frame(33, 36), kOn);
  lcd[20 * 0] = 0x80;
  Paint();
  EXPECT_EQ(Frame(32, 36), kOn);
}

TEST_F(ScreenTest, MissingOrMisfitPicturesAreReportedAndPaintingStaysSafe) {
  DebugLogCapture log;
  store.Replace(resource::kSkinPressed, test::MakeBmp24(470, 300, 0x123456));
  EXPECT_FALSE(SetUpScreen(screen, store));
  EXPECT_FALSE(SetUpScreen(screen, ResourceStore{.useBuiltin = false, .replacements = {}}));  // a fresh set-up
  EXPECT_TRUE(log.text.find("119") != std::string::npos && log.text.find("118") != std::string::npos) << log.text;
  lcd.fill(0xFF);
  PaintLcd(screen, lcd.data());  // the dots still show
  EXPECT_EQ(Frame(80, 40), kOn);
  RestoreKeyboard(screen);
}

}  // namespace
}  // namespace rq4800
