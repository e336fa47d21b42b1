// rq4800-cli debug: the machine as `run` builds it, driven by debugger
// commands read from standard input, one a line, answers on standard output.
#include <iostream>
#include <memory>
#include <string>

#include "debugger/debug_commands.h"
#include "host/cli/commands.h"
#include "host/cli/machine_options.h"

namespace rq4800::cli {

namespace {

int RunDebugger(const MachineOptions& options) {
  CommandLog log(false);
  const std::unique_ptr<PreparedMachine> prepared = PrepareMachine("debug", options);
  if (!prepared) return kExitBadUsage;
  Emulator& emulator = *prepared->emulator;

  auto session = std::make_unique<DebugSession>(*emulator.machine);
  session->screen = &emulator.screen;
  session->pending = prepared->events;  // frames count from the session's start
  LoadBuiltinLabels(session->debugger.symbols, emulator.resources);
  for (std::string line; !session->quit && std::getline(std::cin, line);) {
    std::cout << ExecuteDebugCommand(*session, line) << std::flush;
  }
  return kExitOk;
}

}  // namespace

void AddDebugCommand(CLI::App& app, int* exitCode) {
  auto options = std::make_shared<MachineOptions>();
  CLI::App* command = app.add_subcommand("debug", "Debug the machine with commands read from standard input");
  AddMachineOptions(*command, *options);
  command->callback([options, exitCode] { *exitCode = RunDebugger(*options); });
}

}  // namespace rq4800::cli
