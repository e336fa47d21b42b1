// The label file reader and the command interpreter's answers.
#include <gtest/gtest.h>

#include <fstream>

#include "debugger/debug_commands.h"
#include "tests/machine/machine_fixture.h"

namespace rq4800::test {
namespace {

TEST(Labels, TakesGoodLinesAndNamesEveryBadOne) {
  SymbolTable table;
  std::vector<std::string> problems;
  const int taken = LoadLabels(table,
                               "al 00C000 .Reset\r\n"
                               "\n"
                               "al 00C000 .AlsoReset\n"
                               "al 000300 .Buffer\n"
                               "xx 00C010 .Wrong\n"
                               "al C0ZZ .Bad\n"
                               "al 010000 .TooFar\n"
                               "al 00C020\n"
                               "al 00C030 .Name extra",
                               &problems);
  EXPECT_EQ(taken, 3);
  const std::vector<std::string> expected = {
      "line 5: expected \"al ADDRESS .name\"", "line 6: \"C0ZZ\" is not a hexadecimal address",
      "line 7: address 010000 lies beyond FFFF", "line 8: the label has no name", "line 9: text after the name"};
  EXPECT_EQ(problems, expected);
  for (auto [address, label] : {std::pair{0xC000, "Reset"}, {0xC003, "Reset+3"}, {0x0301, "Buffer+1"}, {0x0400, ""},
                                 {0x0200, ""}, {0xC0FF, "Reset+255"}, {0xC100, ""}})
    EXPECT_EQ(LabelFor(table, address), label) << std::hex << address;
  EXPECT_EQ(FindSymbol(table, "AlsoReset"), 0xC000);
  EXPECT_EQ(FindSymbol(table, ".Buffer"), 0x0300);
  EXPECT_FALSE(FindSymbol(table, "Wrong"));

  // A program's own name wins over the linker's at the same address.
  LoadLabels(table, "al 008049 .__CONSTRUCTOR_TABLE__\nal 008049 ._main\nal 008049 .__DESTRUCTOR_TABLE__\n", nullptr);
  EXPECT_EQ(LabelFor(table, 0x8049), "_main");
}

TEST(Labels, TheBuiltInFirmwareHasItsOwn) {
  ResourceStore resources;
  SymbolTable table;
  EXPECT_GT(LoadBuiltinLabels(table, resources), 20);
  EXPECT_TRUE(FindSymbol(table, "GetKey"));
  resources.Replace(resource::kRom0, std::vector<uint8_t>(resource::kRomImageSize, 0xEA));
  SymbolTable other;
  EXPECT_EQ(LoadBuiltinLabels(other, resources), 0) << "another firmware's code has other addresses";
}

// E000: LDX #$FF / TXS / JSR $E010 / JMP $E006      E010: INC $0300 / RTS
TestRom LoopProgram() {
  TestRom rom;
  rom.Put(0xE000, {0xA2, 0xFF, 0x9A, 0x20, 0x10, 0xE0, 0x4C, 0x03, 0xE0});
  rom.Put(0xE010, {0xEE, 0x00, 0x03, 0x60});
  rom.Vectors(0xE006, 0xE000, 0xE006);
  return rom;
}

TEST(DebugCommands, AnswerAsDocumented) {
  TestMachine m{LoopProgram()};
  DebugSession s(*m);
  LoadLabels(s.debugger.symbols, "al 00E010 .Count\nal 000300 .Counter\n", nullptr);
  const std::string labels = std::string(RQ4800_BINARY_DIR) + "/debug-commands-test.lbl";
  std::ofstream(labels) << "al 00E006 .Loop\nnonsense\n";
  struct Case {
    const char* command;
    const char* answer;
  };
  const Case cases[] = {
      {"regs", "PC:E000 SP:1FF P:04 A:00 X:00 Y:00  BANK:00 BSW:0 INT:00\n"},
      {"disasm E003 2", "E003: JSR $E010  ; Count\nE006: JMP $E003\n"},
      {"break Count", "breakpoint E010\n"},
      {"break Count 3", "error: E010 lies in a window that always shows the same memory; no bank applies\n"},
      {"continue", "break E010 (Count)\n"},
      {"step", "PC:E013 SP:1FD P:04 A:00 X:FF Y:00  BANK:00 BSW:0 INT:00  Count+3\n"},
      {"mem Counter 3", "0300-01 00 00\n"},
      {"finish", "PC:E006 SP:1FF P:04 A:00 X:FF Y:00  BANK:00 BSW:0 INT:00\n"},
      {"delete E010", "deleted breakpoint E010\n"},
      {"delete E010", "error: no breakpoint at E010\n"},
      {"watch 0300 w", "watchpoint 0300-0300 w\n"},
      {"continue 5", "watch 0300 w 02 at E010 (Count)\n"},
      {"unwatch 0300", "deleted watchpoint 0300\n"},
      {"set A 7F", "PC:E013 SP:1FD P:04 A:7F X:FF Y:00  BANK:00 BSW:0 INT:00  Count+3\n"},
      {"set C 1", "PC:E013 SP:1FD P:05 A:7F X:FF Y:00  BANK:00 BSW:0 INT:00  Count+3\n"},
      {"set A 100", "error: \"100\" does not fit A\n"},
      {"set BANK 2", "PC:E013 SP:1FD P:05 A:7F X:FF Y:00  BANK:02 BSW:0 INT:00  Count+3\n"},
      {"poke 0300 AA BB", "poked 2 bytes\n"},
      {"mem 0300 2", "0300-AA BB\n"},
      {"poke ram:0300 CC", "poked 1 bytes\n"},
      {"mem ram:0300 1", "000300-CC\n"},
      {"poke FFFF 1 2", "error: the bytes run past FFFF\n"},
      {"mem rom:3FFFFF 1", "3FFFFF-FF\n"},
      {"mem flash:80000 1", "error: \"flash:80000\" is not an offset inside flash:\n"},
      {"continue 0", "error: expected a count from 1 to 1000000, not \"0\"\n"},
      {"watch 0310-0300 r", "error: the range ends before it starts\n"},
      {"watch 0300 x", "error: expected r, w or rw, not \"x\"\n"},
      {"frobnicate", "error: unknown command \"frobnicate\"\n"},
      {"regs extra", "error: wrong number of arguments to regs\n"},
      {"screenshot out.png", "error: this session has no picture of the device\n"},
      {"key 0 click 10 10", "error: clicks need the picture of the device, which this session does not have\n"},
      {"  # a comment", ""},
      {"continue 3", "frames 3\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExecuteDebugCommand(s, c.command), c.answer) << c.command;
  EXPECT_EQ(ExecuteDebugCommand(s, "symbols " + labels), "1 labels\nskipped line 2: expected \"al ADDRESS .name\"\n");
  EXPECT_EQ(ExecuteDebugCommand(s, "disasm Loop 1"), "Loop:\nE006: JMP $E003\n");
  EXPECT_FALSE(s.quit);
  EXPECT_EQ(ExecuteDebugCommand(s, "quit"), "");
  EXPECT_TRUE(s.quit);
}

TEST(DebugCommands, TraceWritesOneLinePerInstructionUpToItsLimit) {
  TestMachine m{LoopProgram()};
  DebugSession s(*m);
  const std::string path = std::string(RQ4800_BINARY_DIR) + "/debug-trace-test.txt";
  EXPECT_EQ(ExecuteDebugCommand(s, "trace " + path + " 3"), "trace " + path + " 3 lines\n");
  ExecuteDebugCommand(s, "step 5");
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "E000  A2 FF     LDX #$FF       A:00 X:00 Y:00 P:04 SP:FF  CYC:0");
  EXPECT_EQ(lines[2].substr(0, 30), "E003  20 10 E0  JSR $E010     ");
  EXPECT_NE(lines[2].find("CYC:4"), std::string::npos);
  EXPECT_EQ(ExecuteDebugCommand(s, "trace /nonexistent/dir/t.txt"), "error: cannot write /nonexistent/dir/t.txt\n");
}

}  // namespace
}  // namespace rq4800::test
