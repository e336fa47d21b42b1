// The disassembler on a plain recording RAM bus, and the debug window's texts
// from a powered-on machine whose synthetic ROM loops on LDA #$3C; JMP $FFF4.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "debugger/debug_texts.h"
#include "debugger/disassembler.h"
#include "tests/core/recording_bus.h"
#include "tests/machine/machine_fixture.h"

namespace rq4800 {
namespace {

using namespace testing;

struct Disassembler : ::testing::Test {
  std::unique_ptr<RecordingBus> bus = std::make_unique<RecordingBus>();
  char out[kListingSize];
};

TEST_F(Disassembler, OneLinePerOperandFormBranchTargetsUnwrappedUnknownOpcodesEmpty) {
  struct Case { int address; std::vector<int> bytes; const char* text; int length; };
  const Case cases[] = {
      {0xC000, {0x4C, 0x4E, 0xC0}, "C000: JMP $C04E", 3},   {0x2000, {0xEA}, "2000: NOP ", 1},
      {0x2000, {0x0A}, "2000: ASL ", 1},                    {0x0200, {0xA9, 0x0F}, "0200: LDA #$0F", 2},
      {0x0200, {0xA5, 0x80}, "0200: LDA $80", 2},           {0x0200, {0xB5, 0x80}, "0200: LDA $80,X", 2},
      {0x0200, {0xB6, 0x80}, "0200: LDX $80,Y", 2},         {0x0200, {0xA1, 0x80}, "0200: LDA ($80,X)", 2},
      {0x0200, {0xB1, 0x80}, "0200: LDA ($80),Y", 2},       {0x0200, {0xBD, 0x34, 0x12}, "0200: LDA $1234,X", 3},
      {0x0200, {0xB9, 0x34, 0x12}, "0200: LDA $1234,Y", 3}, {0x0200, {0x6C, 0xFC, 0xFF}, "0200: JMP ($FFFC)", 3},
      {0x3000, {0x00, 0x12, 0x34}, "3000: BRK $3412", 3},   {0x1000, {0xD0, 0xFE}, "1000: BNE $1000", 2},
      {0x1000, {0x10, 0x80}, "1000: BPL $0F82", 2},         {0x0000, {0xD0, 0x80}, "0000: BNE $FFFFFF82", 2},
      {0xFFFE, {0xF0, 0x7F}, "FFFE: BEQ $1007F", 2},        {0x4000, {0x89, 0x00}, "", 0},
      {0x4000, {0x02}, "", 0},                              {0x4000, {0xFF}, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    bus->Poke(c.address, c.bytes);
    std::fill(std::begin(out), std::end(out), 'x');
    EXPECT_EQ(DisassembleOne(*bus, c.address, out), c.length);
    EXPECT_EQ(std::string(out), c.text);
  }
}

TEST_F(Disassembler, ListingFollowsInstructionLengthsAndStopsAtAnUnknownOpcodeOrPast8000Bytes) {
  bus->Poke(0x3000, {0x00, 0x12, 0x34, 0xA9, 0x01, 0xEA, 0x07, 0xEA});
  EXPECT_EQ(DisassembleListing(*bus, 0x3000, out), 45u);
  EXPECT_EQ(std::string(out), "3000: BRK $3412\r\n3003: LDA #$01\r\n3005: NOP \r\n");
  bus->Poke(0x5000, {0xFF});
  EXPECT_EQ(DisassembleListing(*bus, 0x5000, out), 0u);
  EXPECT_EQ(out[0], '\0');
  std::fill(std::begin(bus->memory), std::end(bus->memory), 0xEA);
  // "0000: NOP \r\n" is 12 bytes: 666 lines hold 7,992, the 667th passes 8,000.
  EXPECT_EQ(DisassembleListing(*bus, 0x0000, out), 667u * 12);
  EXPECT_EQ(std::string(out).size(), 667u * 12);
  EXPECT_EQ(std::string(out + 666 * 12), "029A: NOP \r\n");
}

TEST_F(Disassembler, ListingRunsPastTheTopReadingWordsHighByteFirst) {
  bus->Poke(0xFFFE, {0xEA, 0xAD, 0x34, 0x12, 0xFF});  // NOP; LDA abs with its operand past the top
  DisassembleListing(*bus, 0xFFFE, out);
  EXPECT_EQ(std::string(out), "FFFE: NOP \r\nFFFF: LDA $1234\r\n");
  // The bus is asked for the addresses past 0xFFFF as they are.
  EXPECT_EQ(bus->trace,
            (Trace{R(0xFFFE, 0xEA), R(0xFFFF, 0xAD), R(0x10001, 0x12), R(0x10000, 0x34), R(0x10002, 0xFF)}));
}

test::TestRom LoopingRom() {
  test::TestRom rom;
  rom.Vectors(0xE000, 0xFFF4, 0xE000);
  rom.Put(0xFFF4, {0xA9, 0x3C, 0x4C, 0xF4, 0xFF});
  return rom;
}

struct DebugTexts : ::testing::Test {
  test::TestMachine machine{LoopingRom()};
  Machine& m = *machine;
  std::unique_ptr<DebugWindowTexts> texts = std::make_unique<DebugWindowTexts>();

  std::string DumpLine(int address) {
    BuildMemoryDump(m, texts->memoryDump);
    return std::string(texts->memoryDump + address / 16 * kDumpLineLength, kDumpLineLength);
  }
};

TEST_F(DebugTexts, WindowOpensWithTheRegisterLineAfterResetAndTheListingFromThePC) {
  for (uint32_t& port : m.bus.ports) port = 0;
  BuildDebugWindowTexts(m, *texts);
  EXPECT_STREQ(texts->registerLine, "PC:FFF4 SP:1FF P:04 A:00 X:00 Y:00  BANK:00 BSW:0 INT:00");
  EXPECT_STREQ(texts->listing, "FFF4: LDA #$3C\r\nFFF6: JMP $FFF4\r\n");
  EXPECT_EQ(std::string(texts->memoryDump).size(), kMemoryDumpSize - 1);  // all 4,096 lines
}

TEST_F(DebugTexts, RegisterLineShowsTheBankStateAndInterrupts) {
  m.cpu.A = 0xAB, m.cpu.X = 0x01, m.cpu.Y = 0xFE, m.cpu.P = 0xC3, m.cpu.SP = 0x0F, m.cpu.PC = 0x0123;
  m.bus.ports[0x00] = 0x1F;
  m.bus.ports[0x0A] = 0x8B;  // the flash mode bit is not part of BSW
  m.bus.ports[0x01] = 0x41;
  BuildRegisterLine(m, texts->registerLine);
  EXPECT_STREQ(texts->registerLine, "PC:0123 SP:10F P:C3 A:AB X:01 Y:FE  BANK:1F BSW:B INT:41");
}

TEST_F(DebugTexts, DumpShowsWrittenPortValuesWithoutReadingThem) {
  m.bus.Write(0x01, 0x5A);   // interrupt control
  m.bus.Write(0x08, 0x10);   // key row select
  m.bus.ports[0x01] = 0x3F;  // pending interrupt status
  m.bus.ports[0x02] = 0x77;
  EXPECT_EQ(DumpLine(0x0000).substr(0, 31), "0000-00 5A 77 00 00 00 00 00 10");
  EXPECT_EQ(m.bus.ports[0x01], 0x3Fu);  // showing the dump cleared nothing; a listing through the bus does
  BuildListing(m, 0x0001, texts->listing);
  EXPECT_EQ(m.bus.ports[0x01] & 0x3F, 0u);
}

TEST_F(DebugTexts, DumpShowsTheZeroPageSliceAndTheWindowsAsTheProcessorSeesThem) {
  for (int i = 0; i < 16; ++i) m.bus.ram[i] = static_cast<uint8_t>(0xA0 + i);
  m.bus.Write(0x0F, 1);
  m.bus.ram[0x1234] = 0xAB;
  EXPECT_EQ(DumpLine(0x0040), "0040-A0 A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF\r\n");
  EXPECT_EQ(DumpLine(0x1230), "1230-00 00 00 00 AB 00 00 00 00 00 00 00 00 00 00 00\r\n");
  EXPECT_EQ(DumpLine(0xFFF0), "FFF0-FF FF FF FF A9 3C 4C F4 FF FF 00 E0 F4 FF 00 E0\r\n");  // ROM and vectors
}

TEST(DebugAddressBox, TextIsReadAsHexadecimalAndTheListingStaysInTheAddressSpace) {
  const std::pair<const char*, int64_t> cases[] = {
      {"c000", 0xC000}, {"0xC000", 0xC000}, {"xyz", 0}, {"", 0}, {"   1f", 0x1F}, {"+10", 0x10}, {"-10", -0x10},
      {"0x", 0}, {"0xg", 0}, {"  - 5", 0}, {"12zz34", 0x12}, {"\t0X2A", 0x2A},
      {"12345678901234567", 0x12345678901234},  // only the box's 14 characters
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseAddressText(text), value) << '"' << text << '"';
  EXPECT_EQ(ListingAddressFromText("-1"), 0xFFFF);
  EXPECT_EQ(ListingAddressFromText("12345"), 0x2345);
}

}  // namespace
}  // namespace rq4800
