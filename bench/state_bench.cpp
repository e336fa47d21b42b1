// Save states and rewind on the built-in firmware playing its sound test
// (melody, PCM tone, speech phrase, over and over), the ring drained one
// block of 882 samples a frame as the wave output does.
//
//   BM_SaveState, BM_LoadState   one whole state (target: under 2 ms each)
//   BM_RewindSnapshot            one snapshot after 5 more frames (target: under 0.3 ms)
//   BM_RewindStepBack            one step back
//   BM_RewindHistory30s          1500 frames with a snapshot every 5: the memory held
//                                (MB, target at most 64) and the share of a core taken
//                                by snapshots in real time (target under 5 %)
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "host/keyboard.h"
#include "host/rewind_history.h"
#include "machine/machine.h"
#include "machine/save_state.h"

namespace rq4800 {
namespace {

constexpr int kDown = 58, kEnter = 39;

struct FixedClock final : IHostClock {
  LocalTime Now() override { return {2026, 12, 5, 14, 3, 7}; }
};

struct Player {
  ResourceStore resources;
  FixedClock clock;
  SampleRing ring;
  std::unique_ptr<Machine> machine;
  RomHashes rom;
  int frame = 0;

  Player() {
    ring.samples.assign(SampleRing::kCapacity, 0);
    machine = std::make_unique<Machine>(resources, &clock);
    PowerOn(*machine);
    machine->bus.AttachRing(&ring);
    rom = HashRomRanges(machine->bus);
  }

  // Home, three times Down and Enter into the sound test, then Enter on
  // "all" every 400 frames.
  void Keys() {
    const int pressAt[] = {50, 56, 62, 68};
    const int codes[] = {kDown, kDown, kDown, kEnter};
    for (int i = 0; i < 4; ++i) {
      if (frame == pressAt[i]) PressKeyCode(*machine, codes[i]);
      if (frame == pressAt[i] + 3) ReleaseAllKeys(*machine);
    }
    if (frame >= 81 && (frame - 81) % 400 == 0) PressKeyCode(*machine, kEnter);
    if (frame >= 84 && (frame - 84) % 400 == 0) ReleaseAllKeys(*machine);
  }

  void Frame() {
    Keys();
    RunFrame(*machine);
    for (int i = 0; i < 882 && !ring.Empty(); ++i) ring.read = ring.read + 1 == SampleRing::kCapacity ? 0 : ring.read + 1;
    ++frame;
  }
  void Run(int frames) {
    for (int i = 0; i < frames; ++i) Frame();
  }
};

// Inside the speech phrase of the first "all": samples wait in the ring.
std::unique_ptr<Player> PlayerInSpeech() {
  auto player = std::make_unique<Player>();
  player->Run(180);
  return player;
}

void BM_SaveState(benchmark::State& state) {
  auto player = PlayerInSpeech();
  size_t bytes = 0;
  for (auto _ : state) {
    std::vector<uint8_t> saved = SaveState(*player->machine, player->rom);
    bytes = saved.size();
    benchmark::DoNotOptimize(saved.data());
  }
  state.counters["state_KB"] = static_cast<double>(bytes) / 1024.0;
  state.counters["ring_fill"] = player->ring.Fill();
}
BENCHMARK(BM_SaveState)->Unit(benchmark::kMicrosecond);

void BM_LoadState(benchmark::State& state) {
  auto player = PlayerInSpeech();
  const std::vector<uint8_t> saved = SaveState(*player->machine, player->rom);
  std::string error;
  for (auto _ : state) {
    if (!LoadState(*player->machine, player->rom, saved, &error)) state.SkipWithError(error.c_str());
  }
}
BENCHMARK(BM_LoadState)->Unit(benchmark::kMicrosecond);

// Only the snapshot is timed; the 5 frames between snapshots run outside.
void BM_RewindSnapshot(benchmark::State& state) {
  auto player = PlayerInSpeech();
  RewindHistory history;
  for (auto _ : state) {
    player->Run(5);
    const auto start = std::chrono::steady_clock::now();
    history.Push(*player->machine, static_cast<uint64_t>(player->frame));
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
  }
  state.counters["snapshots_held"] = static_cast<double>(history.Size());
}
BENCHMARK(BM_RewindSnapshot)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(600);

void BM_RewindStepBack(benchmark::State& state) {
  auto player = PlayerInSpeech();
  RewindHistory history;
  for (int i = 0; i < 40; ++i) {
    history.Push(*player->machine, static_cast<uint64_t>(player->frame));
    player->Run(5);
  }
  const uint64_t now = static_cast<uint64_t>(player->frame);
  for (auto _ : state) {
    // Back one step and forward again: the newest snapshot stays.
    if (!history.StepBack(*player->machine, now)) state.SkipWithError("no snapshot");
  }
}
BENCHMARK(BM_RewindStepBack)->Unit(benchmark::kMicrosecond);

void BM_RewindHistory30s(benchmark::State& state) {
  for (auto _ : state) {
    Player player;
    RewindHistory history;
    double snapshotSeconds = 0.0;
    int snapshots = 0;
    for (int i = 0; i < 1500; ++i) {
      player.Frame();
      if (player.frame % 5 == 0) {
        const auto start = std::chrono::steady_clock::now();
        history.Push(*player.machine, static_cast<uint64_t>(player.frame));
        snapshotSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++snapshots;
      }
    }
    state.counters["held_MB"] = static_cast<double>(history.BytesHeld()) / (1 << 20);
    state.counters["snapshots"] = static_cast<double>(history.Size());
    state.counters["covers_s"] = static_cast<double>(*history.NewestFrame() - *history.OldestFrame()) / 50.0;
    state.counters["snapshot_us"] = snapshotSeconds / snapshots * 1e6;
    // 10 snapshots a second of real time.
    state.counters["core_pct"] = snapshotSeconds / snapshots * 10 * 100;
  }
}
BENCHMARK(BM_RewindHistory30s)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace rq4800
