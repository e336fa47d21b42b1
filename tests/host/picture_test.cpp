// Screenshots and the window's picture: dated names that never replace a
// file, whole-step enlargement, the placement of the picture in a window and
// the way back from a window point to the skin, and the view settings.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "core/debug_log.h"
#include "host/picture_file.h"
#include "host/picture_layout.h"
#include "host/settings_file.h"
#include "host/skin_layout.h"
#include "host/view_settings.h"
#include "tests/file_text.h"
#include "tests/host/png_pixels.h"
#include "tests/machine/machine_fixture.h"

namespace rq4800::test {
namespace {

namespace fs = std::filesystem;

// A picture whose every pixel differs from its neighbours.
Image Distinct(int width, int height) {
  Image image = MakeImage(width, height, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.At(x, y) = 0xFF000000u | static_cast<uint32_t>(x * 7919 + y * 104729);
  return image;
}

TEST(PictureFile, NamesCarryTheLocalDateAndTimeAndANumberAfterTheFirst) {
  struct Row {
    LocalTime when;
    const char* extension;
    int number;
    const char* name;
  };
  const Row rows[] = {
      {{2026, 1, 2, 3, 4, 5}, ".png", 1, "rq4800-20260102-030405.png"},
      {{2026, 12, 31, 23, 59, 59}, ".png", 2, "rq4800-20261231-235959-2.png"},
      {{2026, 12, 31, 23, 59, 59}, ".wav", 17, "rq4800-20261231-235959-17.wav"},
  };
  for (const Row& row : rows) EXPECT_EQ(DatedFileName(row.when, row.extension, row.number), row.name);
}

// Files already there (ours of the same second, and one the user made) stay
// byte for byte; each take gets the next free name.
TEST(PictureFile, AReservedNameNeverReplacesAnExistingFile) {
  const fs::path dir = ScratchDirectory();
  const LocalTime when{2026, 5, 6, 7, 8, 9};
  std::ofstream(dir / "rq4800-20260506-070809.png") << "the user's own";
  std::string error;
  const std::string second = ReserveDatedFile(dir.string(), when, ".png", &error);
  EXPECT_EQ(second, (dir / "rq4800-20260506-070809-2.png").string()) << error;
  const std::string third = ReserveDatedFile(dir.string(), when, ".png", &error);
  EXPECT_EQ(third, (dir / "rq4800-20260506-070809-3.png").string());
  EXPECT_EQ(ReadAll(dir / "rq4800-20260506-070809.png"), "the user's own");
  // Another extension has names of its own.
  EXPECT_EQ(ReserveDatedFile(dir.string(), when, ".wav", &error), (dir / "rq4800-20260506-070809.wav").string());

  // A folder that is not there: the reason, and no file anywhere.
  error.clear();
  EXPECT_EQ(ReserveDatedFile((dir / "missing").string(), when, ".png", &error), "");
  EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
}

TEST(PictureFile, ScalingMakesEachPixelASquareBlockAndCroppingKeepsPixelsInPlace) {
  const Image picture = Distinct(5, 3);
  for (int factor : {1, 2, 4}) {
    const Image scaled = ScaleImage(picture, factor);
    ASSERT_EQ(std::pair(scaled.width, scaled.height), std::pair(5 * factor, 3 * factor));
    for (int y = 0; y < scaled.height; ++y)
      for (int x = 0; x < scaled.width; ++x)
        ASSERT_EQ(scaled.At(x, y), picture.At(x / factor, y / factor)) << factor << ": " << x << "," << y;
  }
  EXPECT_FALSE(ScaleImage(picture, 0).Loaded() || ScaleImage(Image{}, 2).Loaded());

  const Image crop = CropImage(picture, 1, 1, 4, 2);
  ASSERT_EQ(crop.width, 4);
  EXPECT_EQ(std::pair(crop.At(0, 0), crop.At(3, 1)), std::pair(picture.At(1, 1), picture.At(4, 2)));
  // Rectangles reaching outside give nothing rather than a read past the end.
  for (auto [x, y, w, h] : {std::array{2, 0, 4, 1}, {0, 2, 1, 2}, {-1, 0, 2, 2}, {0, 0, 0, 1}})
    EXPECT_FALSE(CropImage(picture, x, y, w, h).Loaded()) << x << "," << y << " " << w << "x" << h;
}

TEST(PictureFile, AScreenshotHoldsThePictureAtItsScaleAndTwoInOneSecondAreTwoFiles) {
  const fs::path dir = ScratchDirectory();
  const LocalTime when{2026, 7, 8, 9, 10, 11};
  const Image picture = Distinct(skin::kFrameWidth, skin::kFrameHeight);
  std::string first, second, error;
  ASSERT_TRUE(SaveScreenshot(dir.string(), picture, 2, when, &first, &error)) << error;
  ASSERT_TRUE(SaveScreenshot(dir.string(), picture, 3, when, &second, &error)) << error;
  EXPECT_EQ(first, (dir / "rq4800-20260708-091011.png").string());
  EXPECT_EQ(second, (dir / "rq4800-20260708-091011-2.png").string());

  int width = 0, height = 0;
  const std::vector<uint32_t> pixels = ReadPng(first, &width, &height);
  ASSERT_EQ(std::pair(width, height), std::pair(2 * skin::kFrameWidth, 2 * skin::kFrameHeight));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      ASSERT_EQ(pixels[static_cast<size_t>(y) * width + x], picture.At(x / 2, y / 2)) << x << "," << y;
  }
  ReadPng(second, &width, &height);
  EXPECT_EQ(width, 3 * skin::kFrameWidth);

  // Nowhere to write: false with the reason, and the folder as it was.
  const size_t before = std::distance(fs::directory_iterator(dir), fs::directory_iterator());
  EXPECT_FALSE(SaveScreenshot((dir / "missing").string(), picture, 1, when, &first, &error));
  EXPECT_NE(error.find("missing"), std::string::npos);
  EXPECT_FALSE(SaveScreenshot(dir.string(), picture, 17, when, &first, &error));
  EXPECT_FALSE(SaveScreenshot(dir.string(), picture, 0, when, &first, &error));
  EXPECT_EQ(static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator())), before);
}

