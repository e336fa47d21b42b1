#include "host/cli/commands.h"

namespace rq4800::cli {

// Not built yet.
void AddRunCommand(CLI::App&, int*) {}

}  // namespace rq4800::cli
