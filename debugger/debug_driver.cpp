#include "debugger/debug_driver.h"

namespace rq4800 {

namespace {

void Hold(DebugDriver& dd, const StopReason& stop) {
  dd.stopped = true;
  dd.userStop = false;
  dd.stop = stop;
}

}  // namespace

bool DebugDriver::RunFrame() {
  RunGoal goal;
  goal.frames = 1;
  const StopReason result = Run(session.debugger, goal);
  if (result.kind == StopKind::kFrames) return true;
  Hold(*this, result);
  return false;
}

void Attach(DebugDriver& dd) {
  // A stop left from an earlier attach says nothing about where the machine
  // is now.
  dd.debugger().resumeAt = -1;
  dd.stopped = false;
  dd.emulator.frameRunner = &dd;
}

void Detach(DebugDriver& dd) {
  if (dd.emulator.frameRunner == &dd) dd.emulator.frameRunner = nullptr;
  dd.stopped = false;
}

bool Attached(const DebugDriver& dd) { return dd.emulator.frameRunner == &dd; }

void StopNow(DebugDriver& dd) {
  if (dd.stopped) return;
  // A rewind under way would otherwise go on stepping back under the stop.
  if (dd.emulator.rewinding) dd.emulator.StopRewind();
  dd.stopped = true;
  dd.userStop = true;
  dd.stop = StopReason{StopKind::kNone, static_cast<int>(dd.emulator.machine->cpu.PC)};
  // As after any stop, running on first executes the instruction at PC, even
  // when a breakpoint is set there while stopped.
  dd.debugger().resumeAt = dd.stop.address;
}

void RunOn(DebugDriver& dd) {
  dd.stopped = false;
  dd.userStop = false;
  RestartPacing(dd.emulator.pacing);
}

StopReason Step(DebugDriver& dd, DebugStep kind) {
  Debugger& d = dd.debugger();
  RunGoal goal;
  switch (kind) {
    case DebugStep::kInto: goal.instructions = 1; break;
    case DebugStep::kOver: goal = StepOverGoal(d); break;
    case DebugStep::kOut: goal = StepOutGoal(d); break;
  }
  // A frame at a time, so that each frame's end gets its work.
  goal.frames = 1;
  StopReason result;
  for (int64_t frames = 0; frames < kStepFrameLimit;) {
    if (dd.emulator.machine->faulted) {
      result = {StopKind::kFault, dd.emulator.machine->faultAddress, dd.emulator.machine->faultOpcode};
      break;
    }
    result = Run(d, goal);
    if (result.kind != StopKind::kFrames) break;
    dd.emulator.FinishFrame();
    result = {StopKind::kFrames, static_cast<int>(++frames)};
  }
  Hold(dd, result);
  return result;
}

std::string StopText(const DebugDriver& dd) {
  if (!dd.stopped || dd.userStop) return {};
  return DescribeStop(dd.session.debugger, dd.stop);
}

}  // namespace rq4800
