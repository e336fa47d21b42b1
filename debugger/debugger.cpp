#include "debugger/debugger.h"

#include <cstdio>

#include "core/cpu6502_checked.h"
#include "debugger/peek.h"

namespace rq4800 {

namespace {

constexpr int kNmiVector = 0xFFFA;
constexpr int kIrqVector = 0xFFFE;
constexpr int kOpBrk = 0x00, kOpJsr = 0x20, kOpRti = 0x40, kOpRts = 0x60;

// The machine's bus with the watchpoints looked at after every access. It
// also notes a read of the IRQ or NMI vector, which is how an interrupt
// entry inside an instruction (CLI, RTI) shows.
struct CheckingBus final : IBus6502 {
  BusRQ4800& inner;
  const std::vector<Watchpoint>& watches;
  bool hit = false;
  int hitAddress = 0, hitValue = 0;
  bool hitWrite = false;
  int vectorRead = -1;

  CheckingBus(BusRQ4800& inner, const std::vector<Watchpoint>& watches) : inner(inner), watches(watches) {}

  int Read(int address) override {
    const int value = inner.Read(address);
    Note(address, value & 0xFF, false);
    return value;
  }
  void Write(int address, int value) override {
    inner.Write(address, value);
    Note(address, value & 0xFF, true);
  }
  void Note(int address, int value, bool write) {
    if (!write && (address == kNmiVector || address == kIrqVector)) vectorRead = address;
    if (hit) return;  // the first access of the instruction is the one reported
    const int kind = write ? kWatchWrite : kWatchRead;
    for (const Watchpoint& w : watches) {
      if (address >= w.start && address <= w.end && (w.access & kind)) {
        hit = true;
        hitAddress = address;
        hitValue = value;
        hitWrite = write;
        return;
      }
    }
  }
};

void WriteTraceLine(Debugger& d, const Cpu6502& c) {
  TraceLog& t = d.trace;
  if (!t.file) return;
  if (t.linesLeft <= 0) {
    StopTrace(d);
    return;
  }
  PeekBus peek(d.machine);
  char line[kDisassemblyLineSize];
  const int pc = static_cast<int>(c.PC);
  const int length = DisassembleOne(peek, pc, line);
  char bytes[12] = "";
  for (int i = 0, n = 0; i < (length ? length : 1); ++i) {
    n += std::snprintf(bytes + n, sizeof bytes - static_cast<size_t>(n), "%02X ", peek.Read((pc + i) & 0xFFFF));
  }
  const char* text = length ? line + 6 : "???";  // past "%04X: "
  const int64_t cycle = int64_t{d.machine.frame.slice} * 128 + c.cycles / Cpu6502::kUnitsPerCycle;
  std::fprintf(t.file, "%04X  %-9s %-14s A:%02X X:%02X Y:%02X P:%02X SP:%02X  CYC:%lld\n", static_cast<unsigned>(pc),
               bytes, text, static_cast<unsigned>(c.A), static_cast<unsigned>(c.X), static_cast<unsigned>(c.Y),
               static_cast<unsigned>(c.P), static_cast<unsigned>(c.SP), static_cast<long long>(cycle));
  if (--t.linesLeft == 0) StopTrace(d);
}

struct Hooks {
  Debugger& d;
  CheckingBus& bus;
  const RunGoal& goal;
  bool first = true;
  int64_t instructions = 0;
  int instructionPc = 0;
  StopReason stop;

  bool Before(Cpu6502& c) {
    const int pc = static_cast<int>(c.PC);
    instructionPc = pc;
    bus.vectorRead = -1;
    const bool resuming = first && pc == d.resumeAt;
    first = false;
    if (!resuming) {
      if (pc == goal.stopAt && static_cast<int>(c.SP) >= goal.stopAtStackAbove) {
        stop = {StopKind::kStep, pc};
        return true;
      }
      for (const Breakpoint& b : d.breakpoints) {
        if (b.address == pc && (b.bank < 0 || BankAt(d.machine, pc) == b.bank)) {
          stop = {StopKind::kBreak, pc};
          return true;
        }
      }
    }
    WriteTraceLine(d, c);
    return false;
  }

