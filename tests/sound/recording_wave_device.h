#pragma once
// A wave device for tests: records every queued block and plays nothing
// until the test finishes blocks with Finish(n). It also checks the owner's
// one promise: a queued block stays untouched until reported finished.
#include <algorithm>
#include <deque>
#include <utility>
#include <vector>

#include "sound/wave_device.h"

namespace rq4800::test {

class RecordingWaveDevice : public IWaveDevice {
 public:
  struct Queued {
    const int16_t* data;
    std::vector<int16_t> samples;  // as they were when queued
  };
  bool openResult = true;
  int failPrepareCall = -1;  // 0-based
  int prepares = 0;
  int unprepares = 0;
  bool touchedWhilePlaying = false;
  std::vector<Queued> queued;
  std::deque<size_t> playing;

  bool Open() override { return openResult; }
  bool Prepare(WaveBlock& block) override { return block.prepared = prepares++ != failPrepareCall; }
  void Unprepare(WaveBlock& block) override {
    ++unprepares;
    block.prepared = false;
  }
  void Queue(WaveBlock& block) override {
    queued.push_back({block.data, std::vector<int16_t>(block.data, block.data + block.bytes / 2)});
    playing.push_back(queued.size() - 1);
  }
  int TakeFinishedBlocks() override { return std::exchange(finished_, 0); }

  void Finish(int n) {
    for (; n > 0 && !playing.empty(); --n, ++finished_) {
      const Queued& q = queued[playing.front()];
      playing.pop_front();
      touchedWhilePlaying |= !std::equal(q.samples.begin(), q.samples.end(), q.data);
    }
  }

 private:
  int finished_ = 0;
};

}  // namespace rq4800::test