TEST(PictureLayout, WholeStepsFitTheSpaceCentredAndSmoothScalingKeepsTheProportions) {
  struct Row {
    int spaceWidth, spaceHeight;
    bool smooth;
    Placement expected;
  };
  const Row rows[] = {
      {470, 611, false, {0, 0, 470, 611, 1}},              // exactly 1x
      {940, 1222, false, {0, 0, 940, 1222, 2}},            // exactly 2x
      {1500, 1300, false, {280, 39, 940, 1222, 2}},        // 3x is too tall: 2x, centred
      {1500, 2000, false, {45, 83, 1410, 1833, 3}},        // room for 3x
      {705, 1222, true, {0, 152, 705, 916.5, 1.5}},        // smooth: as wide as fits...
      {940, 2000, true, {0, 389, 940, 1222, 2}},           // ...or as tall
      {235, 611, false, {0, 152, 235, 305.5, 0.5}},        // below 1x: shrunk to fit
  };
  for (const Row& row : rows) {
    const Placement p = PlacePicture(row.spaceWidth, row.spaceHeight, 470, 611, row.smooth);
    SCOPED_TRACE(std::to_string(row.spaceWidth) + "x" + std::to_string(row.spaceHeight));
    for (auto [got, want] : {std::pair{p.scale, row.expected.scale}, {p.width, row.expected.width},
                             {p.height, row.expected.height}, {p.x, row.expected.x}, {p.y, row.expected.y}})
      EXPECT_DOUBLE_EQ(got, want);
  }
  EXPECT_EQ(std::pair(LargestFit(469, 611, 470, 611), LargestFit(1880, 2444, 470, 611)), std::pair(0, 4));
}

