// The screens that use the flash: the file list and viewer, the flash test.
#include <gmock/gmock.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "tests/firmware/files_fixture.h"

namespace rq4800::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

TEST_F(FilesScreenTest, TextDownloadedIntoTheDefaultImageIsListedAndOpens) {
  Boot();  // the built-in default flash image
  AddText("hello", "Hello, device!\r\nSecond line\r\n");
  OpenFiles();
  EXPECT_THAT(Line(0), StartsWith("Files 1")) << Screen();
  EXPECT_THAT(ListRow(0), StartsWith("txt hello")) << Screen();
  EXPECT_THAT(ListRow(0), HasSubstr("    29")) << "the file's own size";
  EXPECT_TRUE(ListInverted(0));
  Press(key::kEnter, 20);
  EXPECT_THAT(Line(0), StartsWith("hello")) << Screen();
  EXPECT_THAT(Line(1), StartsWith("Hello, device!")) << Screen();
  EXPECT_THAT(Line(2), StartsWith("Second line")) << Screen();
  Press(key::kEsc);
  EXPECT_THAT(ListRow(0), StartsWith("txt hello")) << "back to the list\n" << Screen();
}

TEST_F(FilesScreenTest, ListsEveryFolderWithNamesAndSizes) {
  BootWith(SmallFileSystem());
  AddText("notes", "abc\n");
  std::vector<uint8_t> program(40000, 0xEA);
  ASSERT_TRUE(machine->storage.DownloadBin(program.data(), program.size()).Ok());
  const std::string basic = "10 PRINT 1\n";
  const auto* bytes = reinterpret_cast<const uint8_t*>(basic.data());
  ASSERT_TRUE(machine->storage.DownloadNamed(bytes, basic.size(), "prog", "bas ", ".BAS").Ok());
  OpenFiles();
  EXPECT_THAT(Line(0), StartsWith("Files 3")) << Screen();
  EXPECT_THAT(ListRow(0), StartsWith("txt notes")) << Screen();
  EXPECT_THAT(ListRow(0), HasSubstr("     4"));
  EXPECT_THAT(ListRow(1), StartsWith("bin (invalid) 0001")) << "no program header\n" << Screen();
  EXPECT_THAT(ListRow(1), HasSubstr(" 65536")) << "two whole banks";
  EXPECT_THAT(ListRow(2), StartsWith("bas prog.BAS")) << Screen();
  EXPECT_THAT(ListRow(2), HasSubstr("    11"));
  // A file without a program header is never started; a BASIC file is shown
  // as text, from its first byte.
  Press(key::kDown);
  Press(key::kEnter);
  EXPECT_THAT(Line(9), StartsWith("Not a program (no header)")) << Screen();
  RunSeconds(1.5);
  Press(key::kDown);
  Press(key::kEnter);
  EXPECT_THAT(Line(1), StartsWith("10 PRINT 1")) << Screen();
}

TEST_F(FilesScreenTest, CoreAreaAtTheSecondPlaceAndEmptyFolders) {
  BootWith(SmallFileSystem(0x6000));
  OpenFiles();
  EXPECT_THAT(Line(0), StartsWith("Files 0")) << Screen();
  EXPECT_EQ(Line(2), "No files in the folders   ") << Screen();
  EXPECT_EQ(Line(3), "txt, bin, bas and udf     ");
  EXPECT_EQ(Clipped(), 0) << "said in full";
  Press(key::kEnter);  // nothing to open
  EXPECT_THAT(Line(2), StartsWith("No files")) << Screen();
  AddText("late", "x\n");
  Press(key::kEsc);
  Press(key::kEnter);  // Files again: it reads the tables afresh
  Run(10);
  EXPECT_THAT(ListRow(0), StartsWith("txt late")) << Screen();
}

TEST_F(FilesScreenTest, SelectionScrollsThroughALongList) {
  BootWith(SmallFileSystem());
  for (int i = 0; i < 12; ++i) AddText(std::string("f").append(std::to_string(10 + i)), "x\n");
  OpenFiles();
  EXPECT_THAT(Line(0), StartsWith("Files 12")) << Screen();
  EXPECT_THAT(ListRow(4), StartsWith("txt f14")) << "five rows of 12 dots";
  for (int i = 0; i < 11; ++i) Press(key::kDown, 3);
  EXPECT_THAT(ListRow(4), StartsWith("txt f21")) << Screen();
  EXPECT_THAT(ListRow(0), StartsWith("txt f17")) << Screen();
  Press(key::kDown);  // already the last
  EXPECT_TRUE(ListInverted(4));
  EXPECT_FALSE(ListInverted(3)) << "a bar left behind";
  for (int i = 0; i < 11; ++i) Press(key::kUp, 3);
  EXPECT_THAT(ListRow(0), StartsWith("txt f10")) << Screen();
  EXPECT_TRUE(ListInverted(0));
  EXPECT_FALSE(ListInverted(1));
}

TEST_F(FilesScreenTest, LongTextWrapsAndScrolls) {
  std::string text = "This first line is longer than one row\n";
  for (int i = 1; i <= 30; ++i) text.append("Line ").append(std::to_string(100 + i)).append("\n");
  text.append(600, 'z').append("\nEnd");  // over 512 bytes: a chain of blocks
  View(text);
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
  for (int i = 0; i < 6; ++i) Press(key::kLeft);
  EXPECT_THAT(Line(1), StartsWith("This first")) << Screen();
}

