// Free-space search, name conversion, and downloads into synthetic images:
// records, name blocks, text streams, block chains, folder updates, refusals.
#include <gtest/gtest.h>

#include "core/debug_log.h"
#include "storage/device_name.h"
#include "tests/storage/flash_builder.h"

namespace rq4800 {
namespace {

using test::Bytes;
using test::FlashBuilder;
using test::Slice;

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes operator+(Bytes a, const Bytes& b) { return a.insert(a.end(), b.begin(), b.end()), a; }
Bytes Pattern(size_t n, uint8_t salt) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i * 13 + salt + (i >> 9));
  return b;
}

// txt, bas, udf with index blocks 5, 6, 7; blocks 0..9 used.
struct TextSetup : FlashBuilder {
  TextSetup() {
    Use(0, 9);
    AddFolder("txt ", 0x1C05, 0xB5), AddFolder("bas ", 0x1C06, 0xB5), AddFolder("udf ", 0x1C07, 0xB5);
  }
};

TEST(FlashFindFree, BlocksTakesTheLowestRunElseTheRunReachingTheEnd) {
  FlashBuilder f;
  f.Use(0, 1023), f.Free(3, 6), f.Free(10, 11), f.Free(1021, 1023);
  f.fs.Scan();
  std::vector<int> out;
  EXPECT_EQ(f.fs.FindFree(2, out, false), 2);  // 10..11 fits exactly, 3..6 comes first
  EXPECT_EQ(out, (std::vector<int>{3, 4}));
  EXPECT_EQ(f.fs.FindFree(5, out, false), 3);  // no five in a row: the run reaching 1023
  EXPECT_EQ(out, (std::vector<int>{1021, 1022, 1023}));
  f.Use(1023, 1023);
  f.fs.Scan();
  EXPECT_EQ(f.fs.FindFree(5, out, false), 0);
  EXPECT_TRUE(out.empty());
}

TEST(FlashFindFree, BanksCountDownFromBank15AndOneUsedBlockSpoilsABank) {
  // {free bank, free bank, extra used block, banks wanted, found, first bank found or -1}
  const int rows[][6] = {{15, 13, -1, 2, 0, -1}, {15, 13, -1, 1, 1, 15}, {0, 1, -1, 2, 2, 0},
                         {0, 1, -1, 3, 2, -1},   {14, 15, 1000, 2, 0, -1}, {14, 15, 1000, 1, 1, 14}};
  for (const auto& row : rows) {
    SCOPED_TRACE(&row - rows);
    FlashBuilder f;
    f.Use(0, 1023), f.Free(row[0] * 64, row[0] * 64 + 63), f.Free(row[1] * 64, row[1] * 64 + 63);
    if (row[2] >= 0) f.Use(row[2], row[2]);
    f.fs.Scan();
    std::vector<int> out;
    EXPECT_EQ(f.fs.FindFree(row[3], out, true), row[4]);
    EXPECT_EQ(out, row[5] < 0 ? std::vector<int>{} : std::vector<int>{row[5]});
  }
}

// Expected bytes from the Big5 and GBK code tables, as iconv gives them.
TEST(DeviceName, SimplifiedNamesBecomeBig5OfTheirTraditionalFormsCharacterByCharacter) {
  const std::pair<std::string, std::string> rows[] = {
      {"Report_2024-v2 final", "Report_2024-v2 final"}, {"", ""},
      {"简体中文", "\xC2\xB2\xC5\xE9\xA4\xA4\xA4\xE5"},  // 簡體中文
      {"测试", "\xB4\xFA\xB8\xD5"}, {"測試", "\xB4\xFA\xB8\xD5"}, {"电脑", "\xB9\x71\xB8\xA3"},
      {"笔记1", "\xB5\xA7\xB0\x4F" "1"}, {"abc你好", "abc\xA7\x41\xA6\x6E"},
      {"头发", "\xC0\x59\xB5\x6F"},  // 頭發 from the character table, not the phrase's 頭髮
      {"a\xF0\x9F\x98\x80" "b", "a?b"}, {"x\xFFy", "x?y"}, {"\xE4\xB8", "??"},  // no Big5, not UTF-8, cut off
  };
  for (const auto& [utf8, big5] : rows) EXPECT_EQ(ToDeviceName(utf8), big5) << utf8;
}

