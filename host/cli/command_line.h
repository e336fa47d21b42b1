#pragma once
// The whole of rq4800-cli behind main: picks the command named by the first
// word and runs it. Returns the exit status.
namespace rq4800::cli {

int RunCommandLine(int argc, const char* const* argv);

}  // namespace rq4800::cli
