// rq4800-cli download [--flash FILE] [--out FILE] PCFILE...: copies PC files
// into a flash image as the device stores them, one result line per file.
#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "core/debug_log.h"
#include "core/file_io.h"
#include "host/cli/commands.h"
#include "host/cli/flash_argument.h"
#include "machine/machine.h"
#include "machine/resource_store.h"
#include "storage/download_file.h"

namespace rq4800::cli {

namespace {

struct DownloadOptions {
  std::string flashFile;
  std::string outFile;
  std::vector<std::string> pcFiles;
  bool trace = false;
};

// A file too long for the device is still a download, refused with its
// result code; one that cannot be read at all is an unusable argument.
bool Readable(const std::string& path) {
  const FileRead file = ReadInputFile(path, kMaxPcFileBytes);
  if (file.ok() || file.status == ReadStatus::kTooLarge) return true;
  ReportProblem("download: %s\n", file.error.c_str());
  return false;
}

int RunDownload(const DownloadOptions& options) {
  if (options.flashFile.empty() && options.outFile.empty()) {
    std::fprintf(stderr, "download: --out is required when no --flash is given\n");
    return kExitBadUsage;
  }
  for (const std::string& path : options.pcFiles) {
    if (!Readable(path)) return kExitBadUsage;
  }

  CommandLog log(options.trace);
  std::vector<uint8_t> image;
  if (!ReadFlashArgument("download", options.flashFile, image)) return kExitBadUsage;
  ResourceStore resources;

  // A machine, because a ".fls" among the files replaces its whole flash.
  Machine machine(resources);
  std::memcpy(machine.bus.flash.get(), image.data(), image.size());
  machine.storage.image = machine.bus.flash.get();

  // Standard output carries one result line per file, and with --trace the
  // download's log lines before it.
  bool allStored = true;
  std::string results;  // shown once the image is written: until then nothing is stored
  for (const std::string& path : options.pcFiles) {
    DownloadResult result = DownloadFile(machine, path);
    allStored = allStored && result.Ok();
    results += path + ": " + DescribeDownloadResult(result) + "\n";
  }

  const std::string& out = options.outFile.empty() ? options.flashFile : options.outFile;
  std::string error;
  if (!WriteFileAtomically(out, std::span<const uint8_t>(machine.bus.flash.get(), image.size()), &error)) {
    ReportProblem("download: %s; nothing was saved\n", error.c_str());
    return kExitFailed;
  }
  std::fputs(results.c_str(), stdout);
  return allStored ? kExitOk : kExitFailed;
}

}  // namespace

void AddDownloadCommand(CLI::App& app, int* exitCode) {
  auto options = std::make_shared<DownloadOptions>();
  CLI::App* command = app.add_subcommand(
      "download", "Download PC files (.bin .txt .bas .ski, or a whole .fls image) into a flash image");
  command->add_option("--flash", options->flashFile, "Flash image to start from (default: the built-in default image)");
  command->add_option("--out", options->outFile, "Where to write the result (default: back into the --flash file)");
  command->add_option("PCFILE", options->pcFiles, "PC files, downloaded in this order");
  command->add_flag("--trace", options->trace, "Write the debug log (\"start c000\", ...) to standard output");
  command->callback([options, exitCode] { *exitCode = RunDownload(*options); });
}

}  // namespace rq4800::cli