TEST(DeviceName, BasicNamesStayInSimplifiedGbk) {
  const std::pair<std::string, std::string> rows[] = {
      {"GAME1", "GAME1"}, {"", ""}, {"程序", "\xB3\xCC\xD0\xF2"}, {"简体", "\xBC\xF2\xCC\xE5"},
      {"测试A", "\xB2\xE2\xCA\xD4" "A"}, {"a\xF0\x9F\x98\x80", "a?"},
      {"a\xC2\x80" "b", "a?b"},  // the code page's lone byte 0x80 is no character of a name
  };
  for (const auto& [utf8, gbk] : rows) EXPECT_EQ(ToGbkName(utf8), gbk) << utf8;
}

TEST(DownloadBin, TakesTheHighestBanksAndGivesTheFolderItsIndexBlock) {
  FlashBuilder f;
  f.Use(1, 895);  // free: block 0, banks 14 and 15
  f.AddFolder("bin ");
  Bytes data = Pattern(40000, 3);
  DebugLogCapture log;
  ASSERT_EQ(f.fs.DownloadBin(data.data(), data.size()).code, 0);
  EXPECT_EQ(log.text, "start 0\n");
  EXPECT_EQ(Slice(f.FolderRecord(0), 12), (Bytes{0xB5, 'b', 'i', 'n', ' ', 0x21, 0xFF, 0xFF, 0x00, 0x1C, 0x34, 0x12}));
  EXPECT_EQ(f.EntryBytes(0), (Bytes{0xFF, 0xFB, 0xE6}));
  // F1 "0001" 06, 2 banks, first block 896 | 0x1C00, no name block.
  EXPECT_EQ(Slice(f.Block(0), 17),
            (Bytes{0xF1, '0', '0', '0', '1', 0x06, 0x02, 0x00, 0x80, 0x1F, 0xFF, 0xFF, 0x3F, 0x03, 0x00, 0xEE, 0xFF}));
  EXPECT_EQ(Slice(f.Block(896), data.size()), data);
  EXPECT_EQ(f.EntryBytes(896), (Bytes{0x81, 0xEF, 0xE0}));  // next 897: 0x381
  EXPECT_EQ(f.EntryBytes(1023), (Bytes{0xFF, 0xEF, 0xE7}));
}

TEST(DownloadBin, NewIndexBlockIsNeverInsideTheChosenBanks) {
  FlashBuilder f;  // only banks 14 and 15 free: block 896 becomes the index block
  f.Use(0, 895);
  f.AddFolder("bin ");
  Bytes data = Pattern(40000, 1);
  EXPECT_EQ(f.fs.DownloadBin(data.data(), data.size()).code, download::kNoSpace);
  EXPECT_EQ(f.U16(0x5008), 0x1C00u | 896);  // the folder keeps its new index block; nothing else written
  EXPECT_EQ(f.EntryBytes(897), (Bytes{0xFF, 0xFF, 0xFF}));
}

TEST(Download, IndexBlockTheTableCallsFreeIsNeverOverwritten) {
  FlashBuilder f;
  f.Use(0, 19), f.Use(64, 895);
  f.AddFolder("txt ", 0x1C00 | 20, 0xB5);  // block 20, bank 15: index blocks marked free
  f.AddFolder("bin ", 0x1C00 | 960, 0xB5);
  Bytes data = Pattern(505, 5);
  ASSERT_EQ(f.fs.DownloadText(data.data(), data.size(), "t").code, 0);
  EXPECT_EQ(f.U16(20 * 512 + 8), 0x1C00u | 21);  // data in 21, name in 22
  EXPECT_EQ(f.U16(20 * 512 + 10), 0x1C00u | 22);
  ASSERT_EQ(f.fs.DownloadBin(data.data(), data.size()).code, 0);
  EXPECT_EQ(f.U16(960 * 512 + 8), 0x1C00u | 896);  // bank 14, not bank 15
}