// Only the first 16 KB fit the viewer: the title says so, and the text
// shown ends where the buffer does, without running past it.
TEST_F(FilesScreenTest, TextLongerThanTheBufferShowsItsStart) {
  BootWith(SmallFileSystem());
  std::string text;
  for (int i = 0; text.size() < 20000; ++i)  // 20 bytes a line
    text.append("row ").append(std::to_string(1000 + i)).append(" ..........\n");
  AddText("big", text);
  OpenFiles();
  EXPECT_THAT(ListRow(0), HasSubstr(" 20000")) << Screen();
  Press(key::kEnter, 100);  // laying out 16 KB takes the firmware a while
  EXPECT_THAT(Line(0), StartsWith("big")) << Screen();
  EXPECT_THAT(Line(0), HasSubstr("16K+")) << Screen();
  EXPECT_THAT(Line(1), StartsWith("row 1000 ..........")) << Screen();
  // 16384 - 5 bytes of counts: 818 whole lines and a part of the next.
  for (int i = 0; i < 95; ++i) Press(key::kRight, 2);
  EXPECT_THAT(Line(8), StartsWith("row 1817 ..........")) << Screen();
  EXPECT_THAT(Line(9), StartsWith("row 1818 ")) << Screen();
}

TEST_F(FilesScreenTest, ChineseTextUsesTheTwelveDotFont) {
  const Font12 gbk;
  if (!gbk.Present()) GTEST_SKIP() << "built without the WenQuanYi bitmap font";
  View("\xC4\xE3\xBA\xC3 ok\nline 2\n");  // "ni hao ok"
  // Lines of 12 dot rows under the title; two-byte characters take two cells.
  const int codes[2][2] = {{0xC4, 0xE3}, {0xBA, 0xC3}};
  for (int c = 0; c < 2; ++c) {
    const int slot = Font12::GbkSlot(codes[c][0], codes[c][1]);
    EXPECT_GT(gbk.Ink(slot), 20) << "the font has character " << c;
    EXPECT_TRUE(ShowsGlyphAt(gbk, slot, 2 + 12 * c, 8)) << "char " << c;
  }
  // One-byte characters sit 4 rows down, on the same baseline.
  EXPECT_TRUE(ShowsTextAtDot(2 + 6 * 5, 12, "ok")) << Screen();
  EXPECT_TRUE(ShowsTextAtDot(2, 24, "line 2")) << Screen();
}

TEST_F(FilesScreenTest, CodesOutsideGbkShowAsFrames) {
  View("\x81\x30x\n");  // a lead byte with a trail GBK does not allow
  EXPECT_TRUE(Dot(3, 9)) << "the frame's top edge";
  EXPECT_TRUE(ShowsTextAtDot(2 + 6 * 2, 12, "x")) << Screen();
}

// Pages of 12-row lines hold six lines, and scrolling reaches the last of
// them however far it goes.
TEST_F(FilesScreenTest, TwelveRowTextScrollsToItsLastLine) {
  if (!Font12().Present()) GTEST_SKIP() << "built without the WenQuanYi bitmap font";
  std::string text;
  for (int i = 10; i < 22; ++i) text.append("\xC4\xE3 ").append(std::to_string(i)).append("\n");
  View(text);
  const auto lineShows = [&](int line, const std::string& number) {
    return ShowsTextAtDot(2 + 6 * 3, 8 + 12 * line + 4, number);
  };
  EXPECT_TRUE(lineShows(5, "15")) << "six lines a page";
  for (int i = 0; i < 4; ++i) Press(key::kRight, 3);
  EXPECT_TRUE(lineShows(5, "21")) << "the last line, at the page's foot";
  EXPECT_TRUE(lineShows(0, "16"));
  Press(key::kDown);
  EXPECT_TRUE(lineShows(5, "21")) << "no further";
}

using FlashScreenTest = FirmwareTest;

// What the test programs: offset low XOR offset high XOR 0x5A.
uint8_t Pattern(size_t i) { return static_cast<uint8_t>((i & 0xFF) ^ (i >> 8) ^ 0x5A); }

TEST_F(FlashScreenTest, ErasesAndProgramsTheReservedSectorOnEveryRun) {
  constexpr size_t kSector = 0x7F000;
  Boot();
  uint8_t* flash = machine->bus.flash.get();
  // Zeros the pattern's bits cannot turn back into ones without an erase.
  std::fill(flash + kSector, flash + kSector + 0x1000, 0x00);
  const std::vector<uint8_t> before(flash, flash + resource::kFlashImageSize);
  OpenMenuItem(5);
  Run(20);
  EXPECT_TRUE(ScreenHas("Flash test")) << Screen();
  EXPECT_THAT(Line(4), StartsWith("PASS")) << Screen();
  for (size_t i = 0; i < resource::kFlashImageSize; ++i) {
    const bool inSector = i >= kSector && i < kSector + 0x1000;
    ASSERT_EQ(flash[i], inSector ? Pattern(i - kSector) : before[i]) << "flash offset " << i;
  }
  // The command sequences ended cleanly and the map is back to normal.
  const BusRQ4800& bus = machine->bus;
  EXPECT_EQ(std::tuple(bus.flashUnlock, bus.flashProgram, bus.flashErase), std::tuple(0, 0, 0));
  EXPECT_FALSE(machine->bus.FlashMode());
  EXPECT_EQ(machine->bus.ports[0x00], 0u);

  flash[kSector + 0x123] = 0x00;  // spoiled: Enter runs the test again, erase and all
  Press(key::kEnter, 20);
  EXPECT_THAT(Line(4), StartsWith("PASS")) << Screen();
  EXPECT_EQ(flash[kSector + 0x123], Pattern(0x123));
  Press(key::kEsc);
  EXPECT_TRUE(AtHome()) << Screen();
}

}  // namespace
}  // namespace rq4800::test