  bool After(Cpu6502& c, int opcode, bool nmi) {
    ++instructions;
    if (bus.hit) {
      bus.hit = false;
      stop = {StopKind::kWatch, bus.hitAddress, bus.hitValue, instructionPc, bus.hitWrite};
      return true;
    }
    if (nmi && d.stopOnNmi) {
      stop = {StopKind::kNmi, static_cast<int>(c.PC)};
      return true;
    }
    if (bus.vectorRead == kIrqVector && opcode != kOpBrk && d.stopOnIrq) {
      stop = {StopKind::kIrq, static_cast<int>(c.PC)};
      return true;
    }
    if (goal.returnAbove >= 0 && (opcode == kOpRts || opcode == kOpRti) &&
        static_cast<int>(c.SP) > goal.returnAbove) {
      stop = {StopKind::kStep, static_cast<int>(c.PC)};
      return true;
    }
    if (goal.instructions >= 0 && instructions >= goal.instructions) {
      stop = {StopKind::kStep, static_cast<int>(c.PC)};
      return true;
    }
    return false;
  }

  bool Irq(Cpu6502& c) {
    if (bus.hit) {
      bus.hit = false;
      stop = {StopKind::kWatch, bus.hitAddress, bus.hitValue, static_cast<int>(c.PC), bus.hitWrite};
      return true;
    }
    if (!d.stopOnIrq) return false;
    stop = {StopKind::kIrq, static_cast<int>(c.PC)};
    return true;
  }
};

bool NeedsChecks(const Debugger& d, const RunGoal& goal) {
  return !d.breakpoints.empty() || !d.watchpoints.empty() || d.stopOnIrq || d.stopOnNmi || d.trace.file ||
         goal.instructions >= 0 || goal.stopAt >= 0 || goal.returnAbove >= 0;
}

StopReason FaultStop(const Machine& m) { return {StopKind::kFault, m.faultAddress, m.faultOpcode}; }

// Whole frames on the machine's direct path: nothing can stop them but a fault.
StopReason RunFrames(Machine& m, int64_t frames) {
  for (int64_t n = 0; n < frames; ++n) {
    RunFrame(m);
    if (m.faulted) return FaultStop(m);
  }
  return {StopKind::kFrames, static_cast<int>(frames)};
}

}  // namespace

bool AddressIsBanked(int address) { return address >= 0x4000 && address < 0xE000; }

int BankAt(const Machine& machine, int address) {
  if (address >= 0x4000 && address < 0xC000) return static_cast<int>(machine.bus.ports[0x00] & 0xFF);
  if (address >= 0xC000 && address < 0xE000) return static_cast<int>(machine.bus.ports[0x0A] & 0x0F);
  return -1;
}

Debugger::~Debugger() { StopTrace(*this); }

namespace {

StopReason RunChecked(Debugger& d, const RunGoal& goal) {
  Machine& m = d.machine;
  if (m.faulted) return FaultStop(m);
  if (!NeedsChecks(d, goal)) return RunFrames(m, goal.frames);

  CheckingBus bus(m.bus, d.watchpoints);
  Cpu6502 cpu(bus);
  Hooks hooks{d, bus, goal, true, 0, 0, StopReason{}};
  int64_t frames = 0;
  for (;;) {
    if (AtFrameStart(m)) {
      if (goal.frames >= 0 && frames >= goal.frames) return {StopKind::kFrames, static_cast<int>(frames)};
      if (!BeginFrame(m)) return FaultStop(m);
    }
    CopyProcessorState(m.cpu, cpu);
    bool complete = false;
    try {
      complete = RunSliceChecked<CheckingBus>(cpu, !m.frame.inSlice, hooks);
    } catch (const UnsupportedInstruction& fault) {
      CopyProcessorState(cpu, m.cpu);
      RecordFault(m, fault);
      return FaultStop(m);
    }
    CopyProcessorState(cpu, m.cpu);
    if (!complete) {
      m.frame.inSlice = true;
      return hooks.stop;
    }
    const uint32_t pc = m.cpu.PC;
    if (EndSlice(m)) ++frames;
    // A timer IRQ raised while I is clear is entered at once, between slices.
    if (d.stopOnIrq && m.cpu.PC != pc) return {StopKind::kIrq, static_cast<int>(m.cpu.PC)};
  }
}

}  // namespace

StopReason Run(Debugger& d, const RunGoal& goal) {
  const StopReason stop = RunChecked(d, goal);
  d.resumeAt = stop.kind == StopKind::kFrames ? -1 : static_cast<int>(d.machine.cpu.PC);
  return stop;
}

StopReason Continue(Debugger& d, int64_t frames) {
  RunGoal goal;
  goal.frames = frames;
  return Run(d, goal);
}

StopReason StepInstructions(Debugger& d, int64_t count) {
  RunGoal goal;
  goal.instructions = count;
  return Run(d, goal);
}

RunGoal StepOverGoal(const Debugger& d) {
  PeekBus peek(d.machine);
  const int pc = static_cast<int>(d.machine.cpu.PC);
  RunGoal goal;
  if (peek.Read(pc) != kOpJsr) {
    goal.instructions = 1;
    return goal;
  }
  goal.stopAt = (pc + 3) & 0xFFFF;
  // The same address reached inside a deeper call (recursion) is not the return.
  goal.stopAtStackAbove = static_cast<int>(d.machine.cpu.SP);
  return goal;
}

RunGoal StepOutGoal(const Debugger& d) {
  RunGoal goal;
  goal.returnAbove = static_cast<int>(d.machine.cpu.SP);
  return goal;
}

StopReason StepOver(Debugger& d) {
  RunGoal goal = StepOverGoal(d);
  if (goal.stopAt >= 0) goal.frames = kStepFrameLimit;
  return Run(d, goal);
}

StopReason StepOut(Debugger& d) {
  RunGoal goal = StepOutGoal(d);
  goal.frames = kStepFrameLimit;
  return Run(d, goal);
}

StopReason RunTo(Debugger& d, int address, int64_t frames) {
  RunGoal goal;
  goal.frames = frames;
  goal.stopAt = address;
  return Run(d, goal);
}

bool StartTrace(Debugger& d, const std::string& path, int64_t lines, std::string* error) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (!file) {
    *error = "cannot write " + path;
    return false;
  }
  StopTrace(d);
  d.trace.file = file;
  d.trace.linesLeft = lines;
  return true;
}

