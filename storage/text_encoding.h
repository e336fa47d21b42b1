#pragma once
// Texts written on a PC in UTF-8, for the device, which reads every text as
// GBK. Only a text that is well-formed UTF-8 and holds a character beyond
// ASCII is converted: GBK bytes (the device's own texts) are almost never
// well-formed UTF-8, and plain ASCII is the same in both.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace rq4800 {

// Length of the well-formed UTF-8 character at text[0] (shortest form, no
// surrogates, at most U+10FFFF), or 0 when none starts there.
size_t Utf8CharLength(std::string_view text);

// True when data is well-formed UTF-8 with at least one non-ASCII character
// (a byte-order mark counts).
bool IsUtf8BeyondAscii(const uint8_t* data, size_t size);

struct GbkText {
  std::vector<uint8_t> bytes;
  int replaced = 0;  // characters GBK lacks, each stored as '?'
};

// Well-formed UTF-8 to GBK, a leading byte-order mark dropped. A byte that
// starts no character (the caller checked that there is none) also becomes '?'.
GbkText Utf8ToGbk(const uint8_t* data, size_t size);

}  // namespace rq4800
