// rq4800-cli info [--flash FILE]: the flash information report of an image
// file, or of the default image the program carries.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/cli/commands.h"
#include "machine/resource_store.h"
#include "storage/flash_file_system.h"

namespace rq4800::cli {

namespace {

struct InfoOptions {
  std::string flashFile;
};

int RunInfo(const InfoOptions& options) {
  std::vector<uint8_t> image;
  if (options.flashFile.empty()) {
    ResourceStore resources;
    std::span<const uint8_t> builtin = resources.Find(resource::kDefaultFlash);
    image.assign(builtin.begin(), builtin.end());
  } else {
    std::ifstream file(options.flashFile, std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "info: cannot read %s\n", options.flashFile.c_str());
      return kExitBadUsage;
    }
    image.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  if (image.size() != resource::kFlashImageSize) {
    std::fprintf(stderr, "info: %s holds %zu bytes, a flash image holds %zu\n",
                 options.flashFile.empty() ? "the default image" : options.flashFile.c_str(), image.size(),
                 resource::kFlashImageSize);
    return kExitBadUsage;
  }
  FlashFileSystem fs;
  fs.image = image.data();
  fs.PrintInfo();
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
