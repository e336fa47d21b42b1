// Directory, block table, free-space search and the flash information report
// on synthetic images.
#include <gtest/gtest.h>

#include "tests/storage/flash_builder.h"

namespace rq4800 {
namespace {

using test::FlashBuilder;

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n') + 1); }

std::string LineStartingWith(const std::string& text, const std::string& prefix) {
  size_t at = text.find(prefix);
  if (at == std::string::npos) return "";
  return text.substr(at, text.find('\n', at) - at + 1);
}

TEST(FlashScan, CoreAreaFollowsTheStarMarkAndTablesAreReadThere) {
  FlashBuilder f;
  f.Use(0, 9);
  EXPECT_EQ(FirstLine(f.fs.FlashInfoReport()), "Core at 4000\n");
  EXPECT_EQ(f.fs.freeBlockCount, 1014);

  // Without the mark the tables are at 0x6000: its table (all FF here) shows
  // every block free, and the bytes at 0x4400 no longer count.
  f.image[0x4000] = 0x2B;
  EXPECT_EQ(FirstLine(f.fs.FlashInfoReport()), "Core at 6000\n");
  EXPECT_EQ(f.fs.coreOffset, 0x6000);
  EXPECT_EQ(f.fs.freeBlockCount, 1024);
  f.image[0x6000 + 0x400 + 3 * 700 + 2] = 0x00;
  f.fs.Scan();
  EXPECT_EQ(f.fs.freeBlockCount, 1023);
  EXPECT_FALSE(f.fs.blocks[700].free);
}

TEST(FlashScan, EntriesGiveNextBlockAndPositionAndOnlyAllFFIsFree) {
  FlashBuilder f;
  uint8_t* e = f.Entry(12);
  e[0] = 0x05, e[1] = 0xF2, e[2] = 0xE1;
  uint8_t* nearlyFree = f.Entry(13);
  nearlyFree[2] = 0xFE;  // FF FF FE
  f.fs.Scan();
  EXPECT_EQ(f.fs.blocks[12].next, 517);  // 5 + 256 * (0xF2 & 3)
  EXPECT_EQ(f.fs.blocks[12].position, 0xE1);
  EXPECT_FALSE(f.fs.blocks[12].free);
  EXPECT_FALSE(f.fs.blocks[13].free);
  EXPECT_TRUE(f.fs.blocks[14].free);
  EXPECT_EQ(f.fs.blocks[14].next, 1023);
  EXPECT_EQ(f.fs.freeBlockCount, 1022);
  EXPECT_FALSE(f.fs.bankFree[0]);
  EXPECT_TRUE(f.fs.bankFree[1]);
}

TEST(FlashScan, ParseRecordsTakesTheFieldsAndStopsAtFFOrMax) {
  FlashBuilder f;
  f.AddFolder("bin ", 0x1C05, 0xB5);
  f.AddFolder("txt ");
  f.AddFolder("udf ");
  f.fs.Scan();
  ASSERT_EQ(f.fs.folderCount, 3);
  const ParsedRecord& bin = f.fs.folders[0];
  EXPECT_EQ(bin.Name(), "bin ");
  EXPECT_EQ(bin.status, 0xB5);
  EXPECT_EQ(bin.attribute, 0x21);
  EXPECT_EQ(bin.indexBlock, 0x1C05u);
  EXPECT_EQ(bin.IndexBlock(), 5);
  EXPECT_EQ(bin.secondBlock, 0x1234u);
  EXPECT_FALSE(f.fs.folders[1].HasIndexBlock());
  EXPECT_EQ(f.fs.folders[2].position, 2);

  ParsedRecord out[2];
  EXPECT_EQ(FlashFileSystem::ParseRecords(f.FolderRecord(0), 2, out), 2);
  EXPECT_EQ(out[1].Name(), "txt ");

  // A first record of 0xFF: no folders at all.
  f.FolderRecord(0)[0] = 0xFF;
  f.fs.Scan();
  EXPECT_EQ(f.fs.folderCount, 0);
}

TEST(FlashFindFree, BlocksTakesTheLowestRunElseTheRunReachingTheEnd) {
  FlashBuilder f;
  f.UseAllBut({3, 4, 5, 6, 10, 11, 1021, 1022, 1023});
  f.fs.Scan();
  std::vector<int> out;
  // The run at 10..11 would fit exactly, but 3..6 comes first.
  EXPECT_EQ(f.fs.FindFree(2, out, false), 2);
  EXPECT_EQ(out, (std::vector<int>{3, 4}));
  EXPECT_EQ(f.fs.FindFree(4, out, false), 4);
  EXPECT_EQ(out, (std::vector<int>{3, 4, 5, 6}));
  // Five in a row exist nowhere: the answer is the run that reaches 1023.
  EXPECT_EQ(f.fs.FindFree(5, out, false), 3);
  EXPECT_EQ(out, (std::vector<int>{1021, 1022, 1023}));
  f.Use(1023, 1023);
  f.fs.Scan();
  EXPECT_EQ(f.fs.FindFree(5, out, false), 0);
  EXPECT_TRUE(out.empty());
}

TEST(FlashFindFree, BanksCountsDownFromBank15) {
  FlashBuilder f;
  f.Use(0, 1023);
  f.FreeBank(15);
  f.FreeBank(13);
  f.fs.Scan();
  std::vector<int> out;
  EXPECT_EQ(f.fs.FindFree(2, out, true), 0);  // the run that reaches bank 0 is empty
  EXPECT_EQ(f.fs.FindFree(1, out, true), 1);
  EXPECT_EQ(out, std::vector<int>{15});

  FlashBuilder g;
  g.Use(0, 1023);
  g.FreeBank(1);
  g.FreeBank(0);
  g.fs.Scan();
  EXPECT_EQ(g.fs.FindFree(2, out, true), 2);
  EXPECT_EQ(out, std::vector<int>{0});
  EXPECT_EQ(g.fs.FindFree(3, out, true), 2);

  // One used block spoils its bank.
  FlashBuilder h;
  h.Use(0, 895);
  h.Use(1000, 1000);
  h.fs.Scan();
  EXPECT_EQ(h.fs.FindFree(2, out, true), 0);
  EXPECT_EQ(h.fs.FindFree(1, out, true), 1);
  EXPECT_EQ(out, std::vector<int>{14});
}

TEST(FlashReport, FreeSpaceInHalfKilobytes) {
  FlashBuilder f;
  f.UseAllBut({1, 2, 3});
  EXPECT_EQ(LineStartingWith(f.fs.FlashInfoReport(), "Free"), "Free space 1.5KB\n");
  f.Free(9);
  EXPECT_EQ(LineStartingWith(f.fs.FlashInfoReport(), "Free"), "Free space 2KB\n");
  f.Use(0, 1023);
  EXPECT_EQ(LineStartingWith(f.fs.FlashInfoReport(), "Free"), "Free space 0KB\n");
}

TEST(FlashReport, ModelRegionAndBankMaps) {
  FlashBuilder f;
  f.Use(0, 7);
  f.UseBank(3);
  f.image[0x4000 + 0x7A] = 0xA4;
  f.image[0x4000 + 0x7B] = 0x05;
  f.image[0x4000 + 0x7D] = 'J';
  std::string report = f.fs.FlashInfoReport();
  EXPECT_EQ(LineStartingWith(report, "Rq"), "Rq_1029(简)\n");
  EXPECT_NE(report.find("Bank 0\n"
                        "xxxxxxxx ........ ........ ........\n"
                        "........ ........ ........ ........\n"
                        "Bank 1 free\nBank 2 free\nBank 3 full\nBank 4 free\n"),
            std::string::npos);

  f.image[0x4000 + 0x7A] = 0x34;
  f.image[0x4000 + 0x7D] = 'H';
  EXPECT_EQ(LineStartingWith(f.fs.FlashInfoReport(), "Vx"), "Vx_1029(港)\n");
  f.image[0x4000 + 0x7D] = 'T';
  EXPECT_EQ(LineStartingWith(f.fs.FlashInfoReport(), "Vx"), "Vx_1029(台)\n");
}

TEST(FlashReport, SerialNumberOnlyFromPidfWithIndexBlock) {
  FlashBuilder f;
  f.AddFolder("txt ");
  f.AddFolder("pidf", 0xFFFF);
  EXPECT_EQ(f.fs.FlashInfoReport().find("序列号"), std::string::npos);

  f.FolderRecord(1)[8] = 0x2A;  // block 42 with the bits 0x1C00
  f.FolderRecord(1)[9] = 0x1C;
  uint8_t* block = f.Block(42);
  block[0] = 0x40, block[1] = 0xE2, block[2] = 0x01;  // 123456
  block[5] = 0xE9, block[6] = 0x07;                    // 2025
  EXPECT_EQ(LineStartingWith(f.fs.FlashInfoReport(), "序列号"), "序列号 2025-123456\n");

  FlashBuilder none;
  none.AddFolder("bin ");
  EXPECT_EQ(none.fs.FlashInfoReport().find("序列号"), std::string::npos);
}

}  // namespace
}  // namespace rq4800
