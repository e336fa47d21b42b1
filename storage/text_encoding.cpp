#include "storage/text_encoding.h"

#include <iconv.h>

#include <cerrno>

namespace rq4800 {

size_t Utf8CharLength(std::string_view text) {
  if (text.empty()) return 0;
  const auto byte = [&text](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned lead = byte(0);
  if (lead < 0x80) return 1;
  // The second byte's range excludes overlong forms (E0, F0), surrogates
  // (ED) and code points past U+10FFFF (F4); later bytes are 0x80..0xBF.
  size_t length = 0;
  unsigned low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
  }
  return length;
}

bool IsUtf8BeyondAscii(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  bool beyondAscii = false;
  for (size_t i = 0; i < size;) {
    const size_t length = Utf8CharLength(text.substr(i));
    if (length == 0) return false;
    beyondAscii = beyondAscii || length > 1;
    i += length;
  }
  return beyondAscii;
}

GbkText Utf8ToGbk(const uint8_t* data, size_t size) {
  GbkText out;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  // GBK never takes more bytes for a character than UTF-8 does.
  out.bytes.resize(text.size());
  iconv_t cd = iconv_open("CP936", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) {  // no codec: every character beyond ASCII is lost
    out.bytes.clear();
    for (size_t i = 0; i < text.size();) {
      const size_t length = Utf8CharLength(text.substr(i));
      out.bytes.push_back(length == 1 ? static_cast<uint8_t>(text[i]) : '?');
      out.replaced += length != 1;
      i += length ? length : 1;
    }
    return out;
  }
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  size_t used = 0;
  while (inLeft > 0) {
    char* to = reinterpret_cast<char*>(out.bytes.data()) + used;
    size_t toLeft = out.bytes.size() - used;
    const size_t result = iconv(cd, &in, &inLeft, &to, &toLeft);
    used = out.bytes.size() - toLeft;
    if (result != static_cast<size_t>(-1)) break;
    if (errno == E2BIG || toLeft == 0) {  // not for GBK, but never cut a text short
      out.bytes.resize(out.bytes.size() + inLeft + 16);
      continue;
    }
    // A character GBK lacks (or, against the contract, no character at all):
    // one '?' in its place, and on with the next.
    const size_t length = Utf8CharLength(std::string_view(in, inLeft));
    out.bytes[used++] = '?';
    ++out.replaced;
    const size_t skip = length ? length : 1;
    in += skip;
    inLeft -= skip;
  }
  iconv_close(cd);
  out.bytes.resize(used);
  return out;
}

}  // namespace rq4800
