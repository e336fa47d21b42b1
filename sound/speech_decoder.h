#pragma once
// The frame decode of the sound generator: fifteen collected words become
// 240 samples at 8000 Hz. Four subframes of 60 samples each get an
// excitation (the periodic continuation of past excitation scaled by the
// pitch gain, plus two signed pulses that repeat every lag) and pass it
// through a 10th-order all-pole synthesis filter whose predictor comes from
// the LSPs, interpolated between the previous and the current frame.
#include <array>
#include <cstdint>

#include "sound/sound_generator.h"

namespace rq4800 {

// Decodes g.frameWords into g.outputFrame and hands the samples to PushSample.
void DecodeFrame(SoundGenerator& g);

// Cosines (Q14) of subframe s (0..3): the LSPs weighted 3:1, 2:2, 1:3, 0:4
// from previous to current and looked up in the cosine table.
void InterpolateLsp(const std::array<int32_t, 10>& previous, const std::array<int32_t, 10>& current,
                    int subframe, std::array<int32_t, 10>& cosines);

// Predictor a0..a10 (Q11) of the LSP cosines: odd LSPs (1, 3, ..., 9) form
// P, even ones Q, and A = (P (1 + 1/z) + Q (1 - 1/z)) / 2.
void LspToPredictor(const std::array<int32_t, 10>& cosines, std::array<int32_t, 11>& a);

// Elementary symmetric sums E1..E5 (Q11) of the terms -2 cos w of five
// cosines (Q14), in the device's order of products and shifts; e[0] = E1.
void SymmetricSums(const std::array<int32_t, 5>& x, std::array<int32_t, 5>& e);

}  // namespace rq4800
