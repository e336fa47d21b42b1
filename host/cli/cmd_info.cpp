// rq4800-cli info [--flash FILE]: the flash information report of an image
// file, or of the default image the program carries.
#include <cstdio>
#include <string>
#include <vector>

#include "host/cli/commands.h"
#include "host/cli/flash_argument.h"
#include "machine/resource_store.h"
#include "storage/flash_file_system.h"

namespace rq4800::cli {

namespace {

struct InfoOptions {
  std::string flashFile;
};

int RunInfo(const InfoOptions& options) {
  CommandLog log(false);
  std::vector<uint8_t> image;
  if (!ReadFlashArgument("info", options.flashFile, image)) return kExitBadUsage;
  FlashFileSystem fs;
  fs.image = image.data();
  // The report is this command's output, not log: written whatever the log's setting.
  const std::string report = fs.FlashInfoReport();
  std::fwrite(report.data(), 1, report.size(), stdout);
  return kExitOk;
}

}  // namespace

void AddInfoCommand(CLI::App& app, int* exitCode) {
  auto options = std::make_shared<InfoOptions>();
  CLI::App* command = app.add_subcommand("info", "Print the flash information report of a flash image");
  command->add_option("--flash", options->flashFile, "Flash image file (default: the built-in default image)");
  command->callback([options, exitCode] { *exitCode = RunInfo(*options); });
}

}  // namespace rq4800::cli
