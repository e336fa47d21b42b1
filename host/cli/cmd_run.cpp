// rq4800-cli run: the emulator without a window. Powers on the machine (or
// takes a saved state), runs frames back to back, feeds it key events from a
// script, and writes what a user would have seen and heard: the frame buffer
// as a PNG, the sound as a WAV, the flash as an image file, the state.
#include <cstdio>
#include <limits>
#include <memory>
#include <span>
#include <string>

#include "core/debug_log.h"
#include "core/file_io.h"
#include "host/cli/arguments.h"
#include "host/cli/commands.h"
#include "host/cli/machine_options.h"
#include "host/png_writer.h"
#include "sound/wav_file_device.h"

namespace rq4800::cli {

namespace {

struct RunOptions {
  MachineOptions machine;
  int frames = 250;  // five seconds of device time
  std::string screenshot;
  std::string wav;
  std::string saveFlash;
  std::string saveState;
  std::string loadState;
  bool trace = false;
};

int RunHeadless(const RunOptions& options) {
  CommandLog log(options.trace);
  const std::unique_ptr<PreparedMachine> prepared = PrepareMachine("run", options.machine);
  if (!prepared) return kExitBadUsage;
  Emulator& emulator = *prepared->emulator;
  if (!prepared->screenWhole && !options.screenshot.empty()) {
    std::fprintf(stderr, "run: some skin pictures are missing; the screenshot shows what there is\n");
  }

  // The output opens first: it gives the ring the storage a loaded state's
  // waiting samples go into, after the silence an opening output queues.
  std::unique_ptr<WavFileDevice> wavFile;
  if (!options.wav.empty()) {
    wavFile = std::make_unique<WavFileDevice>(options.wav);
    // An output that cannot be written: status 1, before any time is spent.
    if (!emulator.OpenSound(*wavFile)) {
      ReportProblem("run: --wav: %s; the run stops\n", wavFile->error().c_str());
      return kExitFailed;
    }
  }
  std::string error;
  if (!options.loadState.empty() && !emulator.LoadStateFile(options.loadState, &error)) {
    ReportProblem("run: --load-state: %s; the run stops\n", error.c_str());
    return kExitBadUsage;
  }

  const std::vector<KeyScriptEvent>& events = prepared->events;
  Machine& machine = *emulator.machine;
  size_t next = 0;
  int exitCode = kExitOk;
  for (int frame = 0; frame < options.frames; ++frame) {
    for (; next < events.size() && events[next].frame == frame; ++next) emulator.Apply(events[next]);
    emulator.RunFrame();
    // As real time would: the device plays one block of 882 samples a frame.
    emulator.PlayFrameOfSound();
    if (machine.faulted) {
      std::fprintf(stderr, "run: the machine stopped in frame %d on an unsupported instruction %02x at %04x\n",
                   frame, machine.faultOpcode, machine.faultAddress);
      exitCode = kExitFaulted;
      break;
    }
  }

  auto failed = [&exitCode](const char* option, const std::string& reason) {
    ReportProblem("run: %s: %s\n", option, reason.c_str());
    if (exitCode == kExitOk) exitCode = kExitFailed;
  };
  emulator.Paint();
  if (!options.screenshot.empty() && !WritePng(options.screenshot, emulator.screen.frameBuffer, &error)) {
    failed("--screenshot", error);
  }
  if (wavFile && !wavFile->Close()) failed("--wav", wavFile->error());
  const std::span<const uint8_t> flash(machine.bus.flash.get(), BusRQ4800::kFlashSize);
  if (!options.saveFlash.empty() && !WriteFileAtomically(options.saveFlash, flash, &error)) {
    failed("--save-flash", error);
  }
  if (!options.saveState.empty() && !emulator.SaveStateFile(options.saveState, &error)) {
    failed("--save-state", error);
  }
  return exitCode;
}

}  // namespace

void AddRunCommand(CLI::App& app, int* exitCode) {
  auto options = std::make_shared<RunOptions>();
  CLI::App* command = app.add_subcommand("run", "Run the machine without a window, without pacing");
  command->add_option("--frames", options->frames, "Frames to run, 50 per second of device time (default 250)")
      ->check(WholeNumber(1, std::numeric_limits<int>::max()));
  AddMachineOptions(*command, options->machine);
  command->add_option("--screenshot", options->screenshot, "Write the frame buffer after the last frame as PNG");
  command->add_option("--wav", options->wav, "Record the sound as a 44,100 Hz mono WAV file");
  command->add_option("--save-flash", options->saveFlash, "Write the flash contents at the end to this file");
  command->add_option("--save-state", options->saveState, "Write the machine's state after the last frame");
  command->add_option("--load-state", options->loadState, "Start from this saved state instead of power-on");
  command->add_flag("--trace", options->trace, "Write the debug log to standard output");
  command->callback([options, exitCode] { *exitCode = RunHeadless(*options); });
}

}  // namespace rq4800::cli