// Every key of the skin is hit at every step and offset exactly where it is
// hit at 1x, and a point beside the picture hits nothing.
TEST(PictureLayout, AWindowPointFindsTheSameSkinPixelAtEveryScale) {
  const FrameArea frame = ViewArea(false);
  for (auto [width, height, smooth] : {std::tuple{940, 1222, false}, {1500, 1300, false}, {1000, 1000, true}}) {
    const Placement p = PlacePicture(width, height, frame.width, frame.height, smooth);
    for (const SkinKeyRegion& key : skinKeyRegions) {
      const int cx = (key.x1 + key.x2) / 2, cy = (key.y1 + key.y2) / 2;
      // The window point at the middle of that skin pixel.
      const auto hit = PictureAt(p, frame.width, frame.height, p.x + (cx + 0.5) * p.scale, p.y + (cy + 0.5) * p.scale);
      ASSERT_TRUE(hit.has_value()) << key.keyCode;
      EXPECT_EQ(std::pair(hit->x, hit->y), std::pair(cx, cy)) << key.keyCode << " at " << width << "x" << height;
    }
    for (auto [x, y] : {std::pair{p.x - 1, p.y + 10}, {p.x + p.width, p.y + 10}, {p.x + 10, p.y + p.height + 0.5}})
      EXPECT_FALSE(PictureAt(p, frame.width, frame.height, x, y).has_value()) << x << "," << y;
  }
  // The LCD-only view is the panel: strips, dots and icons.
  const FrameArea lcd = ViewArea(true);
  EXPECT_EQ(std::tuple(lcd.x, lcd.y, lcd.x + lcd.width - 1, lcd.y + lcd.height - 1),
            std::tuple(skin::kPanelLeft, skin::kPanelTop, skin::kPanelRight, skin::kPanelBottom));
}

TEST(ViewSettings, EntriesRoundTripAndLeaveTheRestOfTheFileAlone) {
  const fs::path dir = ScratchDirectory();
  const std::string file = (dir / "rq4800.ini").string();
  std::ofstream(file) << "; mine\n[ROM]\nDirectory=/home/me\n";
  EXPECT_EQ(std::pair(ReadViewSettings(file).scale, ReadViewSettings(file).volume), std::pair(1, 100));  // defaults

  ViewSettings s;
  s.scale = 3, s.smooth = true, s.lcdOnly = true, s.pictureFolder = "/tmp/my pictures ", s.volume = 40, s.mute = true;
  for (ViewEntry e : {ViewEntry::kScale, ViewEntry::kSmooth, ViewEntry::kLcdOnly, ViewEntry::kPictureFolder,
                      ViewEntry::kVolume, ViewEntry::kMute}) {
    std::string error;
    ASSERT_TRUE(WriteViewSetting(file, s, e, &error)) << error;
  }
  const ViewSettings b = ReadViewSettings(file);
  EXPECT_EQ(std::tuple(b.scale, b.smooth, b.lcdOnly, b.pictureFolder, b.volume, b.mute),
            std::tuple(3, true, true, std::string("/tmp/my pictures "), 40, true));
  EXPECT_EQ(ReadAll(file).rfind("; mine\n[ROM]\nDirectory=/home/me\n", 0), 0u);
  EXPECT_NE(ReadAll(file).find("[Window]\nScale=3\nSmooth=1\nLcdOnly=1\n"), std::string::npos);
  EXPECT_NE(ReadAll(file).find("[Sound]\nVolume=40\nMute=1\n"), std::string::npos);
}

TEST(ViewSettings, ValuesOutOfRangeKeepTheDefaultAndSaySo) {
  const fs::path dir = ScratchDirectory();
  const std::string file = (dir / "rq4800.ini").string();
  std::ofstream(file) << "[Window]\nScale=5\nSmooth=yes\nLcdOnly=1\n[Sound]\nVolume=-3\nMute=2x\n";
  ProblemCapture problems;
  const ViewSettings s = ReadViewSettings(file);  // the good LcdOnly entry still counts
  EXPECT_EQ(std::tuple(s.scale, s.smooth, s.lcdOnly, s.volume, s.mute), std::tuple(1, false, true, 100, false));
  for (const char* entry : {"Scale=5 in [Window] is not a number from 1 to 4", "Smooth=yes", "Volume=-3 in [Sound]",
                            "Mute=2x"}) {
    EXPECT_NE(problems.text.find(entry), std::string::npos) << entry << "\n" << problems.text;
  }
  EXPECT_EQ(problems.text.find("LcdOnly"), std::string::npos);
}

}  // namespace
}  // namespace rq4800::test
