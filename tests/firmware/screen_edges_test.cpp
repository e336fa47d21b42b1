// Nothing any screen draws may run past the LCD's edges. The firmware counts
// every character cell it had to drop at the right or bottom edge; each
// screen is driven through its texts (long names, every key, every phase)
// and the count must stay 0.
#include <gmock/gmock.h>

#include <string>

#include "tests/firmware/files_fixture.h"

namespace rq4800::test {
namespace {

using ::testing::StartsWith;

class ScreenEdgesTest : public FilesScreenTest {
 protected:
  // A fresh machine on the flash image with files of long names and text
  // that fills its lines, showing menu item n.
  void Open(int n) {
    BootWith(SmallFileSystem());
    DownloadPcFile("A name as long as the device keeps it.txt", LongText());
    DownloadPcFile("一二三四五六七八九十一二三.bas", "10 PRINT 1\n");
    DownloadPcFile("二十六个格子里放不下的很长的文件名称.txt", "x\n");
    std::string program(100, '\xEA');
    ASSERT_TRUE(machine->storage.DownloadBin(reinterpret_cast<const uint8_t*>(program.data()), program.size()).Ok());
    OpenMenuItem(n);
  }
  static std::string LongText() {
    std::string text;
    for (int i = 0; i < 40; ++i) {
      text.append(25, 'a').append("\xC4\xE3\xBA\xC3");  // a two-byte character that no longer fits
      text.append(i % 2 ? "\tend\r\n" : "\n");
    }
    return text;
  }
};

TEST_F(ScreenEdgesTest, HomeAndKeyboardTestWithEveryKey) {
  Open(0);
  ASSERT_THAT(Line(0), StartsWith("Keyboard test")) << Screen();
  for (int code = 0; code < 60; ++code) {
    if (code == key::kEsc) continue;
    Press(code, 4);
    ASSERT_EQ(Clipped(), 0) << "key " << code << "\n" << Screen();
  }
  Press(key::kEsc);
  Press(key::kEsc, 20);
  EXPECT_TRUE(AtHome()) << Screen();
  RunSeconds(1);
  EXPECT_EQ(Clipped(), 0) << Screen();
}

TEST_F(ScreenEdgesTest, DisplayTimerSoundFlashAndSleepScreens) {
  const struct { int item; const char* name; } screens[] = {
      {1, "display"}, {2, "timer"}, {3, "sound"}, {5, "flash"}, {6, "sleep"}};
  for (const auto& s : screens) {
    SCOPED_TRACE(s.name);
    Open(s.item);
    switch (s.item) {
      case 1:  // every phase: patterns, icons, digits
        for (int i = 0; i < 6; ++i) Press(key::kEnter, 60);
        break;
      case 3:  // every item of the list, the first played to its end
        Press(key::kEnter, 5);
        for (int i = 0; i < 300 && !ScreenHas("Done"); ++i) Run(5);
        for (int i = 0; i < 3; ++i) Press(key::kDown, 3);
        break;
      default:
        RunSeconds(2.5);
    }
    EXPECT_EQ(Clipped(), 0) << Screen();
  }
}

TEST_F(ScreenEdgesTest, FilesListViewerAndItsMessages) {
  Open(4);
  Run(10);
  EXPECT_THAT(Line(0), StartsWith("Files 4")) << Screen();
  // Rows: the two texts, the program, the BASIC file.
  for (int i = 0; i < 3; ++i) Press(key::kDown, 3);
  EXPECT_EQ(Clipped(), 0) << "the list\n" << Screen();
  Press(key::kUp, 3);
  Press(key::kEnter, 30);
  EXPECT_THAT(Line(9), StartsWith("Not a program (no header)")) << Screen();
  RunSeconds(1.5);
  for (int i = 0; i < 2; ++i) Press(key::kUp, 3);
  Press(key::kEnter, 40);  // the long text, two-byte characters and all
  for (int i = 0; i < 12; ++i) Press(key::kRight, 3);
  Press(key::kEsc);
  Press(key::kDown, 3);
  Press(key::kEnter, 40);  // the long two-byte name in the title
  EXPECT_EQ(Clipped(), 0) << "the viewer\n" << Screen();
}

}  // namespace
}  // namespace rq4800::test
