// Names as the device stores them. The expected bytes come from the Big5 and
// GBK code tables, not from the conversion under test.
#include <gtest/gtest.h>

#include "storage/device_name.h"

namespace rq4800 {
namespace {

std::string Hex(const std::string& bytes) {
  static const char* const kDigits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

TEST(DeviceName, AsciiAndEmptyNamesPassUnchanged) {
  EXPECT_EQ(ToDeviceName("Report_2024-v2 final"), "Report_2024-v2 final");
  EXPECT_EQ(ToDeviceName(""), "");
  EXPECT_EQ(ToGbkName("GAME1"), "GAME1");
  EXPECT_EQ(ToGbkName(""), "");
}

TEST(DeviceName, SimplifiedNamesBecomeBig5OfTheirTraditionalForms) {
  EXPECT_EQ(Hex(ToDeviceName("简体中文")), "c2b2c5e9a4a4a4e5");  // 簡體中文
  EXPECT_EQ(Hex(ToDeviceName("测试")), "b4fab8d5");              // 測試
  EXPECT_EQ(Hex(ToDeviceName("电脑")), "b971b8a3");              // 電腦
  EXPECT_EQ(Hex(ToDeviceName("笔记1")), "b5a7b04f31");           // 筆記1
  // Characters the same in both forms keep their meaning.
  EXPECT_EQ(Hex(ToDeviceName("你好")), "a741a66e");
  EXPECT_EQ(Hex(ToDeviceName("abc中")), "616263a4a4");
  // Traditional input stays as it is.
  EXPECT_EQ(Hex(ToDeviceName("測試")), "b4fab8d5");
}

TEST(DeviceName, ConvertsCharacterByCharacterNotByPhrase) {
  // The phrase would give 頭髮 (c059 be76); the character table's first
  // candidate for 发 is 發.
  EXPECT_EQ(Hex(ToDeviceName("头发")), "c059b56f");
}

TEST(DeviceName, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(ToDeviceName("a\xF0\x9F\x98\x80" "b"), "a?b");  // an emoji
  EXPECT_EQ(ToDeviceName("x\xFFy"), "x?y");                 // not UTF-8 at all
  EXPECT_EQ(ToDeviceName("\xE4\xB8"), "??");  // a cut-off character: each byte counts
  EXPECT_EQ(ToGbkName("a\xF0\x9F\x98\x80"), "a?");
}

TEST(DeviceName, BasicNamesStayInSimplifiedGbk) {
  EXPECT_EQ(Hex(ToGbkName("程序")), "b3ccd0f2");
  EXPECT_EQ(Hex(ToGbkName("简体")), "bcf2cce5");
  EXPECT_EQ(Hex(ToGbkName("测试A")), "b2e2cad441");
}

}  // namespace
}  // namespace rq4800
