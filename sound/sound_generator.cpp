#include "sound/sound_generator.h"

#include "core/debug_log.h"
#include "sound/speech_decoder.h"

namespace rq4800 {

void SoundGenerator::Reset() {
  history.fill(0);
  historyWrite = kHistorySize - 1;
  historyNewest = 0;
  mode = kModeFrame;
}

void SoundGenerator::WriteCommand(int high, int low) {
  // The ports hand over bytes; masking keeps any caller's value a byte.
  high &= 0xFF;
  low &= 0xFF;
  const int word = high * 256 + low;

  if (mode == kModePcm) {
    if (high == 0xFF) {
      mode = kModeFrame;
      return;
    }
    PushSample(word - 0x8000);  // unsigned samples biased by 0x8000
    return;
  }

  if (high >= 0x60) {
    if (high == 0xA0) {
      mode = low;
      DebugLog("DSP_MODE %d\n", low);
    } else {
      DebugLog("DSP_CMD %04X\n", word);
    }
    return;
  }

  // A frame is tags 0, 1, 2, then 3, 4, 5 four times. Tags 0..2 may arrive
  // at any time and restart the collection after them; tags 3..5 must come
  // in their turn. Once the fifteenth word has decoded the frame, the index
  // stays at 15 and further subframe words have no slot: they are ignored.
  const int tag = high >> 4;
  if (tag <= 2) {
    frameWords[tag] = word;
    wordIndex = tag + 1;
    return;
  }
  if (wordIndex >= kFrameWords || tag != 3 + wordIndex % 3) return;
  frameWords[wordIndex] = word;
  ++wordIndex;
  if (wordIndex == kFrameWords) DecodeFrame(*this);
}

void SoundGenerator::PushSample(int sample) {
  // 8000 Hz to the ring's 44,100: 5 and 6 copies alternately give 44,000;
  // the firmware paces itself by the fill level, so the 100 missing do not
  // matter. The alternation advances even with no ring to keep the cadence
  // tied to the sample stream.
  const int copies = (alternation & 1u) ? 6 : 5;
  ++alternation;
  if (ring == nullptr) return;
  const auto value = static_cast<int16_t>(sample);
  for (int n = 0; n < copies; ++n) ring->Push(value);
}

}  // namespace rq4800
