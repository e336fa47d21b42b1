// BMP loading, the LCD painter and the screen set-up.
#include "host/screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <tuple>
#include <utility>

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
  ASSERT_EQ(std::pair(image.width, image.height), std::pair(9, 3));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 9; ++x) EXPECT_EQ(image.At(x, y), 0xFF000000u | palette[index(x, y)]) << x << "," << y;
}

TEST(LoadBitmap, RefusesOtherFormatsBadColourTablesAndHeadersThatDisagreeWithTheSize) {
  Bytes bmp = MakeBmp(2, 1, 4, [](int x, int) { return x == 0 ? 1u : 2u; }, {0x000000, 0xFFFFFF});
  EXPECT_FALSE(LoadBitmapResource(bmp).Loaded());  // entry 2 of a 2-entry table
  bmp = MakeBmp(2, 1, 4, [](int, int) { return 1u; }, {0x000000, 0xFFFFFF});
  Put(bmp, 46, 16);  // a table that would run into the pixel data
  EXPECT_FALSE(LoadBitmapResource(bmp).Loaded());

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
    bmp = good;
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

// Each icon's picture and top-left corner, put together from the LCD's
// layout: the clock's segments, the strips, the scroll bar and the rest.
TEST_F(ScreenTest, EveryIconHasItsPictureAndPlace) {
  struct Place { int resource, x, y; };
  std::array<Place, 80> expected{};
  std::array<int, 80> placed{};
  auto put = [&](int row, int resource, int x, int y) { expected[row] = {resource, x, y}, ++placed[row]; };
  // Segments of the digits at base x = 32, 43, 54, 65: picture, x from the base, y, rows of digits 1..4.
  const struct { int resource, dx, y, rows[4]; } segments[] = {
      {145, 0, 36, {1, 6, 11, 16}},   {144, 0, 36, {0, 5, 10, 15}},   {144, 6, 36, {2, 7, 13, 17}},
      {145, 0, 45, {3, 8, 14, 18}},   {144, 0, 45, {35, 31, 26, 22}}, {144, 6, 45, {33, 29, 24, 19}},
      {145, 0, 54, {34, 30, 25, 21}},
  };
  for (const auto& s : segments)
    for (int d = 0; d < 4; ++d) put(s.rows[d], s.resource, 32 + 11 * d + s.dx, s.y);
  const int levels[] = {4, 12, 20, 28, 36, 44, 52, 60, 68, 74};  // right strip, top down
  for (int i = 0; i < 10; ++i) put(levels[i], 149, 396, 40 + 16 * i);
  const int marks[] = {43, 45, 56, 78, 77, 57, 76, 75, 73};  // scroll positions, top down
  for (int i = 0; i < 9; ++i) put(marks[i], 151, 34, 66 + 12 * i);
  const int others[][4] = {  // row, picture, x, y
      {9, 152, 51, 40},    {32, 153, 40, 52},   {27, 153, 51, 52},   {23, 153, 62, 52},   {70, 143, 395, 174},
      {65, 146, 32, 56},   {79, 147, 33, 57},   {66, 148, 33, 174},  {37, 121, 59, 56},   {38, 120, 46, 56},
      {39, 122, 44, 67},   {40, 123, 44, 76},   {41, 124, 44, 85},   {42, 125, 44, 95},   {46, 127, 61, 105},
      {47, 126, 46, 105},  {48, 129, 62, 118},  {49, 130, 46, 118},  {50, 131, 61, 129},  {51, 128, 46, 129},
      {53, 141, 61, 139},  {54, 132, 46, 139},  {55, 133, 46, 149},  {58, 134, 46, 154},  {59, 135, 61, 154},
      {61, 136, 46, 163},  {62, 137, 61, 163},  {63, 139, 64, 174},  {64, 138, 46, 173},  {67, 142, 40, 184},
      {69, 142, 50, 184},  {71, 142, 60, 184},  {72, 140, 32, 183},
  };
  for (const auto& o : others) put(o[0], o[1], o[2], o[3]);
  ASSERT_EQ(std::count(placed.begin(), placed.end(), 1), 80) << "each row placed once";

  Paint();
  for (int r = 0; r < 80; ++r) {
    const IconRecord& icon = screen.iconTable[r];  // glyph slots count from resource 120
    EXPECT_EQ(std::tuple(icon.glyph + 120, icon.x, icon.y),
              std::tuple(expected[r].resource, expected[r].x, expected[r].y))
        << "row " << r;
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
  EXPECT_EQ(std::pair(Frame(32, 56), Frame(33, 64)), std::pair(kOn, kOn));  // the frame, outside the arrow
  for (int y = 57; y < 64; ++y)
    for (int x = 33; x < 41; ++x) EXPECT_EQ(Frame(x, y), kOff) << x << "," << y;
}

TEST_F(ScreenTest, OnlyPureBlackSurvivesAndLowerRowsAreDrawnLast) {
  // The horizontal segment, black but for an almost black first pixel; rows 1
  // (top segment) and 0 (upper-left segment) share the pixel (32, 36).
  store.Replace(145, MakeBmp(7, 1, 24, [](int x, int) { return x == 0 ? 0x010000u : 0u; }));
  lcd[20 * 1] = 0x80;
  Paint();
  EXPECT_EQ(std::pair(Frame(32, 36), Frame(33, 36)), std::pair(kOff, kOn));
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