TEST(TextStream, CountsLinesAndScreenRows) {
  Bytes crlf = Text("ab\r\nc\r\n");
  EXPECT_EQ(BuildTextStream(crlf.data(), crlf.size()), (Bytes{2, 0, 4, 0, 0x0A} + crlf + Bytes{0xFF, 0xFF}));
  EXPECT_EQ(BuildTextStream(nullptr, 0), (Bytes{0, 0, 0, 0, 0x0A, 0xFF, 0xFF}));
  // Rows: over each LF at p, (p - q + 19) / 10, q the LF before plus 2 (a CR LF's line start).
  const std::pair<std::string, Bytes> rows[] = {
      {"a\nb\n", {2, 0, 3, 0}},                          // (1 + 19) / 10 + (3 - 3 + 19) / 10
      {std::string(25, 'x') + "\n\ntail", {2, 0, 5, 0}},  // 25 characters take 4 rows, a bare LF one
  };
  for (const auto& [text, counts] : rows) {
    Bytes bytes = Text(text);
    EXPECT_EQ(Slice(BuildTextStream(bytes.data(), bytes.size()).data(), 4), counts) << text;
  }
}

TEST(DownloadText, OneDataBlockUpTo505BytesThenTwo) {
  TextSetup f;
  std::fill(f.Block(11), f.Block(14), 0x5A);
  Bytes data = Pattern(506, 7);
  DebugLogCapture log;
  ASSERT_EQ(f.fs.DownloadText(data.data(), 505, "notes").code, 0);
  EXPECT_EQ(log.text, "start a00\n");
  EXPECT_EQ(Slice(f.Block(5), 17),
            (Bytes{0xF1, '0', '0', '0', '1', 0x07, 0x00, 0x02, 0x0A, 0x1C, 0x0B, 0x1C, 0x3F, 0x03, 0x00, 0xEE, 0xFF}));
  EXPECT_EQ(Slice(f.Entry(10), 6), (Bytes{0xFF, 0xF3, 0xE6, 0xFF, 0xF7, 0xE6}));  // data block, name block
  EXPECT_EQ(Slice(f.Block(10) + 5, 507), (Slice(data.data(), 505) + Bytes{0xFF, 0xFF}));
  // Name block: 67 40 00, a 64-byte name field, end mark at 34; the rest is kept.
  EXPECT_EQ(Slice(f.Block(11), 68), (Bytes{0x67, 0x40, 0} + Text("notes") + Bytes(26, ' ') + Bytes{0xFF} +
                                        Bytes(32, ' ') + Bytes{0x5A}));

  ASSERT_EQ(f.fs.DownloadText(data.data(), 506, "more").code, 0);
  EXPECT_EQ(Slice(f.Block(5) + 16, 12), (Bytes{0xF1, '0', '0', '0', '2', 0x07, 0x01, 0x02, 0x0C, 0x1C, 0x0E, 0x1C}));
  EXPECT_EQ(Slice(f.Entry(12), 6), (Bytes{0x0D, 0xF0, 0xE0, 0xFF, 0xF3, 0xE7}));
  EXPECT_EQ(Slice(f.Block(13), 2), (Bytes{0xFF, 0x5A}));  // the second end byte, then kept bytes
}

TEST(DownloadText, ChainsCarryTheHighBitsOfTheNextBlock) {
  TextSetup f;
  f.Use(10, 253);
  Bytes data = Pattern(1200, 2);  // 1207 bytes: data blocks 254..256, name 257
  ASSERT_EQ(f.fs.DownloadText(data.data(), data.size(), "x").code, 0);
  // Entries 254..257: next 255, next 256 (0x100), last data block, name block.
  EXPECT_EQ(Slice(f.Entry(254), 12), (Bytes{0xFF, 0xF0, 0xE0, 0x00, 0xF1, 0xE1, 0xFF, 0xF3, 0xE7, 0xFF, 0xF7, 0xE6}));
  EXPECT_EQ(Slice(f.Block(254), 1207), BuildTextStream(data.data(), data.size()));
}

TEST(DownloadText, LongNamesAreCutAtACharacterBoundary) {
  const std::pair<std::string, Bytes> rows[] = {  // the 32 bytes from offset 3, end mark at 34
      {std::string(32, '\xA4'), Bytes(30, 0xA4) + Bytes{' ', 0xFF}},  // sixteen Big5 characters
      {"a" + std::string(32, '\xA4'), Text("a") + Bytes(30, 0xA4) + Bytes{0xFF}},
      {std::string(40, 'z'), Bytes(31, 'z') + Bytes{0xFF}},
  };
  for (const auto& [name, stored] : rows) {
    TextSetup f;
    ASSERT_EQ(f.fs.DownloadText(nullptr, 0, name).code, 0);
    EXPECT_EQ(Slice(f.Block(11) + 3, 32), stored) << name.size();
  }
}

