// Block tables that call blocks in use free: a download never takes the core
// area, an index block, a file's first, chained or name block, or a program's
// banks, and every other folder and file reads back unchanged afterwards.
#include <gtest/gtest.h>

#include <functional>

#include "core/debug_log.h"

#include "tests/storage/flash_builder.h"

namespace rq4800 {
namespace {

using test::Bytes;
using test::FlashBuilder;
using test::ReadBack;
using test::Slice;

// Every block used, but 500..599 (bank 8 wholly free). Folders: "txt " with
// index block 100 and one text (data 110 -> 112, name 114), "bas " with index
// block 120 and no files, "app " with index block 130 and a program in bank
// 4, and "bin " without an index block.
struct InUseLayout : FlashBuilder {
  InUseLayout() {
    Use(0, 1023), Free(500, 599);
    AddFolder("txt ", 0x1C00 | 100, 0xB5), AddFolder("bas ", 0x1C00 | 120, 0xB5);
    AddFolder("app ", 0x1C00 | 130, 0xB5), AddFolder("bin ");
    const uint8_t text[16] = {0xF1, '0', '0', '0', '1', 0x07, 700 & 0xFF, 700 >> 8, 110, 0x1C, 114, 0x1C};
    std::memcpy(Block(100), text, 16);
    Set(110, {112, 0xF0, 0xE0}), Set(112, {0xFF, 0xF3, 0xE7}), Set(114, {0xFF, 0xF7, 0xE6});
    const uint8_t program[16] = {0xF1, '0', '0', '0', '1', 0x06, 1, 0, 0x00, 0x1D, 0xFF, 0xFF};  // block 256
    std::memcpy(Block(130), program, 16);
    for (int b : {110, 112, 114}) std::memset(Block(b), b, 512);
    for (int i = 0; i < 32768; ++i) Block(256)[i] = static_cast<uint8_t>(i * 5 + 1);
  }
  void Set(int block, Bytes entry) { std::memcpy(Entry(block), entry.data(), 3); }
};

struct Probe {
  const char* folder;
  int indexBlock;  // where the probe's record goes, when the folder has one
  std::function<DownloadResult(FlashFileSystem&)> download;
};
const Bytes kData(600, 0x3C);
const Probe kProbes[] = {
    {"bin ", -1, [](FlashFileSystem& fs) { return fs.DownloadBin(kData.data(), kData.size()); }},  // new index block
    {"txt ", 100, [](FlashFileSystem& fs) { return fs.DownloadText(kData.data(), kData.size(), "t"); }},  // 3 blocks
    {"bas ", 120, [](FlashFileSystem& fs) { return fs.DownloadNamed(kData.data(), 300, "b", "bas ", ".BAS"); }},
};

TEST(BlocksInUse, NoDownloadTakesABlockInUseThatTheTableCallsFree) {
  struct Damage { const char* what; int first, last; };
  const Damage damages[] = {
      {"core area", 32, 43},          {"a text folder's index block", 100, 100},
      {"an empty folder's index block", 120, 120}, {"a program folder's index block", 130, 130},
      {"a text's first data block", 110, 110}, {"a block a chain leads to", 112, 112},
      {"a name block", 114, 114},     {"a program's bank", 256, 319},
      {"a program's blocks after its first", 257, 319},
  };
  for (const Damage& damage : damages) {
    for (const Probe& probe : kProbes) {
      SCOPED_TRACE(::testing::Message() << damage.what << ", into " << probe.folder);
      InUseLayout f;
      f.Free(damage.first, damage.last);
      const Bytes before = f.image;
      DebugLogCapture log;
      const DownloadResult result = probe.download(f.fs);
      ASSERT_EQ(result.code, 0) << result.message;
      test::ExpectOthersKept(ReadBack(before), ReadBack(f.image), probe.folder);
      for (int b = damage.first; b <= damage.last; ++b) {
        // The block table, the directory and the folder's index block take the download's entries.
        if ((b >= 34 && b <= 43) || b == probe.indexBlock) continue;
        ASSERT_TRUE(Slice(f.Block(b), 512) == Slice(&before[b * 512], 512)) << "block " << b;
      }
      // The table is left as found: the download is no repair tool.
      EXPECT_EQ(f.EntryBytes(damage.first), (Bytes{0xFF, 0xFF, 0xFF}));
    }
  }
  InUseLayout f;  // where a program goes instead: index block 500, the first really free, and bank 8
  f.Free(32, 43), f.Free(256, 319);
  DebugLogCapture log;
  ASSERT_TRUE(kProbes[0].download(f.fs).Ok());
  EXPECT_EQ(f.U16(0x5000 + 3 * 16 + 8), 0x1C00u | 500);
  EXPECT_EQ(f.U16(500 * 512 + 8), 0x1C00u | 512);
}

// The last case keeps the same tables at the core area's second place, 0x6000.
TEST(BlocksInUse, OnlyBlocksInUseLeftRefusesWithItsOwnCode) {
  struct Case { bool damaged; int probe; int code; bool secondCore = false; };
  const Case cases[] = {{true, 0, download::kNoSafeSpace}, {true, 1, download::kNoSafeSpace},
                        {true, 2, download::kNoSafeSpace}, {false, 1, download::kNoSpace},
                        {false, 0, download::kNoSpace},    {false, 1, download::kNoSafeSpace, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    InUseLayout f;
    f.Use(500, 599);
    if (c.damaged) f.Free(32, 43), f.Free(256, 319);
    if (c.secondCore) {
      std::memcpy(&f.image[0x6000], &f.image[0x4000], 0x1800);
      f.image[0x4000] = 0x00;
      std::memset(&f.image[0x6400 + 3 * 48], 0xFF, 3 * 12);  // blocks 48..59 called free
    }
    const Bytes before = f.image;
    DebugLogCapture log;
    EXPECT_EQ(kProbes[c.probe].download(f.fs).code, c.code);
    EXPECT_TRUE(f.image == before);
  }
  EXPECT_STRNE(download::Result(download::kNoSafeSpace).message, download::Result(download::kNoSpace).message);
}

}  // namespace
}  // namespace rq4800
