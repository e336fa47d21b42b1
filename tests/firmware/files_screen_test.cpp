#include <gmock/gmock.h>

#include <array>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "tests/firmware/firmware_fixture.h"

namespace rq4800::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

// A small file system: bank 0 in use, the folders the device keeps, none of
// them with an index block yet.
std::vector<uint8_t> SmallFileSystem(size_t core) {
  std::vector<uint8_t> image(resource::kFlashImageSize, 0xFF);
  image[0x4000] = core == 0x4000 ? '*' : 0x00;
  for (int b = 0; b < 64; ++b) {
    image[core + 0x400 + 3 * b] = 0xFF;
    image[core + 0x400 + 3 * b + 1] = 0xF3;
    image[core + 0x400 + 3 * b + 2] = 0xE6;
  }
  const char* names[] = {"pidf", "bin ", "txt ", "rec ", "bas ", "udf "};
  for (int f = 0; f < 6; ++f) {
    uint8_t* rec = &image[core + 0x1000 + 16 * f];
    rec[0] = 0xB7;
    std::memcpy(rec + 1, names[f], 4);
    rec[5] = 0;
  }
  return image;
}

class FilesScreenTest : public FirmwareTest {
 protected:
  void BootWith(std::vector<uint8_t> flash) {
    resources.Replace(resource::kDefaultFlash, std::move(flash));
    Boot();
  }
  void AddText(const std::string& name, const std::string& text) {
    ASSERT_TRUE(machine->storage
                    .DownloadText(reinterpret_cast<const uint8_t*>(text.data()), text.size(), name)
                    .Ok());
  }
  void OpenFiles() {
    OpenMenuItem(4);
    Run(10);
    ASSERT_THAT(Line(0), StartsWith("Files")) << Screen();
  }
};

TEST_F(FilesScreenTest, TextDownloadedIntoTheDefaultImageIsListedAndOpens) {
  Boot();  // the built-in default flash image
  AddText("hello", "Hello, device!\r\nSecond line\r\n");
  OpenFiles();
  EXPECT_THAT(Line(0), StartsWith("Files 1")) << Screen();
  EXPECT_THAT(Line(1), StartsWith("txt hello")) << Screen();
  EXPECT_THAT(Line(1), HasSubstr("    29")) << "the file's own size";
  EXPECT_TRUE(Inverted(1));
  Press(key::kEnter, 20);
  EXPECT_THAT(Line(0), StartsWith("hello")) << Screen();
  EXPECT_THAT(Line(1), StartsWith("Hello, device!")) << Screen();
  EXPECT_THAT(Line(2), StartsWith("Second line")) << Screen();
  Press(key::kEsc);
  EXPECT_THAT(Line(1), StartsWith("txt hello")) << Screen();
  Press(key::kEsc);
  EXPECT_THAT(Line(0), HasSubstr("RQ4800 Diagnostics")) << Screen();
}

TEST_F(FilesScreenTest, ListsEveryFolderWithNamesAndSizes) {
  BootWith(SmallFileSystem(0x4000));
  AddText("notes", "abc\n");
  std::vector<uint8_t> program(40000, 0xEA);
  ASSERT_TRUE(machine->storage.DownloadBin(program.data(), program.size()).Ok());
  std::string basic = "10 PRINT 1\n";
  ASSERT_TRUE(machine->storage
                  .DownloadNamed(reinterpret_cast<const uint8_t*>(basic.data()), basic.size(), "prog", "bas ", ".BAS")
                  .Ok());
  OpenFiles();
  EXPECT_THAT(Line(0), StartsWith("Files 3")) << Screen();
  EXPECT_THAT(Line(1), StartsWith("txt notes")) << Screen();
  EXPECT_THAT(Line(1), HasSubstr("     4"));
  EXPECT_THAT(Line(2), StartsWith("bin PROGRAM 0001")) << Screen();
  EXPECT_THAT(Line(2), HasSubstr(" 65536")) << "two whole banks";
  EXPECT_THAT(Line(3), StartsWith("bas prog.BAS")) << Screen();
  EXPECT_THAT(Line(3), HasSubstr("    11"));
  // A program is not shown as text; a BASIC file is, from its first byte.
  Press(key::kDown);
  Press(key::kEnter);
  EXPECT_THAT(Line(9), StartsWith("Not a text file")) << Screen();
  RunSeconds(1.5);
  Press(key::kDown);
  EXPECT_TRUE(Inverted(3));
  Press(key::kEnter);
  EXPECT_THAT(Line(1), StartsWith("10 PRINT 1")) << Screen();
}

