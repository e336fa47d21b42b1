#include "storage/device_name.h"

#include <iconv.h>
#include <opencc/MarisaDict.hpp>

#include <cstdint>
#include <cstdio>

#include "storage/text_encoding.h"

namespace rq4800 {

namespace {

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
    char buffer[16] = {};
    char* in = const_cast<char*>(character.data());
    size_t inLeft = character.size();
    char* outPointer = buffer;
    size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &in, &inLeft, &outPointer, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) {
      out += '?';
      return;
    }
    // The device's names hold ASCII and two-byte characters only; a code
    // page's odd single bytes (CP936 gives U+0080 the lone byte 0x80) would
    // run into the next character.
    const size_t made = static_cast<size_t>(outPointer - buffer);
    const auto lead = static_cast<uint8_t>(buffer[0]), trail = static_cast<uint8_t>(buffer[1]);
    const bool ascii = made == 1 && lead < 0x80;
    const bool pair = made == 2 && lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
    if (!ascii && !pair) {
      out += '?';
      return;
    }
    out.append(buffer, made);
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

// OpenCC's character table, read once per process (a read takes about a
// millisecond) and never changed after. Without the file, characters keep
// their simplified form.
const opencc::Dict* CharacterTable() {
  static const opencc::MarisaDictPtr table = [] {
    opencc::MarisaDictPtr loaded;
    if (FILE* file = std::fopen(RQ4800_OPENCC_DATA_DIR "/STCharacters.ocd2", "rb")) {
      try {
        loaded = opencc::MarisaDict::NewFromFile(file);
      } catch (...) {
        loaded = nullptr;
      }
      std::fclose(file);
    }
    return loaded;
  }();
  return table.get();
}

}  // namespace

std::string ToDeviceName(std::string_view utf8Name) {
  if (utf8Name.empty()) return {};
  return Encode(utf8Name, "CP950", CharacterTable());
}

std::string ToGbkName(std::string_view utf8Name) { return Encode(utf8Name, "CP936", nullptr); }

}  // namespace rq4800
