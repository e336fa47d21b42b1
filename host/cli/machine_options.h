#pragma once
// The options every command that runs the device takes (run, debug): the
// firmware files, the flash image to start from, the host time and a key
// script; and the emulator they make.
#include <CLI/CLI.hpp>

#include <memory>
#include <string>
#include <vector>

#include "host/emulator.h"
#include "host/key_script.h"

namespace rq4800::cli {

struct MachineOptions {
  std::string flashFile;  // the flash image to start from (must be usable)
  std::string keyScript;
  std::string time;       // "YYYY-MM-DD HH:MM:SS"; the real local time when empty
  std::string rom0, rom1, rom3, flashResource;
  std::string program;    // a ".bin" to download and start through the launcher
};

void AddMachineOptions(CLI::App& command, MachineOptions& options);

// The host clock the device reads at its half-second ticks, fixed so that a
// run can be repeated exactly.
class FixedClock final : public IHostClock {
 public:
  explicit FixedClock(LocalTime time) : time_(time) {}
  LocalTime Now() override { return time_; }

 private:
  LocalTime time_;
};

// Everything the options make, powered on. Null, after a message naming the
// command and the reason on standard error, when an option cannot be used:
// a key script that cannot be read or parsed, a bad time, a --flash image
// that does not fit, a --program the flash does not take. Firmware files that do not fit leave the built-in data,
// with a message.
struct PreparedMachine {
  std::unique_ptr<FixedClock> clock;
  std::unique_ptr<Emulator> emulator;
  std::vector<KeyScriptEvent> events;
  bool screenWhole = true;  // every skin picture was there
};
std::unique_ptr<PreparedMachine> PrepareMachine(const char* command, const MachineOptions& options,
                                                bool rewind = false);

}  // namespace rq4800::cli
