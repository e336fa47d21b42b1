#pragma once
// The live debugger's engine: breakpoints, watchpoints and the run loop that
// stops on them at an instruction boundary, anywhere in a frame.
//
// With nothing set, Continue runs whole frames through RunFrame, the
// machine's direct-bus path. With a breakpoint, watchpoint, interrupt stop or
// step goal it runs the processor on CheckingBus, a separate instantiation
// of the same instruction code, so the checks cost nothing when unused.
// Either way the machine goes through the same accesses in the same order:
// a run stopped and resumed any number of times ends as one that never was.
#include <cstdint>
#include <string>
#include <vector>

#include "debugger/symbols.h"
#include "machine/machine.h"

namespace rq4800 {

struct Breakpoint {
  int address = 0;
  int bank = -1;  // -1: any; else only while this page is in the address's window
};

enum WatchAccess : int { kWatchRead = 1, kWatchWrite = 2, kWatchBoth = 3 };

struct Watchpoint {
  int start = 0, end = 0;  // inclusive, 0..0xFFFF (0x00..0x3F are the I/O ports)
  int access = kWatchBoth;
};

enum class StopKind {
  kNone,        // still running (internal)
  kBreak,       // before the instruction at address
  kWatch,       // after the instruction at pc accessed address (value, write)
  kFault,       // unsupported instruction value at address
  kIrq,         // IRQ entered; address is the handler
  kNmi,         // NMI entered; address is the handler
  kStep,        // the step, next, finish or run-to goal was reached
  kFrames,      // the frames asked for have run
};

struct StopReason {
  StopKind kind = StopKind::kNone;
  int address = 0;
  int value = 0;
  int pc = 0;
  bool write = false;
};

// A trace of executed instructions, one line each, written while lines remain.
struct TraceLog {
  std::FILE* file = nullptr;  // owned while open
  int64_t linesLeft = 0;
};

struct Debugger {
  Machine& machine;
  std::vector<Breakpoint> breakpoints;
  std::vector<Watchpoint> watchpoints;
  bool stopOnIrq = false;
  bool stopOnNmi = false;
  SymbolTable symbols;
  TraceLog trace;
  // The PC of the last stop: its breakpoint has been reported, so the next
  // run executes that instruction instead of stopping there again.
  int resumeAt = -1;

  explicit Debugger(Machine& machine) : machine(machine) {}
  ~Debugger();
  Debugger(const Debugger&) = delete;
  Debugger& operator=(const Debugger&) = delete;
};

// What a run is after, besides the breakpoints and watchpoints.
struct RunGoal {
  int64_t frames = -1;        // stop at the end of this many frame ends (-1: no limit)
  int64_t instructions = -1;  // stop after this many instructions (-1: no limit)
  int stopAt = -1;            // stop before the instruction at this address (-1: none)
  int stopAtStackAbove = -1;  // ...only when SP is at least this (a step over a JSR)
  int returnAbove = -1;       // stop after an RTS or RTI leaves SP above this (step out)
};

// The window number and the page it shows for a banked address: windows 2..5
// (0x4000..0xBFFF) show page BANK (port 0x00), window 6 (0xC000..0xDFFF)
// page BSW (port 0x0A bits 0..3). Other addresses have no bank: -1.
int BankAt(const Machine& machine, int address);
bool AddressIsBanked(int address);

// Runs until a stop or the goal. With no goal and nothing set it runs
// forever: callers give frames.
StopReason Run(Debugger& debugger, const RunGoal& goal);

StopReason Continue(Debugger& debugger, int64_t frames);
StopReason StepInstructions(Debugger& debugger, int64_t count);
StopReason StepOver(Debugger& debugger);  // a JSR runs to its return; anything else is one step
StopReason StepOut(Debugger& debugger);   // to the instruction after the caller's JSR
StopReason RunTo(Debugger& debugger, int address, int64_t frames);

// Stepping over or out of a routine that never comes back ends after a
// minute of device time rather than hanging the debugger.
constexpr int64_t kStepFrameLimit = 3000;

// The goals of StepOver and StepOut from where the machine stands, for a
// front end that runs them a frame at a time (frames is left to it).
RunGoal StepOverGoal(const Debugger& debugger);
RunGoal StepOutGoal(const Debugger& debugger);

// Starts a trace into path of at most lines lines (replacing one running);
// false with the reason when the file cannot be made.
bool StartTrace(Debugger& debugger, const std::string& path, int64_t lines, std::string* error);
void StopTrace(Debugger& debugger);

// "break C012 (.main)", "watch 0010 w 5A at E003", ... as the stop texts read.
std::string DescribeStop(const Debugger& debugger, const StopReason& stop);

}  // namespace rq4800
