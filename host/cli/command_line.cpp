#include "host/cli/command_line.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "host/cli/commands.h"

namespace rq4800::cli {

namespace {

// One line per command, name and what it does.
std::string CommandList(CLI::App& app) {
  std::string list;
  for (const CLI::App* command : app.get_subcommands({})) {
    std::string name = command->get_name();
    name.resize(std::max<size_t>(name.size() + 2, 12), ' ');
    list += "  " + name + command->get_description() + "\n";
  }
  return list;
}

CLI::App* FindCommand(CLI::App& app, const std::string& name) {
  for (CLI::App* command : app.get_subcommands({})) {
    if (command->get_name() == name) return command;
  }
  return nullptr;
}

}  // namespace

int RunCommandLine(int argc, const char* const* argv) {
  CLI::App app{"RQ4800 emulator, headless: flash tools, runner and disassembler", "rq4800-cli"};
  app.require_subcommand(1);
  app.footer("Run \"rq4800-cli help COMMAND\" (or COMMAND --help) for a command's options.");
  int exitCode = kExitOk;
  AddInfoCommand(app, &exitCode);
  AddDownloadCommand(app, &exitCode);
  AddRunCommand(app, &exitCode);
  AddDisasmCommand(app, &exitCode);
  AddDebugCommand(app, &exitCode);

  // The first word names the command. "help" is one too (as "--help" is an
  // option), with an optional command after it whose options it shows.
  const std::string first = argc > 1 ? argv[1] : "";
  if (first == "help") {
    if (argc > 3) {
      std::fprintf(stderr, "rq4800-cli: help takes one command at most\n");
      return kExitBadUsage;
    }
    CLI::App* command = argc == 3 ? FindCommand(app, argv[2]) : &app;
    if (command == nullptr) {
      std::fprintf(stderr, "rq4800-cli: no command \"%s\"; the commands are:\n%s", argv[2], CommandList(app).c_str());
      return kExitBadUsage;
    }
    std::fputs(command->help().c_str(), stdout);
    return kExitOk;
  }
  if (first.empty()) {
    std::fprintf(stderr, "rq4800-cli: name a command:\n%sRun \"rq4800-cli help COMMAND\" for its options.\n",
                 CommandList(app).c_str());
    return kExitBadUsage;
  }
  if (first[0] != '-' && FindCommand(app, first) == nullptr) {
    std::fprintf(stderr, "rq4800-cli: unknown command \"%s\"; the commands are:\n%s", first.c_str(),
                 CommandList(app).c_str());
    return kExitBadUsage;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? kExitOk : kExitBadUsage;
  }
  return exitCode;
}

}  // namespace rq4800::cli
