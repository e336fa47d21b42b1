#include "host/screen.h"

#include <gtest/gtest.h>

#include <array>

#include "core/debug_log.h"
#include "host/skin_layout.h"
#include "tests/host/skin_fixture.h"

namespace rq4800 {
namespace {

constexpr uint32_t kOn = 0xFF000000u;
constexpr uint32_t kOff = 0xFF90B057u;

using Lcd = std::array<uint8_t, 1600>;

struct ScreenTest : ::testing::Test {
  ResourceStore store = test::MakeSkinStore();
  Screen screen;
  Lcd lcd{};

  void SetUp() override { ASSERT_TRUE(SetUpScreen(screen, store)); }
  uint32_t Frame(int x, int y) const { return screen.frameBuffer.At(x, y); }
  void Paint() { PaintLcd(screen, lcd.data()); }
  bool InPanel(int x, int y) const {
    return x >= skin::kPanelLeft && x <= skin::kPanelRight && y >= skin::kPanelTop && y <= skin::kPanelBottom;
  }
};

TEST_F(ScreenTest, SetUpShowsTheSkinAndPaintKeepsEverythingOutsideThePanel) {
  EXPECT_EQ(screen.frameBuffer.width, 470);
  EXPECT_EQ(screen.frameBuffer.height, 611);
  EXPECT_EQ(screen.frameBuffer.pixels.size(), 470u * 611u);
  EXPECT_EQ(Frame(0, 0), test::NormalSkinAt(0, 0));
  EXPECT_EQ(Frame(469, 610), test::NormalSkinAt(469, 610));
  lcd.fill(0xFF);
  Paint();
  for (int y = 0; y < 611; ++y) {
    for (int x = 0; x < 470; ++x) {
      if (!InPanel(x, y)) {
        ASSERT_EQ(Frame(x, y), test::NormalSkinAt(x, y)) << x << "," << y;
      }
    }
  }
}

TEST_F(ScreenTest, BlankLcdIsAPlainOffPanelWithoutIconsWhateverWasPaintedBefore) {
  lcd.fill(0xFF);
  Paint();
  lcd.fill(0);
  Paint();
  for (int y = skin::kPanelTop; y <= skin::kPanelBottom; ++y) {
    for (int x = skin::kPanelLeft; x <= skin::kPanelRight; ++x) ASSERT_EQ(Frame(x, y), kOff) << x << "," << y;
  }
}

TEST_F(ScreenTest, EveryIconOnAndColumnZeroNeverADot) {
  for (int r = 0; r < 80; ++r) lcd[20 * r] = 0x80;
  Paint();
  for (int r = 0; r < 80; ++r) {
    const IconRecord& icon = screen.iconTable[r];
    ASSERT_GT(icon.width, 0) << "icon " << r;
    for (int j = 0; j < icon.height; ++j) {
      for (int i = 0; i < icon.width; ++i) {
        // The dot field is painted after the icons; a left-strip icon reaching x = 75 loses that column.
        if (icon.x + i >= skin::kDotFieldX && icon.x + i < skin::kDotFieldX + skin::kDotFieldWidth) continue;
        ASSERT_EQ(Frame(icon.x + i, icon.y + j), kOn) << "icon " << r << " at " << i << "," << j;
      }
    }
  }
  for (int y = skin::kDotFieldY; y < skin::kDotFieldY + skin::kDotFieldHeight; ++y) {
    for (int x = skin::kDotFieldX; x < skin::kDotFieldX + skin::kDotFieldWidth; ++x) {
      ASSERT_EQ(Frame(x, y), kOff) << x << "," << y;
    }
  }
}

TEST_F(ScreenTest, FirstByteFFShowsDotsOneToSevenEachAsTwoByTwo) {
  lcd[20 * 5] = 0xFF;
  Paint();
  for (int y : {44, 45}) {
    EXPECT_EQ(Frame(75, y), kOff);
    EXPECT_EQ(Frame(76, y), kOff);
    for (int x = 77; x <= 90; ++x) EXPECT_EQ(Frame(x, y), kOn) << x << "," << y;
    EXPECT_EQ(Frame(91, y), kOff);
  }
  EXPECT_EQ(Frame(80, 43), kOff);
  EXPECT_EQ(Frame(80, 46), kOff);
}

TEST_F(ScreenTest, LastBitOfLastRowIsTheBottomRightDot) {
  lcd[20 * 79 + 19] = 0x01;
  Paint();
  EXPECT_EQ(Frame(393, 192), kOn);
  EXPECT_EQ(Frame(394, 192), kOn);
  EXPECT_EQ(Frame(393, 193), kOn);
  EXPECT_EQ(Frame(394, 193), kOn);
  EXPECT_EQ(Frame(392, 192), kOff);
  EXPECT_EQ(Frame(393, 191), kOff);
  EXPECT_EQ(Frame(395, 192), kOff);  // right strip
}

TEST_F(ScreenTest, SevenSegmentsOfDigitOneMakeAnEight) {
  for (int r : {1, 3, 34, 0, 35, 2, 33}) lcd[20 * r] = 0x80;
  Paint();
  for (int x = 32; x <= 38; ++x) {
    EXPECT_EQ(Frame(x, 36), kOn) << "top " << x;
    EXPECT_EQ(Frame(x, 45), kOn) << "middle " << x;
    EXPECT_EQ(Frame(x, 54), kOn) << "bottom " << x;
  }
  for (int y = 36; y <= 53; ++y) {
    EXPECT_EQ(Frame(32, y), kOn) << "left " << y;
    EXPECT_EQ(Frame(38, y), kOn) << "right " << y;
  }
  EXPECT_EQ(Frame(35, 40), kOff);  // inside the upper loop
  EXPECT_EQ(Frame(35, 50), kOff);  // inside the lower loop
  EXPECT_EQ(Frame(43, 36), kOff);  // digit 2 stays dark
  EXPECT_EQ(Frame(32, 55), kOff);
}

TEST_F(ScreenTest, RestoreKeyboardCopiesRows290To610Only) {
  for (uint32_t& p : screen.frameBuffer.pixels) p = 0xFF123456u;
  RestoreKeyboard(screen);
  for (int x = 0; x < 470; ++x) {
    EXPECT_EQ(Frame(x, 289), 0xFF123456u);
    EXPECT_EQ(Frame(x, 290), test::NormalSkinAt(x, 290));
    EXPECT_EQ(Frame(x, 610), test::NormalSkinAt(x, 610));
  }
}

// Glyph pictures whose colours differ from the fixture's all-black ones.
struct RecolourTest : ::testing::Test {
  ResourceStore store = test::MakeSkinStore();
  Screen screen;
  Lcd lcd{};
  uint32_t Frame(int x, int y) const { return screen.frameBuffer.At(x, y); }
};

TEST_F(RecolourTest, GlyphWithoutBlackDrawsAsOffRectangleOverLowerIcons) {
  // The small up arrow (row 79) lies on the scroll-bar frame (row 65), which
  // is painted first. Drawn in white, the arrow blanks that part of the frame.
  store.Replace(147, test::MakeBmp24(8, 7, 0xFFFFFF));
  ASSERT_TRUE(SetUpScreen(screen, store));
  lcd[20 * 65] = 0x80;
  lcd[20 * 79] = 0x80;
  PaintLcd(screen, lcd.data());
  EXPECT_EQ(Frame(32, 56), kOn);  // frame corner, outside the arrow
  for (int y = 57; y < 64; ++y) {
    for (int x = 33; x < 41; ++x) EXPECT_EQ(Frame(x, y), kOff) << x << "," << y;
  }
  EXPECT_EQ(Frame(33, 64), kOn);
}

TEST_F(RecolourTest, OnlyPureBlackSurvivesAndLowerRowsLieOnTop) {
  // Horizontal segment picture: black except its first pixel, which is almost black.
  store.Replace(145, test::MakeBmp24(7, 1, [](int x, int) { return x == 0 ? 0x010000u : 0u; }));
  ASSERT_TRUE(SetUpScreen(screen, store));
  // Rows 0 (upper-left segment) and 1 (top segment) share the pixel (32, 36).
  lcd[20 * 1] = 0x80;
  PaintLcd(screen, lcd.data());
  EXPECT_EQ(Frame(32, 36), kOff);
  EXPECT_EQ(Frame(33, 36), kOn);
  lcd[20 * 0] = 0x80;
  PaintLcd(screen, lcd.data());
  EXPECT_EQ(Frame(32, 36), kOn);  // row 0 is drawn after row 1
}

TEST(ScreenSetUp, MissingOrMisfitPicturesAreReportedAndPaintingStaysSafe) {
  ResourceStore empty;
  empty.useBuiltin = false;
  Screen screen;
  DebugLogCapture log;
  EXPECT_FALSE(SetUpScreen(screen, empty));
  EXPECT_NE(log.text.find("118"), std::string::npos);
  Lcd lcd;
  lcd.fill(0xFF);
  PaintLcd(screen, lcd.data());
  EXPECT_EQ(screen.frameBuffer.At(80, 40), kOn);
  RestoreKeyboard(screen);

  ResourceStore store = test::MakeSkinStore();
  store.Replace(resource::kSkinPressed, test::MakeBmp24(470, 300, 0x123456));
  Screen misfit;
  EXPECT_FALSE(SetUpScreen(misfit, store));
  EXPECT_NE(log.text.find("119"), std::string::npos);
}

TEST(Blit, CopiesTopLeftOfPictureAndTrimsAtTheFrameEdge) {
  Image frame = MakeImage(20, 10, 0xFF000001u);
  Image picture = MakeImage(4, 3, 0);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) picture.At(x, y) = 0xFF000100u * (1 + x + 4 * y);
  Blit(frame, picture, 1, 2, 2, 2);
  EXPECT_EQ(frame.At(1, 2), picture.At(0, 0));
  EXPECT_EQ(frame.At(2, 3), picture.At(1, 1));
  EXPECT_EQ(frame.At(3, 2), 0xFF000001u);
  EXPECT_EQ(frame.At(1, 4), 0xFF000001u);

  BlitRegion(frame, picture, 18, 8, 4, 3, 0, 0);  // hangs over the right and bottom edges
  EXPECT_EQ(frame.At(19, 9), picture.At(1, 1));
  BlitRegion(frame, picture, 0, 0, 4, 3, 2, 1);  // source rectangle past the picture
  EXPECT_EQ(frame.At(0, 0), picture.At(2, 1));
  EXPECT_EQ(frame.At(1, 1), picture.At(3, 2));
  EXPECT_EQ(frame.At(2, 0), 0xFF000001u);
  BlitRegion(frame, picture, -3, -1, 4, 3, 0, 0);
  EXPECT_EQ(frame.At(0, 0), picture.At(3, 1));
}

}  // namespace
}  // namespace rq4800
