// rq4800-cli disasm: the debug window's listing on standard output, from the
// machine as it stands right after power-on with the built-in firmware and
// the default flash.
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "debugger/disassembler.h"
#include "host/cli/arguments.h"
#include "host/cli/commands.h"
#include "machine/machine.h"
#include "machine/resource_store.h"

namespace rq4800::cli {

namespace {

struct DisasmOptions {
  std::string address;
  int count = 0;  // 0: as much as the debug window shows
};

// The processor's view of memory: its addresses wrap at 64 KB, so an
// instruction at FFFE takes its operand from FFFF and 0000.
struct WrappingBus final : IBus6502 {
  IBus6502& bus;
  explicit WrappingBus(IBus6502& b) : bus(b) {}
  int Read(int address) override { return bus.Read(address & 0xFFFF); }
  void Write(int address, int value) override { bus.Write(address & 0xFFFF, value); }
};

int RunDisasm(const DisasmOptions& options) {
  std::string reason;
  const std::optional<int> start = ParseAddress(options.address, &reason);
  if (!start) {
    std::fprintf(stderr, "disasm: %s\n", reason.c_str());
    return kExitBadUsage;
  }

  // Power-on writes log lines of its own; they must not mix with the listing.
  CommandLog log(false);
  ResourceStore resources;
  auto machine = std::make_unique<Machine>(resources);
  PowerOn(*machine);

  // Without --count, as much as the debug window holds: lines until the
  // text, counted with its CR LF line ends, reaches 8,000 bytes.
  WrappingBus bus(machine->bus);
  char line[kDisassemblyLineSize];
  size_t text = 0;
  int address = *start;
  for (int n = 0; options.count == 0 ? text < kListingLimit : n < options.count; ++n) {
    const int length = DisassembleOne(bus, address, line);
    if (length == 0) break;  // an opcode the processor does not know ends the listing
    std::printf("%s\n", line);
    text += std::strlen(line) + 2;
    address = (address + length) & 0xFFFF;
  }
  return kExitOk;
}

}  // namespace

void AddDisasmCommand(CLI::App& app, int* exitCode) {
  auto options = std::make_shared<DisasmOptions>();
  CLI::App* command = app.add_subcommand(
      "disasm", "List 6502 code from ADDR as the debug window does, on the freshly powered-on machine");
  command->add_option("ADDR", options->address, "Address to list from, hexadecimal 0000..FFFF (c000, 0xC000)")
      ->required();
  command->add_option("--count", options->count,
                      "Lines to list; without it the listing runs to 8,000 bytes of text like the debug window's. "
                      "Either way it ends before an opcode the processor does not know; past FFFF it goes on at 0000")
      ->check(WholeNumber(1, std::numeric_limits<int>::max()));
  command->callback([options, exitCode] { *exitCode = RunDisasm(*options); });
}

}  // namespace rq4800::cli
