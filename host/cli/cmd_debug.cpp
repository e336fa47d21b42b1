// rq4800-cli debug: the machine as `run` builds it, driven by debugger
// commands read from standard input, one a line, answers on standard output.
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "debugger/debug_commands.h"
#include "host/cli/arguments.h"
#include "host/cli/commands.h"
#include "host/screen.h"
#include "machine/machine.h"
#include "machine/resource_store.h"

namespace rq4800::cli {

namespace {

struct DebugOptions {
  std::string flashFile;
  std::string time;
  std::string rom0, rom1, rom3, flashResource;
  std::string keyScript;
};

class FixedClock final : public IHostClock {
 public:
  explicit FixedClock(LocalTime time) : time_(time) {}
  LocalTime Now() override { return time_; }

 private:
  LocalTime time_;
};

bool TakeResource(ResourceStore& resources, const char* option, int id, const std::string& path, size_t size) {
  std::string error;
  if (path.empty() || resources.ReplaceFromFile(id, path, size, &error)) return true;
  std::fprintf(stderr, "debug: %s: %s\n", option, error.c_str());
  return false;
}

int RunDebugger(const DebugOptions& options) {
  std::unique_ptr<FixedClock> fixedClock;
  if (!options.time.empty()) {
    std::string reason;
    const std::optional<LocalTime> time = ParseHostTime(options.time, &reason);
    if (!time) {
      std::fprintf(stderr, "debug: --time: %s\n", reason.c_str());
      return kExitBadUsage;
    }
    fixedClock = std::make_unique<FixedClock>(*time);
  }
  CommandLog log(false);
  ResourceStore resources;
  // A debugging session must run what was asked for: any file that cannot
  // be used ends it before it starts.
  if (!TakeResource(resources, "--ROM0", resource::kRom0, options.rom0, resource::kRomImageSize) ||
      !TakeResource(resources, "--ROM1", resource::kRom1, options.rom1, resource::kRomImageSize) ||
      !TakeResource(resources, "--ROM3", resource::kRom3, options.rom3, resource::kRomImageSize) ||
      !TakeResource(resources, "--Flash", resource::kDefaultFlash, options.flashResource,
                    resource::kFlashImageSize) ||
      !TakeResource(resources, "--flash", resource::kDefaultFlash, options.flashFile, resource::kFlashImageSize)) {
    return kExitBadUsage;
  }
  auto machine = std::make_unique<Machine>(resources, std::string(), fixedClock.get());
  PowerOn(*machine);
  auto screen = std::make_unique<Screen>();
  SetUpScreen(*screen, resources);

  auto session = std::make_unique<DebugSession>(*machine);
  session->screen = screen.get();
  LoadBuiltinLabels(session->debugger.symbols, resources);
  if (!options.keyScript.empty()) {
    const std::string answer = ExecuteDebugCommand(*session, "key-file " + options.keyScript);
    if (answer.starts_with("error")) {
      std::fprintf(stderr, "debug: --keys: %s", answer.c_str() + 7);
      return kExitBadUsage;
    }
  }
  for (std::string line; !session->quit && std::getline(std::cin, line);) {
    std::cout << ExecuteDebugCommand(*session, line) << std::flush;
  }
  return kExitOk;
}

}  // namespace

void AddDebugCommand(CLI::App& app, int* exitCode) {
  auto options = std::make_shared<DebugOptions>();
  CLI::App* command = app.add_subcommand("debug", "Debug the machine with commands read from standard input");
  command->add_option("--flash", options->flashFile, "Start from this flash image instead of the default one");
  command->add_option("--keys", options->keyScript, "Key script played from the session's first frame");
  command->add_option("--time", options->time, "Host clock the device sees, \"YYYY-MM-DD HH:MM:SS\"");
  command->add_option("--ROM0", options->rom0, "ROM image for 0x000000..0x3FFFFF (4 MB)");
  command->add_option("--ROM1", options->rom1, "ROM image for 0x400000..0x7FFFFF (4 MB)");
  command->add_option("--ROM3", options->rom3, "ROM image for 0xC00000..0xFFFFFF (4 MB)");
  command->add_option("--Flash", options->flashResource, "Default flash image to use in place of the built-in one");
  command->callback([options, exitCode] { *exitCode = RunDebugger(*options); });
}

}  // namespace rq4800::cli
