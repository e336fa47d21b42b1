#include "host/cli/commands.h"

namespace rq4800::cli {

// Not built yet.
void AddDownloadCommand(CLI::App&, int*) {}

}  // namespace rq4800::cli
