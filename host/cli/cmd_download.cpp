// rq4800-cli download [--flash FILE] [--out FILE] PCFILE...: copies PC files
// into a flash image as the device stores them, one result line per file.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/debug_log.h"
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

bool Readable(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return static_cast<bool>(file);
}

int RunDownload(const DownloadOptions& options) {
  if (options.flashFile.empty() && options.outFile.empty()) {
    std::fprintf(stderr, "download: --out is required when no --flash is given\n");
    return kExitBadUsage;
  }
  for (const std::string& path : options.pcFiles) {
    if (!Readable(path)) {
      std::fprintf(stderr, "download: cannot read %s\n", path.c_str());
      return kExitBadUsage;
    }
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
  for (const std::string& path : options.pcFiles) {
    DownloadResult result = DownloadFile(machine, path);
    allStored = allStored && result.Ok();
    if (result.Ok()) {
      std::printf("%s: %s\n", path.c_str(), result.message);
    } else {
      std::printf("%s: %s (%d)\n", path.c_str(), result.message, result.code);
    }
    std::fflush(stdout);  // the log writes around the stream's buffer
  }

  // Through a temporary file, so a failed write never leaves the user's
  // image half written.
  const std::string& out = options.outFile.empty() ? options.flashFile : options.outFile;
  const std::string temporary = out + ".new";
  FILE* file = std::fopen(temporary.c_str(), "wb");
  bool written = file && std::fwrite(machine.bus.flash.get(), 1, image.size(), file) == image.size();
  if (file) written = std::fclose(file) == 0 && written;
  written = written && std::rename(temporary.c_str(), out.c_str()) == 0;
  if (!written) {
    std::remove(temporary.c_str());
    std::fprintf(stderr, "download: cannot write %s\n", out.c_str());
    return kExitBadUsage;
  }
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
