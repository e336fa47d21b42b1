#include "host/cli/commands.h"

namespace rq4800::cli {

// Not built yet.
void AddInfoCommand(CLI::App&, int*) {}

}  // namespace rq4800::cli
