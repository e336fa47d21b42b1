#pragma once
// Constant tables of the speech decoder. The quantiser tables (LSP values,
// pulse amplitudes, fractional-delay taps) are the device's data; the cosine
// table, the pulse pairs and the pitch gains follow from formulas and are
// derived here at compile time so that they cannot drift from them.
#include <array>
#include <cstdint>
#include <numbers>

namespace rq4800 {

// LSP k (0-based) quantiser: how many index bits it has and its values,
// Q15 fractions of 4000 Hz. Unused entries of the 3-bit rows stay zero and
// are never reached because the index is masked to its width.
inline constexpr std::array<int, 10> kLspBits = {3, 4, 4, 4, 4, 3, 3, 3, 3, 3};
inline constexpr std::array<std::array<int32_t, 16>, 10> kLspValues = {{
    {819, 1392, 1843, 2048, 2293, 2785, 3440, 4096},
    {1720, 1925, 2170, 2416, 2662, 2949, 3276, 3604, 3932, 4259, 4587, 4997, 5488, 6062, 6635, 7208},
    {3440, 3768, 4096, 4423, 4792, 5242, 5775, 6348, 6963, 7782, 8601, 9420, 10240, 11059, 11878, 12697},
    {5079, 5406, 5898, 6512, 7208, 7946, 8847, 9584, 10403, 11223, 12042, 12861, 13680, 14499, 15319, 16138},
    {8192, 8601, 9256, 9912, 10526, 11059, 11714, 12369, 13025, 13680, 14336, 15155, 15974, 16793, 17612, 18432},
    {12042, 12861, 13844, 14991, 16384, 18022, 19660, 21299},
    {14745, 15400, 16056, 17203, 18841, 20316, 22118, 23756},
    {18227, 19660, 20684, 21708, 22937, 24166, 25804, 27443},
    {22609, 23592, 24576, 25395, 26214, 27115, 28098, 29081},
    {26132, 26787, 27443, 28016, 28590, 29409, 30392, 31375},
}};

inline constexpr std::array<int32_t, 16> kPulseAmplitudes = {0,   1,   3,   13,  35,  64,  98,  136,
                                                             178, 224, 278, 340, 418, 520, 660, 870};

// Taps of the 1/3 and 2/3 sample delays (Q15), oldest neighbour first.
inline constexpr std::array<std::array<int32_t, 8>, 2> kFractionTaps = {{
    {-235, 1050, -3571, 12714, 26674, -5216, 1629, -383},
    {-383, 1629, -5216, 26674, 12714, -3571, 1050, -235},
}};

// cos on [0, pi] by its Taylor series after folding into [0, pi/2], accurate
// to well below the 0.003 that separates any 16384*cos(pi*j/128) from an
// integer (except the exact ends), so truncation lands where it must.
constexpr double CosineSeries(double x) {
  bool negate = false;
  if (x > std::numbers::pi / 2) {
    x = std::numbers::pi - x;
    negate = true;
  }
  double term = 1.0;
  double sum = 1.0;
  for (int n = 1; n < 16; ++n) {
    term = -term * x * x / ((2.0 * n - 1.0) * (2.0 * n));
    sum += term;
  }
  return negate ? -sum : sum;
}

// T[j] = 16384 cos(pi j / 128) truncated towards zero, Q14. The largest LSP
// value, 31375, interpolates at j = 122 and 123, well inside the table.
constexpr std::array<int32_t, 128> MakeCosineTable() {
  std::array<int32_t, 128> table{};
  for (int j = 0; j < 128; ++j) {
    table[j] = static_cast<int32_t>(16384.0 * CosineSeries(std::numbers::pi * j / 128.0));
  }
  return table;
}
inline constexpr std::array<int32_t, 128> kCosineTable = MakeCosineTable();

// Pitch gain k = k * 0.075 in Q14, truncated: k * 1228.8 = k * 6144 / 5.
constexpr std::array<int32_t, 16> MakePitchGains() {
  std::array<int32_t, 16> gains{};
  for (int k = 0; k < 16; ++k) gains[k] = k * 6144 / 5;
  return gains;
}
inline constexpr std::array<int32_t, 16> kPitchGains = MakePitchGains();

// All pairs 0 <= p1 < p2 <= 29 in lexicographic order: the two pulse slots
// of a subframe, chosen by a 9-bit index of which only 0..434 are pairs.
struct PulsePair {
  int8_t first = 0;
  int8_t second = 0;
};
inline constexpr int kPulsePairCount = 435;
constexpr std::array<PulsePair, kPulsePairCount> MakePulsePairs() {
  std::array<PulsePair, kPulsePairCount> pairs{};
  int n = 0;
  for (int p1 = 0; p1 < 30; ++p1) {
    for (int p2 = p1 + 1; p2 < 30; ++p2) {
      pairs[n++] = PulsePair{static_cast<int8_t>(p1), static_cast<int8_t>(p2)};
    }
  }
  return pairs;
}
inline constexpr std::array<PulsePair, kPulsePairCount> kPulsePairs = MakePulsePairs();

}  // namespace rq4800
