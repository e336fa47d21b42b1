// The default flash image the program carries: its layout, its report, and
// the first downloads into it.
#include <gtest/gtest.h>

#include <set>

#include "core/debug_log.h"
#include "storage/flash_file_system.h"
#include "tools/flashimage/default_flash_image.h"

namespace rq4800 {
namespace {

using Bytes = std::vector<uint8_t>;

struct DefaultImage : ::testing::Test {
  Bytes image = BuildDefaultFlashImage();
  FlashFileSystem fs;
  void SetUp() override {
    ASSERT_EQ(image.size(), 524288u);
    fs.image = image.data();
    fs.Scan();
  }
  uint8_t* Entry(int block) { return &image[0x4400 + 3 * static_cast<size_t>(block)]; }
  uint8_t* Folder(int position) { return &image[0x5000 + 16 * static_cast<size_t>(position)]; }
  int FolderNamed(const char* name) {
    for (int i = 0; i < fs.folderCount; ++i) {
      if (fs.folders[i].Name() == name) return i;
    }
    return -1;
  }
  unsigned U16(size_t offset) const { return image[offset] | image[offset + 1] << 8; }
};

TEST_F(DefaultImage, ReportShowsCoreRegionSerialFreeSpaceAndBankMaps) {
  const std::string expected =
      "Core at 4000\n"
      "Rq_480(简)\n"
      "序列号 2026-480001\n"
      "Free space 453KB\n"
      "Bank 0 full\n"
      "Bank 1\n"
      "xxxxxxxx xxxxxxxx xxxxxxxx xxxxxx..\n"
      "........ ........ ........ ........\n"
      "Bank 2 free\nBank 3 free\nBank 4 free\nBank 5 free\nBank 6 free\nBank 7 free\nBank 8 free\n"
      "Bank 9 free\nBank 10 free\nBank 11 free\nBank 12 free\nBank 13 free\nBank 14 free\n"
      "Bank 15\n"
      "........ ........ ........ ........\n"
      "........ xxxxxxxx xxxxxxxx xxxxxxxx\n";
  DebugLogCapture log;
  fs.PrintInfo();
  EXPECT_EQ(log.text, expected);
}

TEST_F(DefaultImage, LayoutOfBlocksAndFolders) {
  EXPECT_EQ(image[0x4000], '*');
  EXPECT_EQ(fs.freeBlockCount, 906);
  for (int b = 0; b < 1024; ++b) {
    bool used = b <= 93 || b >= 1000;
    EXPECT_EQ(fs.blocks[b].free, !used) << "block " << b;
    if (!used) {  // free blocks are erased, so a new index block starts empty
      EXPECT_EQ(image[static_cast<size_t>(b) * 512], 0xFF) << "block " << b;
    }
  }

  // Bank 0 is three chains that end in 1023 and cover all its 64 blocks.
  std::set<int> reached, starts;
  for (int b = 0; b < 64; ++b) starts.insert(b);
  for (int b = 0; b < 64; ++b) {
    if (fs.blocks[b].next != 1023) starts.erase(fs.blocks[b].next);
  }
  EXPECT_EQ(starts.size(), 3u);
  for (int start : starts) {
    for (int b = start, steps = 0; steps < 64; b = fs.blocks[b].next, ++steps) {
      ASSERT_LT(b, 64);
      reached.insert(b);
      if (fs.blocks[b].next == 1023) break;
    }
  }
  EXPECT_EQ(reached.size(), 64u);

  EXPECT_EQ(fs.folderCount, 27);
  EXPECT_EQ(Folder(27)[0], 0xFF);
  int pidf = FolderNamed("pidf");
  ASSERT_GE(pidf, 0);
  EXPECT_EQ(fs.folders[pidf].status, 0xB5);
  EXPECT_EQ(fs.folders[pidf].indexBlock, 0x1C5Au);
  for (const char* name : {"bin ", "txt ", "rec ", "bas ", "udf "}) {
    int i = FolderNamed(name);
    ASSERT_GE(i, 0) << name;
    EXPECT_EQ(fs.folders[i].status, 0xB7) << name;
    EXPECT_EQ(fs.folders[i].indexBlock, 0xFFFFu) << name;
  }
  // Every folder with an index block points at a used block of bank 1.
  for (int i = 0; i < fs.folderCount; ++i) {
    if (!fs.folders[i].HasIndexBlock()) continue;
    EXPECT_GE(fs.folders[i].IndexBlock(), 64) << fs.folders[i].Name();
    EXPECT_LE(fs.folders[i].IndexBlock(), 93) << fs.folders[i].Name();
  }
}

TEST_F(DefaultImage, FirstProgramGoesToBank14WithIndexBlock94) {
  Bytes program(32768);
  for (size_t i = 0; i < program.size(); ++i) program[i] = static_cast<uint8_t>(i * 7 + 1);
  int bin = FolderNamed("bin ");
  DebugLogCapture log;
  DownloadResult r = fs.DownloadBin(program.data(), program.size());
  ASSERT_TRUE(r.Ok()) << r.message;
  EXPECT_EQ(log.text, "start bc00\n");
  EXPECT_EQ(Folder(bin)[0], 0xB5);
  EXPECT_EQ(U16(0x5000 + 16 * static_cast<size_t>(bin) + 8), 0x1C00u | 94);
  EXPECT_EQ(Bytes(Entry(94), Entry(94) + 3), (Bytes{0xFF, 0xFB, 0xE6}));
  EXPECT_EQ(U16(94 * 512 + 8), 0x1C00u | 896);
  EXPECT_EQ(Bytes(image.begin() + 0x70000, image.begin() + 0x78000), program);
  EXPECT_EQ(Bytes(Entry(959), Entry(959) + 3), (Bytes{0xFF, 0xEF, 0xE7}));
  EXPECT_EQ(image[0x78000], 0xFF);  // bank 15 untouched
}

TEST_F(DefaultImage, FirstTextTakesTheRunFromBlock94) {
  Bytes text(1000, 'a');  // 1007 stored bytes: two data blocks
  int txt = FolderNamed("txt ");
  DebugLogCapture log;
  ASSERT_TRUE(fs.DownloadText(text.data(), text.size(), "first").Ok());
  EXPECT_EQ(log.text, "start c200\n");  // index block 97
  EXPECT_EQ(Folder(txt)[0], 0xB5);
  EXPECT_EQ(U16(0x5000 + 16 * static_cast<size_t>(txt) + 8), 0x1C00u | 97);
  EXPECT_EQ(U16(97 * 512 + 8), 0x1C00u | 94);
  EXPECT_EQ(U16(97 * 512 + 10), 0x1C00u | 96);
  EXPECT_EQ(Bytes(Entry(94), Entry(94) + 3), (Bytes{95, 0xF0, 0xE0}));
  EXPECT_EQ(Bytes(Entry(95), Entry(95) + 3), (Bytes{0xFF, 0xF3, 0xE7}));
  EXPECT_EQ(Bytes(Entry(96), Entry(96) + 3), (Bytes{0xFF, 0xF7, 0xE6}));
  EXPECT_EQ(image[96 * 512 + 3], 'f');
}

TEST_F(DefaultImage, ThirtyThirdFileInAFolderIsRefused) {
  Bytes text = {'h', 'i', '\r', '\n'};
  for (int i = 1; i <= 32; ++i) {
    DownloadResult r = fs.DownloadText(text.data(), text.size(), "note");
    ASSERT_EQ(r.code, 0) << "file " << i;
  }
  int txt = FolderNamed("txt ");
  const size_t index = static_cast<size_t>(fs.folders[txt].IndexBlock()) * 512;
  EXPECT_EQ(std::string(image.begin() + index + 1, image.begin() + index + 5), "0001");
  EXPECT_EQ(std::string(image.begin() + index + 31 * 16 + 1, image.begin() + index + 31 * 16 + 5), "0032");

  Bytes before = image;
  EXPECT_EQ(fs.DownloadText(text.data(), text.size(), "note").code, download::kFolderFull);
  EXPECT_EQ(image, before);
  // Other folders still take files.
  EXPECT_TRUE(fs.DownloadNamed(text.data(), text.size(), "PRG", "bas ", ".BAS").Ok());
}

}  // namespace
}  // namespace rq4800
