#pragma once
// The speech decoder's arithmetic: 32-bit two's complement that wraps on
// overflow, as the device computes it. Unsigned arithmetic gives the wrap
// without undefined behaviour; converting back to int32_t is modular, and a
// right shift of a negative int32_t is arithmetic (towards minus infinity).
#include <cstdint>

namespace rq4800 {

constexpr int32_t WrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
constexpr int32_t WrapSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
constexpr int32_t WrapMul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
// The low 16 bits as a signed value.
constexpr int32_t Wrap16(int32_t a) { return static_cast<int16_t>(static_cast<uint16_t>(a)); }
constexpr int32_t Saturate16(int32_t a) { return a > 32767 ? 32767 : (a < -32768 ? -32768 : a); }

}  // namespace rq4800