TEST_F(FilesScreenTest, CoreAreaAtTheSecondPlaceAndEmptyFolders) {
  BootWith(SmallFileSystem(0x6000));
  OpenFiles();
  EXPECT_THAT(Line(0), StartsWith("Files 0")) << Screen();
  EXPECT_THAT(Line(2), StartsWith("No files")) << Screen();
  Press(key::kEnter);  // nothing to open
  EXPECT_THAT(Line(2), StartsWith("No files")) << Screen();

  AddText("late", "x\n");
  Press(key::kEsc);
  Press(key::kEnter);  // Files again: it reads the tables afresh
  Run(10);
  EXPECT_THAT(Line(1), StartsWith("txt late")) << Screen();
}

TEST_F(FilesScreenTest, LongTextWrapsAndScrolls) {
  BootWith(SmallFileSystem(0x4000));
  std::string text = "This first line is longer than one row\n";
  for (int i = 1; i <= 30; ++i) {
    text += "Line ";
    text += std::to_string(100 + i);
    text += '\n';
  }
  // Over 512 bytes, so the text runs through a chain of blocks.
  text.append(600, 'z');
  text += "\nEnd";
  AddText("long", text);
  OpenFiles();
  Press(key::kEnter, 20);
  EXPECT_THAT(Line(1), StartsWith("This first line is longer ")) << Screen();
  EXPECT_THAT(Line(2), StartsWith("than one row")) << Screen();
  EXPECT_THAT(Line(3), StartsWith("Line 101")) << Screen();
  Press(key::kDown);
  EXPECT_THAT(Line(1), StartsWith("than one row")) << Screen();
  Press(key::kRight);  // a page on
  EXPECT_THAT(Line(1), StartsWith("Line 109")) << Screen();
  Press(key::kUp);
  EXPECT_THAT(Line(1), StartsWith("Line 108")) << Screen();
  for (int i = 0; i < 12; ++i) Press(key::kRight, 3);
  // The last page: 600 z's make 24 rows of 26 and one of 2; then "End".
  EXPECT_THAT(Line(9), StartsWith("End")) << Screen();
  EXPECT_THAT(Line(8), StartsWith("zz ")) << Screen();
  Press(key::kLeft);
  Press(key::kLeft);
  Press(key::kLeft);
  Press(key::kLeft);
  Press(key::kLeft);
  Press(key::kLeft);
  EXPECT_THAT(Line(1), StartsWith("This first")) << Screen();
}

// The 12 x 12 glyph of a GBK code from the font the build made.
std::array<uint16_t, 12> GbkGlyph(int lead, int trail) {
  std::ifstream in(std::string(RQ4800_BINARY_DIR) + "/firmware/gbk12.bin", std::ios::binary);
  in.seekg(((lead - 0x81) * 191 + (trail - 0x40)) * 32);
  std::array<uint16_t, 12> rows{};
  for (auto& row : rows) {
    const int hi = in.get(), lo = in.get();
    row = static_cast<uint16_t>(hi << 8 | lo);
  }
  return rows;
}

