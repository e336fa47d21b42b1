// Downloads into synthetic images: records, name blocks, text streams, block
// chains, folder updates, the result codes and the refusals.
#include <gtest/gtest.h>

#include "core/debug_log.h"
#include "tests/storage/flash_builder.h"

namespace rq4800 {
namespace {

using test::FlashBuilder;
using Bytes = std::vector<uint8_t>;

Bytes Slice(const uint8_t* at, size_t n) { return Bytes(at, at + n); }
Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes Pattern(size_t n, uint8_t salt) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i * 13 + salt + (i >> 9));
  return b;
}

// bin, txt, bas, udf; txt with its index block at 5; blocks 0..9 used.
struct TextSetup : FlashBuilder {
  TextSetup() {
    Use(0, 9);
    AddFolder("bin ");
    AddFolder("txt ", 0x1C05, 0xB5);
    AddFolder("bas ", 0x1C06, 0xB5);
    AddFolder("udf ", 0x1C07, 0xB5);
  }
};

TEST(DownloadBin, TakesTheHighestBanksAndGivesTheFolderItsIndexBlock) {
  FlashBuilder f;
  f.Use(1, 895);  // free: block 0, banks 14 and 15
  f.AddFolder("bin ");
  f.AddFolder("txt ");
  std::fill(f.Block(1000), f.Block(1000) + 512, 0x5A);  // past the file: kept
  Bytes data = Pattern(40000, 3);

  DebugLogCapture log;
  DownloadResult r = f.fs.DownloadBin(data.data(), data.size());
  ASSERT_EQ(r.code, 0) << r.message;
  EXPECT_EQ(log.text, "start 0\n");

  // Block 0 became the index block of "bin ".
  EXPECT_EQ(f.FolderRecord(0)[0], 0xB5);
  EXPECT_EQ(f.FolderIndexField(0), 0x1C00u);
  EXPECT_EQ(f.FolderRecord(0)[5], 0x21);  // attribute untouched
  EXPECT_EQ(f.EntryBytes(0), (Bytes{0xFF, 0xFB, 0xE6}));

  // Record: F1 "0001" 06, 2 banks, first block 896 | 0x1C00, no name block.
  EXPECT_EQ(Slice(f.Block(0), 16), (Bytes{0xF1, '0', '0', '0', '1', 0x06, 0x02, 0x00, 0x80, 0x1F, 0xFF, 0xFF, 0x3F,
                                          0x03, 0x00, 0xEE}));
  EXPECT_EQ(f.Block(0)[16], 0xFF);

  EXPECT_EQ(Slice(f.Block(896), data.size()), data);
  EXPECT_EQ(f.Block(1000)[0], 0x5A);
  EXPECT_EQ(f.EntryBytes(896), (Bytes{0x81, 0xEF, 0xE0}));  // next 897: 0x381
  EXPECT_EQ(f.EntryBytes(897), (Bytes{0x82, 0xEF, 0xE1}));
  EXPECT_EQ(f.EntryBytes(1022), (Bytes{0xFF, 0xEF, 0xE1}));
  EXPECT_EQ(f.EntryBytes(1023), (Bytes{0xFF, 0xEF, 0xE7}));
}

