#include "storage/device_name.h"

#include <iconv.h>
#include <opencc/MarisaDict.hpp>

#include <cerrno>
#include <cstdio>

namespace rq4800 {

namespace {

// Length of the well-formed UTF-8 character at text[0], or 0.
size_t Utf8CharLength(std::string_view text) {
  unsigned char lead = static_cast<unsigned char>(text[0]);
  size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
  if (length == 0 || length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

// One iconv conversion from UTF-8, a character at a time, so one character
// the code page lacks costs only that character.
class CodePageEncoder {
 public:
  explicit CodePageEncoder(const char* codePage) : cd(iconv_open(codePage, "UTF-8")) {}
  ~CodePageEncoder() {
    if (Usable()) iconv_close(cd);
  }
  CodePageEncoder(const CodePageEncoder&) = delete;
  CodePageEncoder& operator=(const CodePageEncoder&) = delete;

  bool Usable() const { return cd != reinterpret_cast<iconv_t>(-1); }

  void Append(std::string_view character, std::string& out) {
    char buffer[16];
    char* in = const_cast<char*>(character.data());
    size_t inLeft = character.size();
    char* outPointer = buffer;
    size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &in, &inLeft, &outPointer, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) {
      out += '?';
      return;
    }
    out.append(buffer, static_cast<size_t>(outPointer - buffer));
  }

 private:
  iconv_t cd;
};

std::string Encode(std::string_view utf8Name, const char* codePage, const opencc::Dict* characters) {
  std::string out;
  CodePageEncoder encoder(codePage);
  if (!encoder.Usable()) return out;
  size_t i = 0;
  while (i < utf8Name.size()) {
    size_t length = Utf8CharLength(utf8Name.substr(i));
    if (length == 0) {  // a byte that starts no character
      out += '?';
      ++i;
      continue;
    }
    std::string_view character = utf8Name.substr(i, length);
    if (characters && length > 1) {
      opencc::Optional<const opencc::DictEntry*> match = characters->Match(character.data(), length);
      if (!match.IsNull()) {
        std::string traditional = match.Get()->GetDefault();
        encoder.Append(traditional, out);
        i += length;
        continue;
      }
    }
    encoder.Append(character, out);
    i += length;
  }
  return out;
}

}  // namespace

std::string ToDeviceName(std::string_view utf8Name) {
  if (utf8Name.empty()) return {};
  opencc::MarisaDictPtr table;
  if (FILE* file = std::fopen(RQ4800_OPENCC_DATA_DIR "/STCharacters.ocd2", "rb")) {
    try {
      table = opencc::MarisaDict::NewFromFile(file);
    } catch (...) {
      table = nullptr;  // without the table, characters keep their simplified form
    }
    std::fclose(file);
  }
  return Encode(utf8Name, "CP950", table.get());
}

std::string ToGbkName(std::string_view utf8Name) { return Encode(utf8Name, "CP936", nullptr); }

}  // namespace rq4800
