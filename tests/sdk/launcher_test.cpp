// The launcher in the Files screen: which images it starts, how a program
// ends, what it finds on return.
#include <array>
#include <utility>

#include "tests/sdk/program_fixture.h"

namespace rq4800::test {
namespace {

using ::testing::StartsWith;

// A two-bank program lies in banks 14 and 15; bank 15's blocks are marked
// free again in the block table.
void GiveUpBank15(uint8_t* table) {
  ASSERT_NE(table[3 * 14 * 64 + 2], 0xFF) << "bank 14 holds its start";
  for (int b = 15 * 64; b < 16 * 64; ++b) std::memset(table + 3 * b, 0xFF, 3);
}

TEST_F(ProgramTest, BrokenImagesAreNamedAsSuchAndNeverStarted) {
  struct Case {
    const char* what;
    int offset;
    uint8_t value;
    const char* message;
    void (*spoil)(uint8_t* blockTable) = nullptr;
  };
  const Case cases[] = {
      {"no magic", 0, 'X', "Not a program (no header)"},
      {"format version 2", 4, 2, "Program format unknown"},
      {"unknown load mode", 10, 7, "Program format unknown"},
      {"more banks than the file has", 5, 2, "Program banks missing"},
      {"no banks", 5, 0, "Program banks missing"},
      {"a bank given up in the block table", 5, 2, "Program banks missing", GiveUpBank15},
      {"entry below the bank's view", 7, 0x3F, "Program entry invalid"},
      {"entry in the firmware's windows", 7, 0xC0, "Program entry invalid"},
      {"more RAM than there is", 9, 0x31, "Program needs too much RAM"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Image image(c.spoil ? 2 : 1, "Broken");
    // Code that would leave a mark in RAM no one else uses if it ever ran.
    image.Code({0xA9, 0xA5, 0x8D, 0xF0, 0x3F, kRts});
    image.bytes[static_cast<size_t>(c.offset)] = c.value;
    BootWith(SmallFileSystem());
    ASSERT_TRUE(machine->storage.DownloadBin(image.bytes.data(), image.bytes.size()).Ok());
    if (c.spoil) c.spoil(machine->bus.flash.get() + 0x4000 + 0x400);
    OpenFiles();
    EXPECT_THAT(ListRow(0), StartsWith("bin (invalid) 0001")) << Screen();
    Press(key::kEnter, 20);
    EXPECT_THAT(Line(9), StartsWith(c.message)) << Screen();
    EXPECT_FALSE(ProgramRunning());
    RunSeconds(1.5);
    EXPECT_TRUE(InFiles()) << Screen();
    EXPECT_THAT(ListRow(0), StartsWith("bin (invalid) 0001"));
    EXPECT_EQ(machine->bus.ram[0x3FF0], 0) << "the program ran";
  }
}

TEST_F(ProgramTest, NamedAndNamelessProgramsAndTheirEnds) {
  // Returns at once; sets a mark through the system interface's exit with
  // status 42; loops until Esc+Enter.
  Image returns(1, "Returns");
  returns.Code({kRts});
  Image exits(1);
  exits.Code({0xA9, 0x5A, 0x85, 0xB0, 0xA9, 42, 0x4C, 0x04, 0xFF});  // lda #$5A; sta $B0; lda #42; jmp SYS_EXIT
  Image loops(1, "Loops");
  loops.Code({0x4C, 0x20, 0x80});  // jmp $8020
  BootWithPrograms({returns.bytes, exits.bytes, loops.bytes});
  EXPECT_THAT(ListRow(0), StartsWith("bin Returns")) << Screen();
  EXPECT_THAT(ListRow(1), StartsWith("bin PROGRAM 0002")) << "no name in its header";
  EXPECT_THAT(ListRow(2), StartsWith("bin Loops"));

  Press(key::kEnter, 20);
  EXPECT_TRUE(InFiles()) << Screen();
  EXPECT_EQ(LastExit(), 0);

  Press(key::kDown);
  Press(key::kEnter, 20);
  EXPECT_TRUE(InFiles()) << Screen();
  EXPECT_EQ(LastExit(), 42);
  EXPECT_TRUE(ListInverted(1)) << "the selection is kept\n" << Screen();

  Press(key::kDown);
  Press(key::kEnter, 20);
  EXPECT_TRUE(ProgramRunning());
  RunSeconds(1);
  EXPECT_TRUE(ProgramRunning()) << "it loops until stopped";
  PressKeyCode(*machine, key::kEsc);
  Run(5);
  EXPECT_TRUE(ProgramRunning()) << "Esc alone is the program's";
  PressKeyCode(*machine, key::kEnter);
  Run(5);
  ReleaseAllKeys(*machine);
  Run(10);
  EXPECT_FALSE(ProgramRunning());
  EXPECT_EQ(LastExit(), 255) << "stopped by the user";
  EXPECT_TRUE(InFiles()) << Screen();
  EXPECT_TRUE(ListInverted(2)) << Screen();
  // The held keys were not taken for presses: Files is still there.
  Run(20);
  EXPECT_TRUE(InFiles()) << Screen();
  // The firmware works on: Esc leaves Files for the home screen.
  Press(key::kEsc);
  EXPECT_TRUE(AtHome()) << Screen();
}

TEST_F(ProgramTest, ReadsItsFurtherBanksAndNothingElse) {
  // Bank 1 holds a pattern at its offset 0x7FF8; the program copies it to
  // its RAM at 0x3F00, then tries bank 2 (not its own) and a destination in
  // the firmware's RAM.
  Image image(2, "Banks");
  for (int i = 0; i < 8; ++i) image.bytes[0x8000 + 0x7FF8 + static_cast<size_t>(i)] = static_cast<uint8_t>(0x11 * (i + 1));
  // Parameter blocks at bank offset 0x100 (0x8100): {bank, offset, dest, length}
  for (int i = 0; i < 8; ++i) image.bytes[0x8000 + 0x3FFC + static_cast<size_t>(i)] = static_cast<uint8_t>(0xA0 + i);
  const std::pair<size_t, std::array<uint8_t, 7>> blocks[] = {
      {0x100, {1, 0xF8, 0x7F, 0x00, 0x3F, 8, 0}},  // to 0x3F00
      {0x110, {2, 0x00, 0x00, 0x10, 0x3F, 8, 0}},  // bank 2: refused
      {0x120, {1, 0x00, 0x00, 0x00, 0x02, 8, 0}},  // into the firmware's RAM: refused
      {0x130, {1, 0xFC, 0x3F, 0x20, 0x3F, 8, 0}},  // from the bank's first half into its second
  };
  for (const auto& [at, block] : blocks) std::copy(block.begin(), block.end(), image.bytes.begin() + at);
  image.Code({0xA9, 0x00, 0xA2, 0x81, 0x20, 0x2E, 0xFF,   // lda #<$8100; ldx #>$8100; jsr SYS_READBANK
              0xA9, 0x10, 0xA2, 0x81, 0x20, 0x2E, 0xFF,   // the block at $8110
              0x2A, 0x85, 0xB0,                           // rol; sta $B0 (carry: refused)
              0xA9, 0x20, 0xA2, 0x81, 0x20, 0x2E, 0xFF,   // the block at $8120
              0x2A, 0x85, 0xB1,
              0xA9, 0x30, 0xA2, 0x81, 0x20, 0x2E, 0xFF,   // the block at $8130
              kRts});
  BootWithPrograms({image.bytes});
  EXPECT_THAT(ListRow(0), StartsWith("bin Banks")) << Screen();
  const std::vector<uint8_t> firmwareRam(machine->bus.ram.get() + 0x200, machine->bus.ram.get() + 0x208);
  Press(key::kEnter, 20);
  EXPECT_TRUE(InFiles()) << Screen();
  for (int i = 0; i < 8; ++i) EXPECT_EQ(machine->bus.ram[0x3F00 + i], 0x11 * (i + 1)) << i;
  EXPECT_EQ(machine->bus.ram[0xB0] & 1, 1) << "bank 2 is not the program's";
  EXPECT_EQ(machine->bus.ram[0xB1] & 1, 1) << "the firmware's RAM is not a destination";
  for (int i = 0; i < 8; ++i) EXPECT_EQ(machine->bus.ram[0x3F10 + i], 0) << i;
  for (int i = 0; i < 8; ++i) EXPECT_EQ(machine->bus.ram[0x3F20 + i], 0xA0 + i) << "across the halves " << i;
  EXPECT_TRUE(std::equal(firmwareRam.begin(), firmwareRam.end(), machine->bus.ram.get() + 0x200));
}

TEST_F(ProgramTest, RamProgramRunsFromItsCopyAndGetsTheWholeArea) {
  // Linked for 0x1000: the code at 0x1020 writes 0x7FFF (the top of its RAM)
  // and reads it back into 0x3FF0, then returns.
  Image ram(1, "InRam", 0x40);
  ram.bytes[7] = 0x10, ram.bytes[9] = 0x70, ram.bytes[10] = 1, ram.bytes[12] = 0x40;
  BootWithPrograms({ram.Code({0xA9, 0x77, 0x8D, 0xFF, 0x7F, 0xAD, 0xFF, 0x7F, 0x8D, 0xF0, 0x3F, kRts}).bytes});
  EXPECT_THAT(ListRow(0), StartsWith("bin InRam")) << Screen();
  Press(key::kEnter, 20);
  EXPECT_TRUE(InFiles()) << Screen();
  EXPECT_EQ(machine->bus.ram[0x7FFF], 0x77);
  EXPECT_EQ(machine->bus.ram[0x3FF0], 0x77) << "read back from its RAM";
}

}  // namespace
}  // namespace rq4800::test
