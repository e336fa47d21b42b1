// Chinese file names on the Files screen: text and skin names in Big5,
// BASIC names in GBK, drawn from the one 12 x 12 glyph set.
#include <gmock/gmock.h>

#include <string>
#include <utility>
#include <vector>

#include "storage/device_name.h"
#include "tests/firmware/files_fixture.h"

namespace rq4800::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

TEST(Font12Test, GlyphSlotsAndTheBig5MapShareOneGlyphSet) {
  const Font12 font;
  if (!font.Present()) GTEST_SKIP() << "built without the WenQuanYi bitmap font";
  ASSERT_EQ(font.bytes.size(), 25 * Font12::kPage) << "24 glyph pages and the map page";
  EXPECT_EQ(std::string(font.bytes.begin() + 24, font.bytes.begin() + 29), "GBK12") << "the firmware's mark";
  // Trail byte 0x7F is never part of a GBK code: its slots stay blank.
  EXPECT_EQ(font.Ink(Font12::GbkSlot(0xB0, 0x7F)), 0);
  // 0xD2BB (one): a single long horizontal stroke, and at most one more row
  // of ink for the stroke's end.
  int strokeRows = 0, inkRows = 0;
  for (int r = 0; r < 12; ++r) {
    const int dots = __builtin_popcount(static_cast<unsigned>(font.Row(Font12::GbkSlot(0xD2, 0xBB), r)));
    inkRows += dots > 0;
    strokeRows += dots >= 8;
  }
  EXPECT_EQ(strokeRows, 1);
  EXPECT_LE(inkRows, 2);
  // A character both code pages have is one glyph: Big5 to the GBK slot,
  // from both trail ranges of Big5.
  const struct { int big5Lead, big5Trail, gbkLead, gbkTrail; } same[] = {
      {0xA4, 0xA4, 0xD6, 0xD0},  // zhong
      {0xA4, 0x40, 0xD2, 0xBB},  // one
      {0xB0, 0x4F, 0xD3, 0x9B},  // ji, traditional form
      {0xF9, 0xD5, 0xFD, 0x93},  // the last hanzi of Big5
  };
  for (const auto& c : same)
    EXPECT_EQ(font.Big5Slot(c.big5Lead, c.big5Trail), Font12::GbkSlot(c.gbkLead, c.gbkTrail))
        << std::hex << c.big5Lead << c.big5Trail;
  EXPECT_EQ(font.Big5Slot(0xA3, 0xC0), Font12::kNoGlyph) << "a code Big5 leaves undefined";
  // Every map entry names a slot that exists and has a glyph in it; the
  // characters GBK lacks have slots of their own after GBK's.
  int mapped = 0, own = 0;
  for (int lead = 0xA1; lead <= 0xF9; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail > 0x7E && trail < 0xA1) continue;
      const int slot = font.Big5Slot(lead, trail);
      if (slot == Font12::kNoGlyph) continue;
      ASSERT_LT(slot, Font12::kSlots);
      if (lead != 0xA1 || trail != 0x40) {  // all but the ideographic space
        ASSERT_GT(font.Ink(slot), 0) << std::hex << lead << trail;
      }
      ++mapped;
      own += slot >= Font12::kGbkSlots;
    }
  }
  EXPECT_GT(mapped, 13000) << "the hanzi of Big5 and more";
  EXPECT_GT(own, 0);
}

class FileNamesTest : public FilesScreenTest {
 protected:
  const Font12 font;
  void SetUp() override {
    if (!font.Present()) GTEST_SKIP() << "built without the WenQuanYi bitmap font";
  }
  // Whether the two-byte characters of `name` are drawn from cell `col` of
  // the 12-row line whose top is y; big5 picks the map, else GBK codes.
  bool ShowsName(const std::string& name, bool big5, int col, int y) const {
    for (size_t i = 0; i + 1 < name.size(); i += 2) {
      const int lead = static_cast<uint8_t>(name[i]), trail = static_cast<uint8_t>(name[i + 1]);
      const int slot = big5 ? font.Big5Slot(lead, trail) : Font12::GbkSlot(lead, trail);
      if (!ShowsGlyphAt(font, slot, 2 + 6 * (col + static_cast<int>(i)), y)) return false;
    }
    return true;
  }
};

TEST_F(FileNamesTest, ListShowsBig5AndGbkNamesInTheTwelveDotFont) {
  BootWith(SmallFileSystem());
  DownloadPcFile("中文笔记.txt", "ok\n");
  DownloadPcFile("程序.bas", "10 PRINT 1\n");
  DownloadPcFile("皮肤.ski", "skin");
  // What storage makes of the names: traditional Big5 for text and skin
  // names (both of Big5's trail ranges), GBK for BASIC.
  const std::string text = "\xA4\xA4\xA4\xE5\xB5\xA7\xB0\x4F", skin = "\xA5\xD6\xBD\xA7";
  ASSERT_EQ(ToDeviceName("中文笔记"), text);
  ASSERT_EQ(ToDeviceName("皮肤"), skin);
  OpenFiles();
  EXPECT_THAT(Line(0), StartsWith("Files 3")) << Screen();
  EXPECT_TRUE(ShowsName(text, true, 4, ListRowTop(0))) << "the selected row, light on dark";
  EXPECT_THAT(ListRow(0), StartsWith("txt ")) << Screen();
  EXPECT_THAT(ListRow(0), HasSubstr("     3"));
  EXPECT_TRUE(ShowsName("\xB3\xCC\xD0\xF2", false, 4, ListRowTop(1)));
  EXPECT_TRUE(ShowsTextAtDot(2 + 6 * 8, ListRowTop(1) + 4, ".BAS")) << "on the characters' baseline";
  EXPECT_TRUE(ShowsName(skin, true, 4, ListRowTop(2)));
  EXPECT_TRUE(ListInverted(0));
  EXPECT_FALSE(ListInverted(1));
  // The viewer's title grows to 12 rows for the name; the text follows.
  Press(key::kEnter, 20);
  EXPECT_TRUE(ShowsName(text, true, 0, 0)) << Screen();
  EXPECT_TRUE(ShowsTextAtDot(2, 12, "ok")) << Screen();
}

// A name longer than its 15 cells ends at the last whole character; nothing
// of it reaches the size column, and nothing is drawn past the edge.
TEST_F(FileNamesTest, LongNamesEndAtAWholeCharacter) {
  BootWith(SmallFileSystem());
  DownloadPcFile("一二三四五六七八九十.txt", "x\n");
  OpenFiles();
  const std::string name = ToDeviceName("一二三四五六七八九十");
  ASSERT_EQ(name.size(), 20u);
  EXPECT_TRUE(ShowsName(name.substr(0, 14), true, 4, ListRowTop(0)));
  EXPECT_EQ(ListRow(0).substr(18), "       2") << "blank after seven characters, then the size\n" << Screen();
  EXPECT_EQ(Clipped(), 0);
}

}  // namespace
}  // namespace rq4800::test
