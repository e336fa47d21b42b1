// Texts written in UTF-8 are stored in GBK, the device's code page for
// texts; GBK or other bytes are stored as they are. Expected GBK bytes are
// those of the GBK code table.
#include <gtest/gtest.h>

#include "core/debug_log.h"
#include "storage/download_file.h"
#include "storage/text_encoding.h"
#include "tests/storage/flash_builder.h"

namespace rq4800 {
namespace {

using test::Bytes;
using test::FlashBuilder;
using test::Slice;

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }

TEST(Utf8, OnlyWellFormedCharactersAreCharacters) {
  const std::pair<std::string, size_t> rows[] = {
      {"a", 1}, {"\xC2\xA9", 2}, {"\xE4\xB8\xAD", 3}, {"\xF0\x9F\x98\x80", 4}, {"\xF4\x8F\xBF\xBF", 4},
      {"\xED\x9F\xBF", 3},                                      // U+D7FF, just below the surrogates
      {"\x80", 0}, {"\xC0\x80", 0}, {"\xC1\xBF", 0},           // a lone continuation; overlong two-byte forms
      {"\xE0\x9F\xBF", 0}, {"\xF0\x8F\xBF\xBF", 0},             // overlong three- and four-byte forms
      {"\xED\xA0\x80", 0}, {"\xF4\x90\x80\x80", 0}, {"\xF5\x80\x80\x80", 0},  // surrogate; past U+10FFFF
      {"\xE4\xB8", 0}, {"\xE4\x41\xAD", 0}, {"", 0},            // cut short; a bad later byte
  };
  for (const auto& [text, length] : rows) EXPECT_EQ(Utf8CharLength(text), length) << ::testing::PrintToString(text);
}

TEST(Utf8, ConvertedAreWellFormedTextsBeyondAsciiOnly) {
  const std::pair<std::string, bool> rows[] = {
      {"", false}, {"plain ASCII\r\n", false}, {"\xEF\xBB\xBF" "abc", true}, {"\xE4\xB8\xAD\xE6\x96\x87", true},
      {"\xD6\xD0\xCE\xC4\r\n", false},     // 中文 in GBK
      {"ok \xE4\xB8\xAD \xFF", false},      // one stray byte spoils the whole text
      {"\xC3\xA9t\xC3\xA9", true},
  };
  for (const auto& [text, converted] : rows) {
    EXPECT_EQ(IsUtf8BeyondAscii(reinterpret_cast<const uint8_t*>(text.data()), text.size()), converted)
        << ::testing::PrintToString(text);
  }
}

TEST(Utf8, ToGbkDropsTheByteOrderMarkAndCountsWhatGbkLacks) {
  struct Row { std::string utf8; std::string gbk; int replaced; };
  const Row rows[] = {
      {"\xE4\xB8\xAD\xE6\x96\x87\r\n", "\xD6\xD0\xCE\xC4\r\n", 0},                  // 中文
      {"\xEF\xBB\xBF" "a\xE4\xB8\xAD", "a\xD6\xD0", 0},                              // the mark goes
      {"x\xEF\xBB\xBFy", "x?y", 1},                                                  // only at the start
      {"\xE2\x82\xAC\xC2\xB7\xC3\xA9", "\x80\xA1\xA4\xA8\xA6", 0},                   // €·é
      {"a\xF0\x9F\x98\x80" "b\xED\x95\x9C\xC3\x9F", "a?b??", 3},                     // 😀, 한, ß
      {"\xEF\xBB\xBF", "", 0},
  };
  for (const Row& row : rows) {
    const GbkText gbk = Utf8ToGbk(reinterpret_cast<const uint8_t*>(row.utf8.data()), row.utf8.size());
    EXPECT_EQ(gbk.bytes, B(row.gbk)) << ::testing::PrintToString(row.utf8);
    EXPECT_EQ(gbk.replaced, row.replaced) << ::testing::PrintToString(row.utf8);
  }
}

struct TextFolder : FlashBuilder {
  TextFolder() { Use(0, 43), AddFolder("txt ", 0x1C05, 0xB5); }  // the core area's blocks used
  DownloadResult Download(const std::string& text) {
    DebugLogCapture log;
    return fs.DownloadText(reinterpret_cast<const uint8_t*>(text.data()), text.size(), "t");
  }
  Bytes Stored(size_t n) { return Slice(Block(44), n); }  // the text stream of the first file
};

TEST(DownloadText, Utf8TextIsStoredInGbkWithItsCountsAndOthersByteForByte) {
  struct Row { std::string text; Bytes stream; int replaced; bool converted; };
  const Row rows[] = {
      // "中文\n中": the rows count GBK bytes, (4 + 19) / 10 = 2 for the first line.
      {"\xEF\xBB\xBF\xE4\xB8\xAD\xE6\x96\x87\n\xE4\xB8\xAD",
       {1, 0, 2, 0, 0x0A, 0xD6, 0xD0, 0xCE, 0xC4, 0x0A, 0xD6, 0xD0, 0xFF, 0xFF}, 0, true},
      {"\xED\x95\x9C" "a", {0, 0, 0, 0, 0x0A, '?', 'a', 0xFF, 0xFF}, 1, true},
      {"\xD6\xD0\xCE\xC4", {0, 0, 0, 0, 0x0A, 0xD6, 0xD0, 0xCE, 0xC4, 0xFF, 0xFF}, 0, false},  // GBK already
      {"ab", {0, 0, 0, 0, 0x0A, 'a', 'b', 0xFF, 0xFF}, 0, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(&row - rows);
    TextFolder f;
    const DownloadResult result = f.Download(row.text);
    ASSERT_EQ(result.code, 0);
    EXPECT_EQ(f.Stored(row.stream.size()), row.stream);
    EXPECT_EQ(f.U16(5 * 512 + 6), row.stream.size());  // the record's stored length
    EXPECT_EQ(result.replaced, row.replaced);
    EXPECT_EQ(std::string(result.message) != download::Result(download::kOk).message, row.converted);
    // What the user reads names the lost characters.
    EXPECT_EQ(DescribeDownloadResult(result).find("'?': 1") != std::string::npos, row.replaced == 1);
  }
}

TEST(DownloadText, LengthLimitAppliesToTheTextAsStored) {
  std::string chinese;  // 32,764 characters: 98,292 bytes of UTF-8, 65,528 of GBK
  for (int i = 0; i < 32764; ++i) chinese += "\xE4\xB8\xAD";
  TextFolder f;
  ASSERT_EQ(f.Download(chinese).code, 0);
  EXPECT_EQ(f.U16(5 * 512 + 6), 65535u);
  EXPECT_EQ(f.U16(5 * 512 + 8), 0x1C00u | 44);
  EXPECT_EQ(f.Stored(7), (Bytes{0, 0, 0, 0, 0x0A, 0xD6, 0xD0}));
  TextFolder g;
  const Bytes before = g.image;
  EXPECT_EQ(g.Download(chinese + "\xE4\xB8\xAD").code, download::kTooLarge);
  EXPECT_EQ(g.Download(std::string(262144, 'a')).code, download::kTooLarge);
  EXPECT_TRUE(g.image == before);
}

}  // namespace
}  // namespace rq4800
