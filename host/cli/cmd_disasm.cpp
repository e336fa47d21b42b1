// rq4800-cli disasm: the debug window's listing on standard output, from the
// machine as it stands right after power-on with the built-in firmware and
// the default flash.
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "core/debug_log.h"
#include "debugger/debug_texts.h"
#include "debugger/disassembler.h"
#include "host/cli/commands.h"
#include "machine/machine.h"
#include "machine/resource_store.h"

namespace rq4800::cli {

namespace {

struct DisasmOptions {
  std::string address;
  int count = 0;  // 0: as much as the debug window shows
};

bool HasHexDigit(const std::string& text) {
  return text.find_first_of("0123456789abcdefABCDEF") != std::string::npos;
}

int RunDisasm(const DisasmOptions& options) {
  if (!HasHexDigit(options.address)) {
    std::fprintf(stderr, "disasm: \"%s\" is not a hexadecimal address\n", options.address.c_str());
    return kExitBadUsage;
  }
  const int address = ListingAddressFromText(options.address.c_str());

  // Power-on writes diagnostics of its own; they must not mix with the listing.
  DebugLogTarget previous = SetDebugLogTarget(
      {[](void*, std::string_view text) { std::fwrite(text.data(), 1, text.size(), stderr); }, nullptr});
  ResourceStore resources;
  auto machine = std::make_unique<Machine>(resources, std::string(), nullptr);
  PowerOn(*machine);
  SetDebugLogTarget(previous);

  if (options.count == 0) {
    auto listing = std::make_unique<char[]>(kListingSize);
    DisassembleListing(machine->bus, address, listing.get());
    for (const char* p = listing.get(); *p; ++p) {
      if (*p != '\r') std::fputc(*p, stdout);
    }
  } else {
    int a = address;
    char line[kDisassemblyLineSize];
    for (int n = 0; n < options.count; ++n) {
      int length = DisassembleOne(machine->bus, a, line);
      if (length == 0) break;
      std::printf("%s\n", line);
      a += length;
    }
  }
  return kExitOk;
}

}  // namespace

void AddDisasmCommand(CLI::App& app, int* exitCode) {
  auto options = std::make_shared<DisasmOptions>();
  CLI::App* command = app.add_subcommand(
      "disasm", "List 6502 code from ADDR as the debug window does, on the freshly powered-on machine");
  command->add_option("ADDR", options->address, "Address to list from, hexadecimal (c000, 0xC000)")->required();
  command->add_option("--count", options->count,
                      "Lines to list; without it the listing runs to 8,000 bytes of text like the debug window's. "
                      "Either way it ends before an opcode the processor does not know")
      ->check(CLI::PositiveNumber);
  command->callback([options, exitCode] { *exitCode = RunDisasm(*options); });
}

}  // namespace rq4800::cli