TEST(DownloadNamed, NameBlockHoldsTheNameExtensionAndSize) {
  TextSetup f;
  std::fill(f.Block(11), f.Block(12), 0x5A);
  Bytes data = Pattern(300, 4);
  ASSERT_EQ(f.fs.DownloadNamed(data.data(), data.size(), "ABCDEFGHIJKLMNO", "bas ", ".BAS").code, 0);
  EXPECT_EQ(Slice(f.Block(6), 12), (Bytes{0xF1, '0', '0', '0', '1', 0x07, 0x2C, 0x01, 0x0A, 0x1C, 0x0B, 0x1C}));
  EXPECT_EQ(Slice(f.Block(11), 22), (Bytes{0x67, 0x12, 0} + Text("ABCDEFGHIJKL.BAS") + Bytes{0x2C, 0x01, 0x5A}));
  EXPECT_EQ(Slice(f.Block(10), 301), data + Bytes{0xFF});
  ASSERT_EQ(f.fs.DownloadNamed(data.data(), 1, "sk", "udf ", ".SKI").code, 0);
  EXPECT_EQ(Slice(f.Block(13), 22), (Bytes{0x67, 0x12, 0} + Text("sk.SKI          ") + Bytes{0x01, 0x00, 0xFF}));
  ASSERT_EQ(f.fs.DownloadNamed(data.data(), 1, "abcdefghijk\xB3\xCC", "bas ", ".BAS").code, 0);
  EXPECT_EQ(Slice(f.Block(15) + 3, 16), Text("abcdefghijk.BAS "));  // a character is not split at byte 12
}

TEST(Download, RefusalsKeepTheImageAndLargestLengthsStillFit) {
  TextSetup f;
  f.AddFolder("bin ");
  Bytes before = f.image, data(65536, 1);
  EXPECT_EQ(f.fs.DownloadBin(data.data(), 0).code, download::kEmptyFile);
  EXPECT_EQ(f.fs.DownloadBin(data.data(), 16 * 32768 + 1).code, download::kNoSpace);
  EXPECT_EQ(f.fs.DownloadText(data.data(), 65529, "big").code, download::kTooLarge);
  EXPECT_EQ(f.fs.DownloadNamed(data.data(), 0, "e", "bas ", ".BAS").code, download::kEmptyFile);
  EXPECT_EQ(f.fs.DownloadNamed(data.data(), 0, "e", "udf ", ".SKI").code, download::kEmptyFile);
  EXPECT_EQ(f.fs.DownloadNamed(data.data(), 65536, "e", "bas ", ".BAS").code, download::kTooLarge);
  EXPECT_EQ(FlashBuilder().fs.DownloadText(data.data(), 10, "a").code, download::kNoFolder);
  EXPECT_EQ(FlashBuilder().fs.DownloadBin(data.data(), 10).code, download::kNoFolder);  // no directory at all
  EXPECT_EQ(f.fs.DownloadNamed(data.data(), 10, "a", "note", ".BAS").code, download::kNoFolder);
  TextSetup noBin;  // free banks, but no "bin " folder
  const Bytes noBinBefore = noBin.image;
  EXPECT_EQ(noBin.fs.DownloadBin(data.data(), 10).code, download::kNoFolder);
  EXPECT_TRUE(noBin.image == noBinBefore);
  EXPECT_EQ(f.image, before);
  EXPECT_STRNE(download::Result(download::kEmptyFile).message, download::Result(download::kTooLarge).message);
  ASSERT_EQ(f.fs.DownloadText(data.data(), 65528, "fits").code, 0);
  EXPECT_EQ(f.U16(5 * 512 + 6), 65535u);
  TextSetup g;  // (a fresh image: that text reached the tables of this one)
  ASSERT_EQ(g.fs.DownloadNamed(data.data(), 65535, "e", "bas ", ".BAS").code, 0);
  EXPECT_EQ(g.U16(6 * 512 + 6), 65535u);
  FlashBuilder h;  // free blocks enough in number but in no run long enough
  h.Use(0, 1023), h.Free(100, 100), h.Free(102, 102), h.Free(104, 104);
  h.AddFolder("txt ", 0x1C01, 0xB5);
  before = h.image;
  EXPECT_EQ(h.fs.DownloadText(data.data(), 600, "a").code, download::kNoSpace);
  EXPECT_EQ(h.image, before);
}

}  // namespace
}  // namespace rq4800
