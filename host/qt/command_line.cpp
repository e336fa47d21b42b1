#include "host/qt/command_line.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <sstream>
#include <system_error>

namespace rq4800 {

namespace {

// Long enough for any benchmark, short enough that the timer's milliseconds
// fit its int.
constexpr int kMaxExitAfterSeconds = 1'000'000;

}  // namespace

DesktopCommandLine ParseDesktopCommandLine(int argc, const char* const* argv, const std::string& version) {
  DesktopCommandLine result;
  CLI::App app{"RQ4800 emulator: the device in a window, with its keyboard, sound and flash."};
  app.name("rq4800");
  app.set_version_flag("--version", version);
  app.add_option("--exit-after", result.exitAfterSeconds,
                 "quit after SECONDS without asking and print the frames run (for bench/cpu_use.sh); "
                 "the flash is not saved")
      ->check(CLI::Range(1, kMaxExitAfterSeconds))
      ->type_name("SECONDS");
  bool noRewind = false;
  app.add_flag("--no-rewind", noRewind,
               "keep no rewind history (Backspace then rewinds nothing); saves its share of CPU time and memory");
  app.add_option("--scale", result.scale, "show the picture N times its size (1..4) for this run")
      ->check(CLI::Range(1, 4))
      ->type_name("N");
  app.add_flag("--fullscreen", result.fullScreen, "start in full screen (F11 leaves it, F10 shows the menu bar)");
  app.add_flag("--read-only", result.readOnly,
               "save nothing into the data folder (flash image, states, settings), as a second program on it does");
  app.add_option("FILE", result.files,
                 "PC files (.bin .txt .bas .ski, or a whole .fls image) downloaded into the device at start, "
                 "in order; the results show in the status bar")
      ->type_name("");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    std::ostringstream out, err;
    const int code = app.exit(e, out, err);
    result.stop = true;
    result.exitCode = code == 0 ? 0 : kExitBadUsage;
    result.output = out.str();
    result.error = err.str();
    return result;
  }
  result.rewind = !noRewind;
  for (std::string& file : result.files) {
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(file, ignored);
    if (!absolute.empty()) file = absolute.lexically_normal().string();
  }
  return result;
}

}  // namespace rq4800
