// rq4800-cli run: the emulator without a window. Powers on the machine, runs
// frames back to back, feeds it key events from a script, and writes what a
// user would have seen and heard: the frame buffer as a PNG, the sound as a
// WAV, the flash as an image file.
#include <cstdio>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "core/debug_log.h"
#include "core/file_io.h"
#include "host/cli/arguments.h"
#include "host/cli/commands.h"
#include "host/key_script.h"
#include "host/keyboard.h"
#include "host/png_writer.h"
#include "host/screen.h"
#include "machine/machine.h"
#include "machine/resource_store.h"
#include "sound/wav_file_device.h"
#include "sound/wave_output.h"

namespace rq4800::cli {

namespace {

struct RunOptions {
  int frames = 250;  // five seconds of device time
  std::string flashFile;
  std::string keyScript;
  std::string screenshot;
  std::string wav;
  std::string saveFlash;
  std::string time;
  std::string rom0, rom1, rom3, flashResource;
  bool trace = false;
};

// The host clock the device reads at its half-second ticks, fixed so that a
// run can be repeated exactly.
class FixedClock final : public IHostClock {
 public:
  explicit FixedClock(LocalTime time) : time_(time) {}
  LocalTime Now() override { return time_; }

 private:
  LocalTime time_;
};

// A firmware file given on the command line replaces the built-in one only
// when it fits; the reason it was not taken is always shown.
void ReplaceResource(ResourceStore& resources, const char* option, int id, const std::string& path, size_t size) {
  std::string error;
  if (path.empty() || resources.ReplaceFromFile(id, path, size, &error)) return;
  ReportProblem("run: %s: %s; the built-in data stays in use\n", option, error.c_str());
}

// The input state of a PC user as the script plays it: Shift stays held from
// its key-down to the next key-up.
struct ScriptPlayer {
  Machine& machine;
  Screen& screen;
  KeyState keys;
  bool shiftHeld = false;

