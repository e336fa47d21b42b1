#pragma once
// The desktop program's command line, read before anything else starts (no
// window, no display needed), so that --help and refused arguments end the
// program at once:
//   rq4800 [--exit-after SECONDS] [--no-rewind] [--scale N] [--fullscreen] [--read-only] [FILE...]
// FILE arguments are PC files downloaded into the device at start, in order,
// as if dropped on the window. Exit status 0 after --help or --version, 2 for
// unknown options or unusable values.
#include <string>
#include <vector>

namespace rq4800 {

inline constexpr int kExitBadUsage = 2;

struct DesktopCommandLine {
  int exitAfterSeconds = 0;        // 0: run until the user quits
  bool rewind = true;              // --no-rewind: keep no rewind history
  int scale = 0;                   // --scale 1..4 for this run; 0: the settings' scale
  bool fullScreen = false;         // --fullscreen: start in full screen
  bool readOnly = false;           // --read-only: save nothing into the data folder
  std::vector<std::string> files;  // absolute: start-up changes the working folder
  bool stop = false;               // end the program now with exitCode
  int exitCode = 0;
  std::string output;  // for standard output (help, version)
  std::string error;   // for standard error (why the arguments were refused)
};

DesktopCommandLine ParseDesktopCommandLine(int argc, const char* const* argv, const std::string& version);

}  // namespace rq4800
