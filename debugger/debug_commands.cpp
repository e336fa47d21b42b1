#include "debugger/debug_commands.h"

#include "core/file_io.h"
#include "debugger/command_context.h"
#include "host/png_writer.h"
#include "host/screen.h"

namespace rq4800 {

namespace debug_command {
namespace {

std::string SetBreak(Context& c) {
  c.Arguments(1, 2);
  Breakpoint b{c.Address(c.w[1]), -1};
  if (c.w.size() > 2) {
    if (!AddressIsBanked(b.address)) {
      throw Failure{Hex(b.address, 4) + " lies in a window that always shows the same memory; no bank applies"};
    }
    b.bank = c.Byte(c.w[2]);
  }
  auto& list = c.d.breakpoints;
  std::erase_if(list, [&](const Breakpoint& o) { return o.address == b.address && o.bank == b.bank; });
  list.push_back(b);
  return "breakpoint " + Hex(b.address, 4) + (b.bank >= 0 ? " bank " + Hex(b.bank, 2) : "") + "\n";
}

std::string DeleteBreak(Context& c) {
  c.Arguments(1, 1);
  const int address = c.Address(c.w[1]);
  const size_t removed = std::erase_if(c.d.breakpoints, [&](const Breakpoint& b) { return b.address == address; });
  if (removed == 0) throw Failure{"no breakpoint at " + Hex(address, 4)};
  return "deleted breakpoint " + Hex(address, 4) + "\n";
}

std::string SetWatch(Context& c) {
  c.Arguments(2, 2);
  const std::string_view range = c.w[1];
  const size_t dash = range.find('-');
  Watchpoint w;
  w.start = c.Address(range.substr(0, dash));
  w.end = dash == std::string_view::npos ? w.start : c.Address(range.substr(dash + 1));
  if (w.end < w.start) throw Failure{"the range ends before it starts"};
  const std::string_view kind = c.w[2];
  w.access = kind == "r" ? kWatchRead : kind == "w" ? kWatchWrite : kind == "rw" ? kWatchBoth : 0;
  if (w.access == 0) throw Failure{"expected r, w or rw, not \"" + std::string(kind) + "\""};
  std::erase_if(c.d.watchpoints, [&](const Watchpoint& o) { return o.start == w.start; });
  c.d.watchpoints.push_back(w);
  return "watchpoint " + Hex(w.start, 4) + "-" + Hex(w.end, 4) + " " + std::string(kind) + "\n";
}

std::string DeleteWatch(Context& c) {
  c.Arguments(1, 1);
  const int start = c.Address(c.w[1]);
  if (std::erase_if(c.d.watchpoints, [&](const Watchpoint& w) { return w.start == start; }) == 0) {
    throw Failure{"no watchpoint starts at " + Hex(start, 4)};
  }
  return "deleted watchpoint " + Hex(start, 4) + "\n";
}

void PlayKey(DebugSession& s, const KeyScriptEvent& e) {
  Machine& m = s.debugger.machine;
  using Kind = KeyScriptEvent::Kind;
  switch (e.kind) {
    case Kind::kPress:
      KeyDown(m, m.keys, e.key, s.shiftHeld);
      if (e.key == HostKey::kShift) s.shiftHeld = true;
      break;
    case Kind::kPressCode: PressDeviceKey(m, m.keys, e.keyCode); break;
    case Kind::kRelease:
      ReleaseKeys(m, m.keys);
      s.shiftHeld = false;
      break;
    case Kind::kCharacter: Character(m, m.keys, static_cast<unsigned char>(e.character)); break;
    case Kind::kClick: ButtonDown(m, m.keys, *s.screen, e.x, e.y); break;
    case Kind::kUnclick: ButtonUp(m, m.keys, *s.screen); break;
  }
}

// Frame by frame while keys wait to be played, so that each lands at the
// start of its frame; in one run otherwise.
StopReason RunFrames(DebugSession& s, int64_t frames) {
  Debugger& d = s.debugger;
  int64_t done = 0;
  while (done < frames) {
    if (AtFrameStart(d.machine)) {
      while (!s.pending.empty() && s.pending.front().frame <= s.frames) {
        PlayKey(s, s.pending.front());
        s.pending.erase(s.pending.begin());
      }
    }
    const bool keysWaiting = !s.pending.empty() || d.machine.keys.releaseWords != 0;
    const StopReason stop = Continue(d, keysWaiting ? 1 : frames - done);
    const int64_t ended = stop.kind == StopKind::kFrames ? stop.address : 0;
    done += ended;
    s.frames += ended;
    if (ended > 0) ApplyPendingRelease(d.machine, d.machine.keys);
    if (stop.kind != StopKind::kFrames) return stop;
  }
  return {StopKind::kFrames, static_cast<int>(done)};
}

std::string Stepped(Context& c, const StopReason& stop) {
  const std::string reason = stop.kind == StopKind::kStep ? "" : DescribeStop(c.d, stop) + "\n";
  return reason + RegisterLine(c.d);
}

// Key script text (a line or a file); frames count from the session's start.
std::string AddKeys(Context& c, std::string_view script) {
  std::vector<KeyScriptEvent> events;
  std::string error;
  if (!ParseKeyScript(script, &events, &error)) throw Failure{error};
  for (const KeyScriptEvent& e : events) {
    using Kind = KeyScriptEvent::Kind;
    if ((e.kind == Kind::kClick || e.kind == Kind::kUnclick) && !c.s.screen) {
      throw Failure{"clicks need the picture of the device, which this session does not have"};
    }
  }
  auto& pending = c.s.pending;
  for (const KeyScriptEvent& e : events) {
    // After the keys of the same frame already waiting.
    const auto place = std::upper_bound(pending.begin(), pending.end(), e.frame,
                                        [](int frame, const KeyScriptEvent& p) { return frame < p.frame; });
    pending.insert(place, e);
  }
  return "keys " + std::to_string(events.size()) + "\n";
}

std::string LoadSymbols(Context& c) {
  c.Arguments(1, 1);
  const FileRead file = ReadInputFile(std::string(c.w[1]), 16u << 20);
  if (!file.ok()) throw Failure{file.error};
  // A file with problems still adds its good lines, each bad one named;
  // one that cannot be read changes nothing.
  std::vector<std::string> problems;
  const std::string_view text(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size());
  const int taken = LoadLabels(c.d.symbols, text, &problems);
  std::string out = std::to_string(taken) + " labels\n";
  for (const std::string& p : problems) out += "skipped " + p + "\n";
  return out;
}

std::string Trace(Context& c) {
  c.Arguments(1, 2);
  if (c.w[1] == "off") {
    StopTrace(c.d);
    return "trace off\n";
  }
  const int64_t lines = c.Count(2, 100000, 100000000);
  std::string error;
  if (!StartTrace(c.d, std::string(c.w[1]), lines, &error)) throw Failure{error};
  return "trace " + std::string(c.w[1]) + " " + std::to_string(lines) + " lines\n";
}

std::string Screenshot(Context& c) {
  c.Arguments(1, 1);
  if (!c.s.screen) throw Failure{"this session has no picture of the device"};
  PaintLcd(*c.s.screen, c.m.bus.Lcd());
  std::string error;
  if (!WritePng(std::string(c.w[1]), c.s.screen->frameBuffer, &error)) throw Failure{error};
  return "screenshot " + std::string(c.w[1]) + "\n";
}

std::string OnOff(Context& c, bool& flag) {
  c.Arguments(1, 1);
  if (c.w[1] != "on" && c.w[1] != "off") throw Failure{"expected on or off"};
  flag = c.w[1] == "on";
  return std::string(c.w[0]) + " stops " + (flag ? "on" : "off") + "\n";
}

std::string Dispatch(Context& c, std::string_view line) {
  const std::string_view name = c.w[0];
  DebugSession& s = c.s;
  if (name == "regs") return c.Arguments(0, 0), RegisterLine(c.d);
  if (name == "mem") return Memory(c);
  if (name == "disasm") return Disassemble(c);
  if (name == "break") return SetBreak(c);
  if (name == "delete") return DeleteBreak(c);
  if (name == "watch") return SetWatch(c);
  if (name == "unwatch") return DeleteWatch(c);
  if (name == "continue") {
    c.Arguments(0, 1);
    return DescribeStop(c.d, RunFrames(s, c.Count(1, 50, 1000000))) + "\n";
  }
  if (name == "step") {
    c.Arguments(0, 1);
    return Stepped(c, StepInstructions(c.d, c.Count(1, 1, 100000000)));
  }
  if (name == "next") return c.Arguments(0, 0), Stepped(c, StepOver(c.d));
  if (name == "finish") return c.Arguments(0, 0), Stepped(c, StepOut(c.d));
  if (name == "until") {
    c.Arguments(1, 2);
    const int address = c.Address(c.w[1]);
    return Stepped(c, RunTo(c.d, address, c.Count(2, 50, 1000000)));
  }
  if (name == "set") return SetRegister(c);
  if (name == "poke") return Poke(c);
  if (name == "key") return AddKeys(c, line.substr(line.find("key") + 3));
  if (name == "key-file") {
    c.Arguments(1, 1);
    const FileRead file = ReadInputFile(std::string(c.w[1]), kMaxKeyScriptBytes);
    if (!file.ok()) throw Failure{file.error};
    return AddKeys(c, std::string_view(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size()));
  }
  if (name == "irq") return OnOff(c, c.d.stopOnIrq);
  if (name == "nmi") return OnOff(c, c.d.stopOnNmi);
  if (name == "symbols") return LoadSymbols(c);
  if (name == "trace") return Trace(c);
  if (name == "screenshot") return Screenshot(c);
  if (name == "quit") {
    s.quit = true;
    return "";
  }
  throw Failure{"unknown command \"" + std::string(name) + "\""};
}

}  // namespace
}  // namespace debug_command

std::string ExecuteDebugCommand(DebugSession& session, std::string_view line) {
  using namespace debug_command;
  const Words words = Split(line);
  if (words.empty() || words[0].starts_with('#')) return "";
  Context c{session, session.debugger, session.debugger.machine, words};
  try {
    return Dispatch(c, line);
  } catch (const Failure& failure) {
    return "error: " + failure.message + "\n";
  }
}

}  // namespace rq4800
