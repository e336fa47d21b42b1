// The disassembler over arbitrary memory: each line names the address and
// the mnemonic of the opcode table, takes as many bytes as the opcode says,
// stays inside its buffer and holds only printable text; a listing is a run
// of such lines within its limit. The same memory is then listed through
// the machine's own bus with fuzzed bank settings.
//
// Input: start address (2 bytes), bank port values (3 bytes), memory from
// the start address on.
#include <cstring>

#include "core/debug_log.h"
#include "core/opcode_table.h"
#include "debugger/disassembler.h"
#include "machine/bus_rq4800.h"
#include "tests/fuzz/fuzz_check.h"

using namespace rq4800;

namespace {

// 64 KB of plain memory; the listing may read a little past 0xFFFF.
struct MemoryBus final : IBus6502 {
  uint8_t memory[0x10000] = {};
  int Read(int address) override {
    FUZZ_REQUIRE(address >= 0 && address < 0x10000 + 0x2000);
    return memory[address & 0xFFFF];
  }
  void Write(int, int) override { FUZZ_REQUIRE(!"the disassembler never writes"); }
};

// One line, checked against the opcode table; returns the bytes it took.
int CheckLine(const char* line, int length, int address, int opcode) {
  FUZZ_REQUIRE(std::memchr(line, '\0', kDisassemblyLineSize) != nullptr);
  const op::Mnemonic m = op::kOpcodeTable[opcode].mnemonic;
  if (m == op::___) {
    FUZZ_REQUIRE(length == 0 && line[0] == '\0');
    return 0;
  }
  FUZZ_REQUIRE(length == (opcode == 0 ? 3 : 1 + op::OperandBytes(op::kOpcodeTable[opcode].mode)));
  char head[16];
  std::snprintf(head, sizeof head, "%04X: %s ", static_cast<unsigned>(address), op::kMnemonicNames[m]);
  FUZZ_REQUIRE(std::strncmp(line, head, std::strlen(head)) == 0);
  for (const char* c = line; *c; ++c) FUZZ_REQUIRE(*c >= 0x20 && *c < 0x7F);
  return length;
}

}  // namespace

extern "C" int RQ4800_FUZZ_ENTRY(const uint8_t* data, size_t size) {
  static const DebugLogTarget quiet = SetDebugLogTarget(DiscardingTarget());
  (void)quiet;
  static MemoryBus memory;
  static BusRQ4800 machineBus;
  static char listing[kListingSize + 16];

  fuzz::ByteReader in{data, size};
  const int start = static_cast<int>(in.U16());
  const uint8_t bank = in.Byte(), swap = in.Byte(), high = in.Byte();
  const std::string bytes = in.Take(0x10000);
  std::memset(memory.memory, 0, sizeof memory.memory);
  for (size_t i = 0; i < bytes.size(); ++i) memory.memory[(start + i) & 0xFFFF] = static_cast<uint8_t>(bytes[i]);

  int address = start;
  for (int n = 0; n < 64; ++n) {
    char line[kDisassemblyLineSize];
    std::memset(line, 0x7F, sizeof line);
    const int length = DisassembleOne(memory, address, line);
    if (CheckLine(line, length, address, memory.memory[address & 0xFFFF]) == 0) break;
    address += length;
  }

  std::memset(listing, 0x7F, sizeof listing);
  const size_t used = DisassembleListing(memory, start, listing);
  FUZZ_REQUIRE(used < kListingSize && listing[used] == '\0' && std::strlen(listing) == used);
  FUZZ_REQUIRE(used == 0 || (used >= 2 && listing[used - 2] == '\r' && listing[used - 1] == '\n'));
  for (size_t i = kListingSize; i < sizeof listing; ++i) FUZZ_REQUIRE(listing[i] == 0x7F);  // nothing past the buffer

  // Through the machine's bus: the same bytes in RAM, with banks switched.
  std::memcpy(machineBus.ram.get(), memory.memory, sizeof memory.memory);
  machineBus.ports[0x00] = bank;
  machineBus.ports[0x0A] = swap;
  machineBus.ports[0x0D] = high;
  machineBus.RecomputeWindows();
  const size_t viaBus = DisassembleListing(machineBus, start, listing);
  FUZZ_REQUIRE(viaBus < kListingSize && std::strlen(listing) == viaBus);
  return 0;
}
