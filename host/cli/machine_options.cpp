#include "host/cli/machine_options.h"

#include <cstdio>

#include "core/debug_log.h"
#include "core/file_io.h"
#include "host/cli/arguments.h"
#include "storage/download_file.h"

namespace rq4800::cli {

void AddMachineOptions(CLI::App& command, MachineOptions& options) {
  command.add_option("--flash", options.flashFile, "Start from this flash image instead of the default one");
  command.add_option("--keys", options.keyScript, "Key script: one event a line (see README)");
  command.add_option("--time", options.time, "Host clock the device sees, \"YYYY-MM-DD HH:MM:SS\"");
  command.add_option("--ROM0", options.rom0, "ROM image for 0x000000..0x3FFFFF (4 MB)");
  command.add_option("--ROM1", options.rom1, "ROM image for 0x400000..0x7FFFFF (4 MB)");
  command.add_option("--ROM3", options.rom3, "ROM image for 0xC00000..0xFFFFFF (4 MB)");
  command.add_option("--Flash", options.flashResource, "Default flash image to use in place of the built-in one");
  command.add_option("--program", options.program,
                     "Program image (.bin) to download into the flash and start from Files (see sdk/README.md)");
}

std::unique_ptr<PreparedMachine> PrepareMachine(const char* command, const MachineOptions& options, bool rewind) {
  auto prepared = std::make_unique<PreparedMachine>();
  if (!options.keyScript.empty()) {
    const FileRead file = ReadInputFile(options.keyScript, kMaxKeyScriptBytes);
    if (!file.ok()) {
      ReportProblem("%s: key script: %s; the run stops\n", command, file.error.c_str());
      return nullptr;
    }
    std::string error;
    if (!ParseKeyScript(std::string(file.bytes.begin(), file.bytes.end()), &prepared->events, &error)) {
      ReportProblem("%s: %s: %s\n", command, options.keyScript.c_str(), error.c_str());
      return nullptr;
    }
  }
  if (!options.time.empty()) {
    std::string reason;
    const std::optional<LocalTime> time = ParseHostTime(options.time, &reason);
    if (!time) {
      ReportProblem("%s: --time: %s\n", command, reason.c_str());
      return nullptr;
    }
    prepared->clock = std::make_unique<FixedClock>(*time);
  }

  // No data directory: a command never reads or writes the desktop
  // emulator's flash image file.
  prepared->emulator = std::make_unique<Emulator>(EmulatorOptions{{}, prepared->clock.get(), rewind});
  Emulator& emulator = *prepared->emulator;
  const struct {
    const char* option;
    int id;
    const std::string& path;
  } firmware[] = {
      {"--ROM0", resource::kRom0, options.rom0},
      {"--ROM1", resource::kRom1, options.rom1},
      {"--ROM3", resource::kRom3, options.rom3},
      {"--Flash", resource::kDefaultFlash, options.flashResource},
  };
  for (const auto& file : firmware) {
    std::string error;
    if (file.path.empty() || emulator.ReplaceFirmware(file.id, file.path, &error)) continue;
    ReportProblem("%s: %s: %s; the built-in data stays in use\n", command, file.option, error.c_str());
  }
  // The flash image asked for is the one the machine must start from: one
  // that cannot be used stops the run rather than quietly using another.
  std::string flashError;
  if (!options.flashFile.empty() &&
      !emulator.ReplaceFirmware(resource::kDefaultFlash, options.flashFile, &flashError)) {
    ReportProblem("%s: --flash: %s; the run stops\n", command, flashError.c_str());
    return nullptr;
  }
  prepared->screenWhole = emulator.PowerOn();
  if (!options.program.empty()) {
    const DownloadResult result = emulator.DownloadProgram(options.program);
    if (!result.Ok()) {
      ReportProblem("%s: --program: %s: %s; the run stops\n", command, options.program.c_str(),
                    DescribeDownloadResult(result).c_str());
      return nullptr;
    }
  }
  return prepared;
}

}  // namespace rq4800::cli