void StopTrace(Debugger& d) {
  if (d.trace.file) std::fclose(d.trace.file);
  d.trace = TraceLog{};
}

std::string DescribeStop(const Debugger& d, const StopReason& stop) {
  char text[96];
  auto named = [&](int address) {
    const std::string label = LabelFor(d.symbols, address);
    return label.empty() ? std::string() : " (" + label + ")";
  };
  switch (stop.kind) {
    case StopKind::kBreak:
      std::snprintf(text, sizeof text, "break %04X", static_cast<unsigned>(stop.address));
      return text + named(stop.address);
    case StopKind::kWatch:
      std::snprintf(text, sizeof text, "watch %04X %c %02X at %04X", static_cast<unsigned>(stop.address),
                    stop.write ? 'w' : 'r', static_cast<unsigned>(stop.value), static_cast<unsigned>(stop.pc));
      return text + named(stop.pc);
    case StopKind::kFault:
      std::snprintf(text, sizeof text, "fault unsupported instruction %02X at %04X", static_cast<unsigned>(stop.value),
                    static_cast<unsigned>(stop.address));
      return text + named(stop.address);
    case StopKind::kIrq:
    case StopKind::kNmi:
      std::snprintf(text, sizeof text, "%s %04X", stop.kind == StopKind::kIrq ? "irq" : "nmi",
                    static_cast<unsigned>(stop.address));
      return text + named(stop.address);
    case StopKind::kFrames:
      return "frames " + std::to_string(stop.address);
    case StopKind::kStep:
      std::snprintf(text, sizeof text, "step %04X", static_cast<unsigned>(stop.address));
      return text + named(stop.address);
    case StopKind::kNone:
      break;
  }
  return "running";
}

}  // namespace rq4800