  void Apply(const KeyScriptEvent& e) {
    using Kind = KeyScriptEvent::Kind;
    switch (e.kind) {
      case Kind::kPress:
        KeyDown(machine, keys, e.key, shiftHeld);
        if (e.key == HostKey::kShift) shiftHeld = true;
        break;
      case Kind::kPressCode:
        PressDeviceKey(machine, keys, e.keyCode);
        break;
      case Kind::kRelease:
        ReleaseKeys(machine, keys);
        shiftHeld = false;
        break;
      case Kind::kCharacter:
        Character(machine, keys, static_cast<unsigned char>(e.character));
        break;
      case Kind::kClick:
        ButtonDown(machine, keys, screen, e.x, e.y);
        break;
      case Kind::kUnclick:
        ButtonUp(machine, keys, screen);
        break;
    }
  }
};

int RunHeadless(const RunOptions& options) {
  std::vector<KeyScriptEvent> events;
  if (!options.keyScript.empty()) {
    const FileRead file = ReadInputFile(options.keyScript, kMaxKeyScriptBytes);
    if (!file.ok()) {
      ReportProblem("run: key script: %s; the run stops\n", file.error.c_str());
      return kExitBadUsage;
    }
    const std::string text(file.bytes.begin(), file.bytes.end());
    std::string error;
    if (!ParseKeyScript(text, &events, &error)) {
      std::fprintf(stderr, "run: %s: %s\n", options.keyScript.c_str(), error.c_str());
      return kExitBadUsage;
    }
  }
  std::unique_ptr<FixedClock> fixedClock;
  if (!options.time.empty()) {
    std::string reason;
    const std::optional<LocalTime> time = ParseHostTime(options.time, &reason);
    if (!time) {
      std::fprintf(stderr, "run: --time: %s\n", reason.c_str());
      return kExitBadUsage;
    }
    fixedClock = std::make_unique<FixedClock>(*time);
  }

  CommandLog log(options.trace);
  ResourceStore resources;
  ReplaceResource(resources, "--ROM0", resource::kRom0, options.rom0, resource::kRomImageSize);
  ReplaceResource(resources, "--ROM1", resource::kRom1, options.rom1, resource::kRomImageSize);
  ReplaceResource(resources, "--ROM3", resource::kRom3, options.rom3, resource::kRomImageSize);
  ReplaceResource(resources, "--Flash", resource::kDefaultFlash, options.flashResource, resource::kFlashImageSize);
  // The flash image asked for is the one the machine must start from: one
  // that cannot be used stops the run rather than quietly using another.
  std::string flashError;
  if (!options.flashFile.empty() && !resources.ReplaceFromFile(resource::kDefaultFlash, options.flashFile,
                                                               resource::kFlashImageSize, &flashError)) {
    ReportProblem("run: --flash: %s; the run stops\n", flashError.c_str());
    return kExitBadUsage;
  }

  // No data directory: the runner never reads or writes the desktop
  // emulator's flash image file.
  auto machine = std::make_unique<Machine>(resources, std::string(), fixedClock.get());
  PowerOn(*machine);
  auto screen = std::make_unique<Screen>();
  if (!SetUpScreen(*screen, resources) && !options.screenshot.empty()) {
    std::fprintf(stderr, "run: some skin pictures are missing; the screenshot shows what there is\n");
  }

  SampleRing ring;
  auto waveOutput = std::make_unique<WaveOutput>();
  std::unique_ptr<WavFileDevice> wavFile;
  if (!options.wav.empty()) {
    wavFile = std::make_unique<WavFileDevice>(options.wav);
    // An output that cannot be written: status 1, before any time is spent.
    if (!OpenWaveOutput(*waveOutput, *wavFile, ring)) {
      ReportProblem("run: --wav: %s; the run stops\n", wavFile->error().c_str());
      return kExitFailed;
    }
  }
  machine->bus.AttachRing(&ring);

  ScriptPlayer player{*machine, *screen, {}};
  size_t next = 0;
  int exitCode = kExitOk;
  for (int frame = 0; frame < options.frames; ++frame) {
    for (; next < events.size() && events[next].frame == frame; ++next) player.Apply(events[next]);
    RunFrame(*machine);
    ApplyPendingRelease(*machine, player.keys);
    // As real time would: the device plays one block of 882 samples a frame.
    if (wavFile) RefillBlock(*waveOutput);
    if (machine->faulted) {
      std::fprintf(stderr, "run: the machine stopped in frame %d on an unsupported instruction %02x at %04x\n",
                   frame, machine->faultOpcode, machine->faultAddress);
      exitCode = kExitFaulted;
      break;
    }
  }

  PaintLcd(*screen, machine->bus.Lcd());
  std::string error;
  if (!options.screenshot.empty() && !WritePng(options.screenshot, screen->frameBuffer, &error)) {
    std::fprintf(stderr, "run: cannot write the screenshot: %s\n", error.c_str());
    if (exitCode == kExitOk) exitCode = kExitFailed;
  }
  if (wavFile && !wavFile->Close()) {
    ReportProblem("run: --wav: %s\n", wavFile->error().c_str());
    if (exitCode == kExitOk) exitCode = kExitFailed;
  }
  const std::span<const uint8_t> flash(machine->bus.flash.get(), BusRQ4800::kFlashSize);
  if (!options.saveFlash.empty() && !WriteFileAtomically(options.saveFlash, flash, &error)) {
    ReportProblem("run: --save-flash: %s\n", error.c_str());
    if (exitCode == kExitOk) exitCode = kExitFailed;
  }
  return exitCode;
}

}  // namespace

void AddRunCommand(CLI::App& app, int* exitCode) {
  auto options = std::make_shared<RunOptions>();
  CLI::App* command = app.add_subcommand("run", "Run the machine without a window, without pacing");
  command->add_option("--frames", options->frames, "Frames to run, 50 per second of device time (default 250)")
      ->check(WholeNumber(1, std::numeric_limits<int>::max()));
  command->add_option("--flash", options->flashFile, "Start from this flash image instead of the default one");
  command->add_option("--keys", options->keyScript, "Key script: one event a line (see README)");
  command->add_option("--screenshot", options->screenshot, "Write the frame buffer after the last frame as PNG");
  command->add_option("--wav", options->wav, "Record the sound as a 44,100 Hz mono WAV file");
  command->add_option("--save-flash", options->saveFlash, "Write the flash contents at the end to this file");
  command->add_option("--time", options->time, "Host clock the device sees, \"YYYY-MM-DD HH:MM:SS\"");
  command->add_option("--ROM0", options->rom0, "ROM image for 0x000000..0x3FFFFF (4 MB)");
  command->add_option("--ROM1", options->rom1, "ROM image for 0x400000..0x7FFFFF (4 MB)");
  command->add_option("--ROM3", options->rom3, "ROM image for 0xC00000..0xFFFFFF (4 MB)");
  command->add_option("--Flash", options->flashResource, "Default flash image to use in place of the built-in one");
  command->add_flag("--trace", options->trace, "Write the debug log to standard output");
  command->callback([options, exitCode] { *exitCode = RunHeadless(*options); });
}

}  // namespace rq4800::cli
