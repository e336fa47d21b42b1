// rq4800-cli: the emulator without a window. Flash tools (info, download),
// the headless runner (run) and the disassembler (disasm).
#include "host/cli/commands.h"

int main(int argc, char** argv) {
  CLI::App app{"RQ4800 emulator, headless: flash tools, runner and disassembler"};
  app.require_subcommand(1);
  int exitCode = rq4800::cli::kExitOk;
  rq4800::cli::AddInfoCommand(app, &exitCode);
  rq4800::cli::AddDownloadCommand(app, &exitCode);
  rq4800::cli::AddRunCommand(app, &exitCode);
  rq4800::cli::AddDisasmCommand(app, &exitCode);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int code = app.exit(e);
    return code == 0 ? 0 : rq4800::cli::kExitBadUsage;
  }
  return exitCode;
}
