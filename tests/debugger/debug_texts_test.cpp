// The debug window's texts, built from a powered-on machine running a
// synthetic ROM.
#include "debugger/debug_texts.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/machine/machine_fixture.h"

namespace rq4800 {
namespace {

using test::TestMachine;
using test::TestRom;

TestRom RomStartingAt(int reset) {
  TestRom rom;
  rom.Vectors(0xE000, reset, 0xE000);
  rom.Put(0xE000, {0x40});                    // RTI
  rom.Put(0xFFF4, {0xA9, 0x3C, 0x4C, 0xF4, 0xFF});  // LDA #$3C; JMP $FFF4
  return rom;
}

std::string RegisterLine(const Machine& m) {
  char out[kRegisterLineSize];
  BuildRegisterLine(m, out);
  return out;
}

std::string Dump(const Machine& m) {
  auto out = std::make_unique<char[]>(kMemoryDumpSize);
  BuildMemoryDump(m, out.get());
  return out.get();
}

std::string DumpLine(const std::string& dump, int address) {
  return dump.substr(static_cast<size_t>(address / 16) * kDumpLineLength, kDumpLineLength);
}

TEST(DebugTexts, RegisterLineAfterReset) {
  TestMachine m(RomStartingAt(0xFFF4));
  for (uint32_t& port : m->bus.ports) port = 0;
  EXPECT_EQ(RegisterLine(*m), "PC:FFF4 SP:1FF P:04 A:00 X:00 Y:00  BANK:00 BSW:0 INT:00");
}

TEST(DebugTexts, RegisterLineShowsTheBankStateAndStatus) {
  TestMachine m(RomStartingAt(0xFFF4));
  m->cpu.A = 0xAB;
  m->cpu.X = 0x01;
  m->cpu.Y = 0xFE;
  m->cpu.P = 0xC3;
  m->cpu.SP = 0x0F;
  m->cpu.PC = 0x0123;
  m->bus.ports[0x00] = 0x1F;
  m->bus.ports[0x0A] = 0x8B;  // flash mode bit is not part of BSW
  m->bus.ports[0x01] = 0x41;
  EXPECT_EQ(RegisterLine(*m), "PC:0123 SP:10F P:C3 A:AB X:01 Y:FE  BANK:1F BSW:B INT:41");
}

TEST(DebugTexts, DumpShowsWrittenPortValuesWithoutReadingThem) {
  TestMachine m(RomStartingAt(0xFFF4));
  Machine& machine = *m;
  machine.bus.Write(0x01, 0x5A);  // interrupt control
  machine.bus.Write(0x08, 0x10);  // key row select
  machine.bus.ports[0x01] = 0x3F;  // pending interrupt status
  machine.bus.ports[0x02] = 0x77;
  std::string dump = Dump(machine);
  std::string line = DumpLine(dump, 0x0000);
  EXPECT_EQ(line.substr(0, 5), "0000-");
  EXPECT_EQ(line.substr(5 + 3 * 1, 2), "5A");
  EXPECT_EQ(line.substr(5 + 3 * 2, 2), "77");
  EXPECT_EQ(line.substr(5 + 3 * 8, 2), "10");
  // Showing the dump cleared nothing; a listing through the bus does.
  EXPECT_EQ(machine.bus.ports[0x01], 0x3Fu);
  char listing[kListingSize];
  BuildListing(machine, 0x0001, listing);
  EXPECT_EQ(machine.bus.ports[0x01] & 0x3F, 0u);
}

TEST(DebugTexts, DumpShowsTheZeroPageSliceAsTheProcessorSeesIt) {
  TestMachine m(RomStartingAt(0xFFF4));
  Machine& machine = *m;
  for (int i = 0; i < 16; ++i) machine.bus.ram[i] = static_cast<uint8_t>(0xA0 + i);
  machine.bus.Write(0x0F, 1);
  std::string line = DumpLine(Dump(machine), 0x0040);
  EXPECT_EQ(line, "0040-A0 A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF\r\n");
  for (int i = 0; i < 16; ++i) EXPECT_EQ(machine.bus.Read(0x40 + i), 0xA0 + i);
}

TEST(DebugTexts, DumpCoversTheWholeAddressSpaceThroughTheWindows) {
  TestMachine m(RomStartingAt(0xFFF4));
  Machine& machine = *m;
  machine.bus.ram[0x1230] = 0xAB;
  machine.bus.ram[0x123F] = 0xCD;
  std::string dump = Dump(machine);
  ASSERT_EQ(dump.size(), kMemoryDumpSize - 1);
  for (int address : {0x0000, 0x1230, 0x8000, 0xFFF0}) {
    std::string line = DumpLine(dump, address);
    char head[16];
    std::snprintf(head, sizeof head, "%04X-", address);
    EXPECT_EQ(line.substr(0, 5), head);
    EXPECT_EQ(line.substr(52), "\r\n");
    // Every byte agrees with what the processor would read there.
    for (int i = 0; i < 16; ++i) {
      int expected = address < 0x40 ? -1 : machine.bus.Read(address + i);
      if (expected < 0) continue;
      char hex[12];
      std::snprintf(hex, sizeof hex, "%02X", expected);
      EXPECT_EQ(line.substr(5 + 3 * static_cast<size_t>(i), 2), hex) << std::hex << address + i;
    }
  }
  EXPECT_EQ(DumpLine(dump, 0x1230).substr(5, 2), "AB");
  EXPECT_EQ(DumpLine(dump, 0x1230).substr(50, 2), "CD");
  EXPECT_EQ(DumpLine(dump, 0xFFF0).substr(5 + 3 * 12, 5), "F4 FF");  // reset vector
}

TEST(DebugTexts, WindowOpensWithTheListingFromTheProgramCounter) {
  TestMachine m(RomStartingAt(0xFFF4));
  auto texts = std::make_unique<DebugWindowTexts>();
  BuildDebugWindowTexts(*m, *texts);
  EXPECT_EQ(std::string(texts->listing).substr(0, 34), "FFF4: LDA #$3C\r\nFFF6: JMP $FFF4\r\n");
  EXPECT_EQ(std::string(texts->registerLine).substr(0, 8), "PC:FFF4 ");
  EXPECT_EQ(std::string(texts->memoryDump).size(), kMemoryDumpSize - 1);
}

TEST(DebugTexts, ListingOfAnUndocumentedFirstOpcodeIsEmpty) {
  TestMachine m(RomStartingAt(0xFFF4));
  char listing[kListingSize] = "stale";
  BuildListing(*m, 0xE100, listing);  // unwritten ROM is 0xFF
  EXPECT_EQ(listing[0], '\0');
}

TEST(DebugTexts, AddressBoxIsReadAsHexadecimal) {
  struct Case {
    const char* text;
    int64_t value;
  };
  const Case cases[] = {
      {"c000", 0xC000},      {"0xC000", 0xC000}, {"C000", 0xC000},  {"xyz", 0},
      {"", 0},               {"   1f", 0x1F},    {"+10", 0x10},     {"-10", -0x10},
      {"0x", 0},             {"0xg", 0},         {"12zz34", 0x12},  {"\t0X2A", 0x2A},
      {"12345678901234567", 0x12345678901234},   // only the box's 14 characters
      {"  - 5", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseAddressText(c.text), c.value) << '"' << c.text << '"';
}

TEST(DebugTexts, ListingAddressStaysInsideTheAddressSpace) {
  EXPECT_EQ(ListingAddressFromText("c000"), 0xC000);
  EXPECT_EQ(ListingAddressFromText("-1"), 0xFFFF);
  EXPECT_EQ(ListingAddressFromText("12345"), 0x2345);
  EXPECT_EQ(ListingAddressFromText("xyz"), 0);
}

}  // namespace
}  // namespace rq4800