TEST(DownloadBin, AppendsAfterExistingRecordsWithTheNextSequenceNumber) {
  FlashBuilder f;
  f.Use(0, 9);
  f.AddFolder("bin ", 0x1C04, 0xB5);
  std::memcpy(f.Block(4), "\xF1" "0001", 5);
  std::memcpy(f.Block(4) + 16, "\xF1" "0002", 5);
  Bytes data = Pattern(32768, 9);  // exactly one bank
  ASSERT_EQ(f.fs.DownloadBin(data.data(), data.size()).code, 0);
  EXPECT_EQ(Slice(f.Block(4) + 32, 8), (Bytes{0xF1, '0', '0', '0', '3', 0x06, 0x01, 0x00}));
  EXPECT_EQ(f.U16(4 * 512 + 32 + 8), 0x1C00u | 960);
  EXPECT_EQ(f.EntryBytes(959), (Bytes{0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(f.EntryBytes(1023), (Bytes{0xFF, 0xEF, 0xE7}));
}

TEST(DownloadBin, NewIndexBlockIsNeverInsideTheChosenBanks) {
  // Only banks 14 and 15 are free: a two-bank program would start at block
  // 896, which is also the lowest free block and so the new index block.
  FlashBuilder f;
  f.Use(0, 895);
  f.AddFolder("bin ");
  Bytes data = Pattern(40000, 1);
  EXPECT_EQ(f.fs.DownloadBin(data.data(), data.size()).code, download::kNoSpace);
  // The index block stays assigned; nothing else was written.
  EXPECT_EQ(f.FolderIndexField(0), 0x1C00u | 896);
  EXPECT_EQ(f.EntryBytes(896), (Bytes{0xFF, 0xFB, 0xE6}));
  EXPECT_EQ(f.EntryBytes(897), (Bytes{0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(f.Block(896)[0], 0xFF);

  // With banks 1..3 free, the index block takes block 64 and the program
  // banks 2 and 3.
  FlashBuilder g;
  g.Use(0, 1023);
  g.FreeBank(1), g.FreeBank(2), g.FreeBank(3);
  g.AddFolder("bin ");
  ASSERT_EQ(g.fs.DownloadBin(data.data(), data.size()).code, 0);
  EXPECT_EQ(g.FolderIndexField(0), 0x1C00u | 64);
  EXPECT_EQ(g.U16(64 * 512 + 8), 0x1C00u | 128);
  EXPECT_EQ(g.EntryBytes(255), (Bytes{0xFF, 0xEF, 0xE7}));
}

TEST(DownloadBin, RefusalsLeaveTheImageAlone) {
  FlashBuilder f;
  f.AddFolder("txt ");
  Bytes data = Pattern(100, 0);
  EXPECT_EQ(f.fs.DownloadBin(data.data(), data.size()).code, download::kNoFolder);
  f.AddFolder("bin ");
  Bytes before = f.image;
  Bytes huge(16 * 32768 + 1, 0x11);  // more than the whole flash
  EXPECT_EQ(f.fs.DownloadBin(huge.data(), huge.size()).code, download::kNoSpace);
  EXPECT_EQ(f.fs.DownloadBin(data.data(), 0).code, download::kEmptyFile);
  EXPECT_EQ(f.image, before);
  EXPECT_STRNE(download::Result(download::kEmptyFile).message, download::Result(download::kNoSpace).message);
}

TEST(TextStream, CountsLinesAndScreenRows) {
  Bytes crlf = Text("ab\r\nc\r\n");
  EXPECT_EQ(BuildTextStream(crlf.data(), crlf.size()),
            (Bytes{2, 0, 4, 0, 0x0A, 'a', 'b', 0x0D, 0x0A, 'c', 0x0D, 0x0A, 0xFF, 0xFF}));
  EXPECT_EQ(BuildTextStream(nullptr, 0), (Bytes{0, 0, 0, 0, 0x0A, 0xFF, 0xFF}));

  // A line of 25 characters takes (25 + 19) / 10 = 4 rows; a bare LF line
  // after it starts one byte early and still takes one row.
  Bytes mixed = Text(std::string(25, 'x') + "\n\n" + "tail without end");
  Bytes stream = BuildTextStream(mixed.data(), mixed.size());
  EXPECT_EQ(Slice(stream.data(), 5), (Bytes{2, 0, 5, 0, 0x0A}));
  EXPECT_EQ(stream.size(), mixed.size() + 7);

}

TEST(DownloadText, OneDataBlockUpTo505BytesThenTwo) {
  TextSetup f;
  std::fill(f.Block(11), f.Block(11) + 512, 0x5A);
  Bytes data = Pattern(505, 7);
  DebugLogCapture log;
  ASSERT_EQ(f.fs.DownloadText(data.data(), data.size(), "notes").code, 0);
  EXPECT_EQ(log.text, "start a00\n");
  EXPECT_EQ(Slice(f.Block(5), 16), (Bytes{0xF1, '0', '0', '0', '1', 0x07, 0x00, 0x02, 0x0A, 0x1C, 0x0B, 0x1C, 0x3F,
                                          0x03, 0x00, 0xEE}));
  EXPECT_EQ(f.EntryBytes(10), (Bytes{0xFF, 0xF3, 0xE6}));
  EXPECT_EQ(f.EntryBytes(11), (Bytes{0xFF, 0xF7, 0xE6}));
  EXPECT_EQ(Slice(f.Block(10) + 5, 505), data);
  EXPECT_EQ(f.Block(10)[510], 0xFF);
  EXPECT_EQ(f.Block(10)[511], 0xFF);

  // Name block: 67 40 00, the name, spaces, the end mark at 34; bytes past
  // the 64-byte field keep their contents.
  Bytes name = Slice(f.Block(11), 70);
  EXPECT_EQ(Slice(name.data(), 8), (Bytes{0x67, 0x40, 0x00, 'n', 'o', 't', 'e', 's'}));
  EXPECT_EQ(name[8], ' ');
  EXPECT_EQ(name[33], ' ');
  EXPECT_EQ(name[34], 0xFF);
  EXPECT_EQ(name[66], ' ');
  EXPECT_EQ(name[67], 0x5A);

  Bytes two = Pattern(506, 8);
  std::fill(f.Block(13), f.Block(13) + 512, 0x5A);
  ASSERT_EQ(f.fs.DownloadText(two.data(), two.size(), "more").code, 0);
  EXPECT_EQ(Slice(f.Block(5) + 16, 12), (Bytes{0xF1, '0', '0', '0', '2', 0x07, 0x01, 0x02, 0x0C, 0x1C, 0x0E, 0x1C}));
  EXPECT_EQ(f.EntryBytes(12), (Bytes{0x0D, 0xF0, 0xE0}));
  EXPECT_EQ(f.EntryBytes(13), (Bytes{0xFF, 0xF3, 0xE7}));
  EXPECT_EQ(f.EntryBytes(14), (Bytes{0xFF, 0xF7, 0xE6}));
  EXPECT_EQ(f.Block(13)[0], 0xFF);  // the second end byte
  EXPECT_EQ(f.Block(13)[1], 0x5A);  // the rest of the last block is kept
}

TEST(DownloadText, ChainsCarryTheHighBitsOfTheNextBlock) {
  TextSetup f;
  f.Use(10, 253);
  Bytes data = Pattern(1200, 2);  // 1207 bytes: three data blocks 254..256
  ASSERT_EQ(f.fs.DownloadText(data.data(), data.size(), "x").code, 0);
  EXPECT_EQ(f.EntryBytes(254), (Bytes{0xFF, 0xF0, 0xE0}));
  EXPECT_EQ(f.EntryBytes(255), (Bytes{0x00, 0xF1, 0xE1}));
  EXPECT_EQ(f.EntryBytes(256), (Bytes{0xFF, 0xF3, 0xE7}));
  EXPECT_EQ(f.EntryBytes(257), (Bytes{0xFF, 0xF7, 0xE6}));
  Bytes stored = BuildTextStream(data.data(), data.size());
  EXPECT_EQ(Slice(f.Block(254), stored.size()), stored);
}

TEST(DownloadText, EmptyFileAndNewIndexBlockAfterTheNameBlock) {
  FlashBuilder f;
  f.Use(0, 19);
  f.AddFolder("txt ");
  ASSERT_EQ(f.fs.DownloadText(nullptr, 0, "").code, 0);
  EXPECT_EQ(Slice(f.Block(20), 8), (Bytes{0, 0, 0, 0, 0x0A, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(f.EntryBytes(21), (Bytes{0xFF, 0xF7, 0xE6}));  // name block
  EXPECT_EQ(f.EntryBytes(22), (Bytes{0xFF, 0xFB, 0xE6}));  // index block
  EXPECT_EQ(f.FolderRecord(0)[0], 0xB5);
  EXPECT_EQ(f.FolderIndexField(0), 0x1C00u | 22);
  EXPECT_EQ(f.U16(0x5000 + 10), 0x1234u);  // second field untouched
  EXPECT_EQ(Slice(f.Block(22), 8), (Bytes{0xF1, '0', '0', '0', '1', 0x07, 0x07, 0x00}));
  EXPECT_EQ(Slice(f.Block(21), 4), (Bytes{0x67, 0x40, 0x00, ' '}));
  EXPECT_EQ(f.Block(21)[34], 0xFF);
}

TEST(DownloadText, LongNamesAreCutAtACharacterBoundary) {
  TextSetup f;
  const std::string wide(32, '\xA4');  // sixteen two-byte Big5 characters
  ASSERT_EQ(f.fs.DownloadText(nullptr, 0, wide).code, 0);
  Bytes expected(30, 0xA4);
  expected.push_back(' ');
  expected.push_back(0xFF);
  EXPECT_EQ(Slice(f.Block(11) + 3, 32), expected);

  std::string prefixed = wide;
  prefixed.insert(prefixed.begin(), 'a');
  ASSERT_EQ(f.fs.DownloadText(nullptr, 0, prefixed).code, 0);
  expected = Bytes(31, 0xA4);
  expected[0] = 'a';
  expected.push_back(0xFF);
  EXPECT_EQ(Slice(f.Block(13) + 3, 32), expected);

  ASSERT_EQ(f.fs.DownloadText(nullptr, 0, std::string(40, 'z')).code, 0);
  expected = Bytes(31, 'z');
  expected.push_back(0xFF);
  expected.push_back(' ');
  EXPECT_EQ(Slice(f.Block(15) + 3, 33), expected);
}

TEST(DownloadText, RefusalsAndTheirCodes) {
  TextSetup f;
  Bytes big(65528, 'a');
  EXPECT_EQ(f.fs.DownloadText(big.data(), big.size(), "fits").code, 0);
  EXPECT_EQ(f.U16(5 * 512 + 6), 65535u);

  Bytes before = f.image;
  Bytes tooBig(65529, 'a');
  EXPECT_EQ(f.fs.DownloadText(tooBig.data(), tooBig.size(), "big").code, download::kTooLarge);
  EXPECT_EQ(f.image, before);

  // Free blocks enough in number but in no run long enough.
  FlashBuilder g;
  g.UseAllBut({100, 102, 104, 106});
  g.AddFolder("txt ", 0x1C01, 0xB5);
  Bytes small = Pattern(600, 0);  // two data blocks and a name block
  before = g.image;
  EXPECT_EQ(g.fs.DownloadText(small.data(), small.size(), "a").code, download::kNoSpace);
  EXPECT_EQ(g.image, before);

  FlashBuilder none;
  none.AddFolder("bin ");
  EXPECT_EQ(none.fs.DownloadText(small.data(), small.size(), "a").code, download::kNoFolder);
  FlashBuilder empty;
  EXPECT_EQ(empty.fs.DownloadText(small.data(), small.size(), "a").code, download::kNoFolder);
  EXPECT_EQ(empty.fs.DownloadNamed(small.data(), small.size(), "a", "bas ", ".BAS").code, download::kNoFolder);
  EXPECT_EQ(empty.fs.DownloadBin(small.data(), small.size()).code, download::kNoFolder);
}

TEST(Download, IndexBlockTheTableCallsFreeIsNeverOverwritten) {
  FlashBuilder f;
  f.Use(0, 19);
  f.Use(64, 895);
  f.AddFolder("txt ", 0x1C00 | 20, 0xB5);  // block 20: an index block marked free
  f.AddFolder("bin ", 0x1C00 | 960, 0xB5);
  Bytes data = Pattern(505, 5);
  ASSERT_EQ(f.fs.DownloadText(data.data(), data.size(), "t").code, 0);
  EXPECT_EQ(f.U16(20 * 512 + 8), 0x1C00u | 21);  // data in 21, name in 22
  EXPECT_EQ(f.U16(20 * 512 + 10), 0x1C00u | 22);
  ASSERT_EQ(f.fs.DownloadBin(data.data(), data.size()).code, 0);
  EXPECT_EQ(f.U16(960 * 512 + 8), 0x1C00u | 896);  // bank 14, not bank 15
  EXPECT_EQ(f.Block(960)[16], 0xFF);
}

TEST(DownloadNamed, NameBlockHoldsTheNameExtensionAndSize) {
  TextSetup f;
  std::fill(f.Block(11), f.Block(11) + 512, 0x5A);
  Bytes data = Pattern(300, 4);
  ASSERT_EQ(f.fs.DownloadNamed(data.data(), data.size(), "ABCDEFGHIJKLMNO", "bas ", ".BAS").code, 0);
  EXPECT_EQ(Slice(f.Block(6), 12), (Bytes{0xF1, '0', '0', '0', '1', 0x07, 0x2C, 0x01, 0x0A, 0x1C, 0x0B, 0x1C}));
  EXPECT_EQ(Slice(f.Block(11), 3), (Bytes{0x67, 0x12, 0x00}));
  EXPECT_EQ(Slice(f.Block(11) + 3, 16), Text("ABCDEFGHIJKL.BAS"));
  EXPECT_EQ(Slice(f.Block(11) + 19, 3), (Bytes{0x2C, 0x01, 0x5A}));
  EXPECT_EQ(Slice(f.Block(10), 300), data);
  EXPECT_EQ(f.Block(10)[300], 0xFF);

  ASSERT_EQ(f.fs.DownloadNamed(data.data(), 1, "sk", "udf ", ".SKI").code, 0);
  EXPECT_EQ(Slice(f.Block(13), 3), (Bytes{0x67, 0x12, 0x00}));
  EXPECT_EQ(Slice(f.Block(13) + 3, 16), Text("sk.SKI          "));
  EXPECT_EQ(Slice(f.Block(13) + 19, 3), (Bytes{0x01, 0x00, 0xFF}));

  // Two-byte characters are not split at the twelfth byte.
  ASSERT_EQ(f.fs.DownloadNamed(data.data(), 1, "abcdefghijk\xB3\xCC", "bas ", ".BAS").code, 0);
  EXPECT_EQ(Slice(f.Block(15) + 3, 16), Text("abcdefghijk.BAS "));
}

TEST(DownloadNamed, RefusesEmptyAndOversizedFiles) {
  TextSetup f;
  Bytes before = f.image;
  Bytes data(65536, 1);
  EXPECT_EQ(f.fs.DownloadNamed(data.data(), 0, "e", "bas ", ".BAS").code, download::kEmptyFile);
  EXPECT_EQ(f.fs.DownloadNamed(data.data(), 0, "e", "udf ", ".SKI").code, download::kEmptyFile);
  EXPECT_EQ(f.fs.DownloadNamed(data.data(), 65536, "e", "bas ", ".BAS").code, download::kTooLarge);
  EXPECT_EQ(f.image, before);
  ASSERT_EQ(f.fs.DownloadNamed(data.data(), 65535, "e", "bas ", ".BAS").code, 0);
  EXPECT_EQ(f.U16(6 * 512 + 6), 65535u);
  EXPECT_EQ(f.EntryBytes(10 + 127), (Bytes{0xFF, 0xF3, 0xE7}));
}

}  // namespace
}  // namespace rq4800
