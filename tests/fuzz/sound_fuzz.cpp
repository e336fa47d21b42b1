// Command words to the sound generator, checked against a small model of
// the command protocol: in PCM mode a word is one sample, written 5 or 6
// times as it came; in frame mode only the word that completes a frame
// gives sound, 240 samples stretched to 1,320; mode words change the mode
// and nothing else sounds. The same words give the same sound twice over.
//
// Input: pairs of bytes (high, low); the pair FE FE stands for port 0x20's
// sound reset.
#include <algorithm>
#include <vector>

#include "core/debug_log.h"
#include "sound/sound_generator.h"
#include "tests/fuzz/fuzz_check.h"

using namespace rq4800;

namespace {

std::vector<int16_t> Play(const uint8_t* data, size_t size) {
  SampleRing ring;
  ring.samples.assign(SampleRing::kCapacity, 0);
  SoundGenerator sound;
  sound.ring = &ring;
  std::vector<int16_t> heard;
  int modelIndex = 0;  // slot the next subframe word must fill, as the protocol says
  for (size_t i = 0; i + 1 < size; i += 2) {
    const int high = data[i], low = data[i + 1];
    const int mode = sound.mode;
    const uint32_t alternation = sound.alternation;
    const int fill = ring.Fill();
    bool completes = false;
    if (high == 0xFE && low == 0xFE) {
      sound.Reset();
      FUZZ_REQUIRE(sound.mode == SoundGenerator::kModeFrame && ring.Fill() == fill);
      continue;
    }
    if (mode != SoundGenerator::kModePcm && high < 0x60) {
      const int tag = high >> 4;
      if (tag <= 2) {
        modelIndex = tag + 1;
      } else if (modelIndex < 15 && tag == 3 + modelIndex % 3) {
        completes = ++modelIndex == 15;
      }
    }
    sound.WriteCommand(high, low);
    const int added = ring.Fill() - fill;
    FUZZ_REQUIRE(sound.wordIndex == modelIndex);
    FUZZ_REQUIRE(sound.historyWrite >= 0 && sound.historyWrite < SoundGenerator::kHistorySize);
    FUZZ_REQUIRE(sound.historyNewest >= 0 && sound.historyNewest < SoundGenerator::kHistorySize);
    if (mode == SoundGenerator::kModePcm) {
      if (high == 0xFF) {
        FUZZ_REQUIRE(sound.mode == SoundGenerator::kModeFrame && added == 0);
      } else {
        FUZZ_REQUIRE(sound.mode == SoundGenerator::kModePcm && added == ((alternation & 1) ? 6 : 5));
        for (int n = 1; n <= added; ++n) {
          const int at = (ring.write - n + SampleRing::kCapacity) % SampleRing::kCapacity;
          FUZZ_REQUIRE(ring.samples[at] == static_cast<int16_t>(high * 256 + low - 0x8000));
        }
      }
    } else if (high >= 0x60) {
      FUZZ_REQUIRE(added == 0 && sound.mode == (high == 0xA0 ? low : mode));
    } else {
      FUZZ_REQUIRE(sound.mode == mode && added == (completes ? 1320 : 0));
    }
    // Drain as the wave output would, so the ring never fills.
    while (!ring.Empty()) {
      heard.push_back(ring.samples[ring.read]);
      ring.read = ring.read + 1 == SampleRing::kCapacity ? 0 : ring.read + 1;
    }
  }
  return heard;
}

}  // namespace

extern "C" int RQ4800_FUZZ_ENTRY(const uint8_t* data, size_t size) {
  static const DebugLogTarget quiet = SetDebugLogTarget(DiscardingTarget());
  (void)quiet;
  size = std::min<size_t>(size, 4096);
  FUZZ_REQUIRE(Play(data, size) == Play(data, size));
  return 0;
}
