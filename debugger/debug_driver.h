#pragma once
// A debugger attached to a running emulator, as a desktop debugger window
// drives it: the emulator's frames run through it (on the machine's direct
// path while nothing is set), a breakpoint, watchpoint, interrupt stop or
// fault holds them mid-frame, and the window's commands step, step over,
// step out or run on from exactly there. Frames that end during a step get
// the same end-of-frame work (key releases, frame count, rewind snapshot) as
// frames run by the schedule, so stepping through a frame's end changes
// nothing a plain run would not.
//
//   DebugDriver driver(emulator);
//   Attach(driver);                   // emulator.RunFrame now runs through it
//   ... a stop: driver.stopped, driver.stop say where and why
//   Step(driver, DebugStep::kOver);   // or RunOn(driver) to let frames run again
//   Detach(driver);                   // back to the direct path, running
#include <string>

#include "debugger/debug_commands.h"
#include "host/emulator.h"

namespace rq4800 {

enum class DebugStep { kInto, kOver, kOut };

struct DebugDriver final : IFrameRunner {
  Emulator& emulator;
  DebugSession session;  // the debugger and its command language, for edits
  bool stopped = false;
  bool userStop = false;  // stopped by the user between frames, not by the engine
  StopReason stop;

  explicit DebugDriver(Emulator& emulator) : emulator(emulator), session(*emulator.machine) {}
  Debugger& debugger() { return session.debugger; }

  bool RunFrame() override;
  bool Holding() const override { return stopped; }
  void MachineReplaced() override { session.debugger.resumeAt = -1; }
};

// Attaching changes nothing about the run; detaching lets frames run again
// at once (the rest of a stopped frame first). Breakpoints and watchpoints
// stay with the driver for the next attach.
void Attach(DebugDriver& driver);
void Detach(DebugDriver& driver);
bool Attached(const DebugDriver& driver);

// The user's stop, between frames, where the schedule stands.
void StopNow(DebugDriver& driver);
// Lets the schedule run frames again from where the machine stopped.
void RunOn(DebugDriver& driver);
// One step, step over a JSR or step out of the routine, from a stop; a goal
// not reached in a minute of device time stops at a frame's end. Returns the
// stop, which the driver keeps.
StopReason Step(DebugDriver& driver, DebugStep kind);

// The status line: "break E123 (name)", "watch 0005 w 3F at E456", "fault …",
// "step E010"; empty while running and after a stop by the user.
std::string StopText(const DebugDriver& driver);

}  // namespace rq4800
