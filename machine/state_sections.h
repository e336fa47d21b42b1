#pragma once
// The fixed-layout sections of a save state, each described once as the
// sequence of its fields (state_bytes.h gives their encodings). Io is a
// StateWriter, StateReader or StateSizer; Fields is MachineFields, const
// for the writer. The order of the calls is the order in the file.
#include "machine/machine_fields.h"

namespace rq4800::state_sections {

template <class Io, class Array>
void Each(Io& io, Array& values) {
  for (auto& v : values) io.Field(v);
}

// "CPU ": A, X, Y, P, SP, PC, irqPending, nmiRequest, nmiArmed, cycles.
template <class Io, class Fields>
void Processor(Io& io, Fields& f) {
  io.Field(f.A);
  io.Field(f.X);
  io.Field(f.Y);
  io.Field(f.P);
  io.Field(f.SP);
  io.Field(f.PC);
  io.Field(f.irqPending);
  io.Field(f.nmiRequest);
  io.Field(f.nmiArmed);
  io.Field(f.cycles);
}

// "BUS ": the 64 port latches, intControl, keyRowSelect, the 8 windows and
// the 16 page-table entries (each area, offset), zeroPageOffset, timer 0
// (counter, reload), the timer A/B run flags and counts, the sound latch,
// beeper gate, handshake, beeper level and the flash command states.
template <class Io, class Fields>
void Bus(Io& io, Fields& f) {
  Each(io, f.ports);
  io.Field(f.intControl);
  io.Field(f.keyRowSelect);
  for (auto& place : f.window) {
    io.Field(place.area);
    io.Field(place.offset);
  }
  for (auto& place : f.pageTable) {
    io.Field(place.area);
    io.Field(place.offset);
  }
  io.Field(f.zeroPageOffset);
  io.Field(f.timer0Counter);
  io.Field(f.timer0Reload);
  io.Field(f.timerARunning);
  io.Field(f.timerBRunning);
  io.Field(f.timerACounter);
  io.Field(f.timerACarry);
  io.Field(f.timerBCounter);
  io.Field(f.soundLatch);
  io.Field(f.beeperGate);
  io.Field(f.soundHandshake);
  io.Field(f.beeperLevel);
  io.Field(f.flashUnlock);
  io.Field(f.flashProgram);
  io.Field(f.flashErase);
}

// "KEYS": the eight key words, then the words pressed since the last frame
// and those whose release waits for the next one.
template <class Io, class Fields>
void Keys(Io& io, Fields& f) {
  Each(io, f.keyWords);
  io.Field(f.unseenKeyWords);
  io.Field(f.releaseKeyWords);
}

// "SND ": the sound generator, field by field in the order it declares them.
template <class Io, class Fields>
void Sound(Io& io, Fields& f) {
  auto& g = f.sound;
  Each(io, g.frameWords);
  io.Field(g.wordIndex);
  io.Field(g.mode);
  Each(io, g.previousLsp);
  Each(io, g.currentLsp);
  Each(io, g.lspCosines);
  Each(io, g.lspIndices);
  Each(io, g.history);
  Each(io, g.outputFrame);
  Each(io, g.adaptive);
  io.Field(g.pitchLag);
  io.Field(g.pitchFraction);
  io.Field(g.subframeLength);
  io.Field(g.savedPitchIndex);
  io.Field(g.lagCountdown);
  io.Field(g.historyWrite);
  io.Field(g.historyNewest);
  io.Field(g.firstFrame);
  io.Field(g.pitchField);
  io.Field(g.gainIndex);
  io.Field(g.amplitudeIndex);
  io.Field(g.gridBit);
  io.Field(g.pulsePosition1);
  io.Field(g.pulsePosition2);
  io.Field(g.pulseSign1);
  io.Field(g.pulseSign2);
  Each(io, g.synthesisMemory);
  Each(io, g.predictor);
  io.Field(g.alternation);
}

// "FRAM": frameCount, warmResetRequest, faulted, faultOpcode, faultAddress.
template <class Io, class Fields>
void Frame(Io& io, Fields& f) {
  io.Field(f.frameCount);
  io.Field(f.warmResetRequest);
  io.Field(f.faulted);
  io.Field(f.faultOpcode);
  io.Field(f.faultAddress);
}

// The head of "RING": storage flag, write index, read index; the pending
// samples follow (save_state.cpp).
template <class Io, class Fields>
void RingHead(Io& io, Fields& f) {
  io.Field(f.ringStorage);
  io.Field(f.ringWrite);
  io.Field(f.ringRead);
}

}  // namespace rq4800::state_sections