TEST_F(FilesScreenTest, ChineseTextUsesTheTwelveDotFont) {
  BootWith(SmallFileSystem(0x4000));
  AddText("gbk", "\xC4\xE3\xBA\xC3 ok\nline 2\n");  // "ni hao ok"
  OpenFiles();
  Press(key::kEnter, 20);
  // Lines of 12 dot rows under the title; two-byte characters take two cells.
  for (int c = 0; c < 2; ++c) {
    const auto glyph = GbkGlyph(c ? 0xBA : 0xC4, c ? 0xC3 : 0xE3);
    int ink = 0;
    for (int r = 0; r < 12; ++r)
      for (int d = 0; d < 12; ++d) {
        const bool want = (glyph[r] >> (15 - d)) & 1;
        ink += want;
        ASSERT_EQ(Dot(2 + 12 * c + d, 8 + r), want) << "character " << c << " row " << r << " dot " << d;
      }
    EXPECT_GT(ink, 20) << "the font has the character";
  }
  // One-byte characters sit 4 rows down, on the same baseline.
  EXPECT_TRUE(ShowsTextAtDot(2 + 6 * 5, 12, "ok")) << Screen();
  EXPECT_TRUE(ShowsTextAtDot(2, 24, "line 2")) << Screen();
}

TEST_F(FilesScreenTest, CodesOutsideGbkShowAsFrames) {
  BootWith(SmallFileSystem(0x4000));
  AddText("odd", "\x81\x30x\n");  // a lead byte with a trail GBK does not allow
  OpenFiles();
  Press(key::kEnter, 20);
  EXPECT_TRUE(Dot(3, 9)) << "the frame's top edge";
  EXPECT_TRUE(ShowsTextAtDot(2 + 6 * 2, 12, "x")) << Screen();
}

// Only the first 16 KB fit the viewer: the title says so, and the text
// shown ends where the buffer does, without running past it.
TEST_F(FilesScreenTest, TextLongerThanTheBufferShowsItsStart) {
  BootWith(SmallFileSystem(0x4000));
  std::string text;
  for (int i = 0; text.size() < 20000; ++i) {
    text += "row ";
    text += std::to_string(1000 + i);
    text += " ..........\n";  // 20 bytes a line
  }
  AddText("big", text);
  OpenFiles();
  EXPECT_THAT(Line(1), HasSubstr(" 20000")) << Screen();
  Press(key::kEnter, 100);  // laying out 16 KB takes the firmware a while
  EXPECT_THAT(Line(0), StartsWith("big")) << Screen();
  EXPECT_THAT(Line(0), HasSubstr("16K+")) << Screen();
  EXPECT_THAT(Line(1), StartsWith("row 1000 ..........")) << Screen();
  // 16384 - 5 bytes of counts: 818 whole lines and a part of the next.
  for (int i = 0; i < 95; ++i) Press(key::kRight, 2);
  EXPECT_THAT(Line(8), StartsWith("row 1817 ..........")) << Screen();
  EXPECT_THAT(Line(9), StartsWith("row 1818 ")) << Screen();
}

TEST_F(FilesScreenTest, SelectionScrollsThroughALongList) {
  BootWith(SmallFileSystem(0x4000));
  for (int i = 0; i < 12; ++i) {
    std::string name = "f";
    name += std::to_string(10 + i);
    AddText(name, "x\n");
  }
  OpenFiles();
  EXPECT_THAT(Line(0), StartsWith("Files 12")) << Screen();
  for (int i = 0; i < 11; ++i) Press(key::kDown, 3);
  EXPECT_THAT(Line(8), StartsWith("txt f21")) << Screen();
  EXPECT_TRUE(Inverted(8));
  Press(key::kDown);  // already the last
  EXPECT_TRUE(Inverted(8));
  for (int i = 0; i < 11; ++i) Press(key::kUp, 3);
  EXPECT_THAT(Line(1), StartsWith("txt f10")) << Screen();
  EXPECT_TRUE(Inverted(1));
}

}  // namespace
}  // namespace rq4800::test
