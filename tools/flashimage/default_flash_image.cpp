// Layout of the default flash image (blocks of 512 bytes, banks of 64 blocks):
//
//   bank 0     blocks   0..31  system area (erased), one chain
//              blocks  32..43  core area at 0x4000: header, block table,
//                              folder directory; one chain
//              blocks  44..63  system records (erased), one chain
//   bank 1     block   64      index block of "sys "; its file: data 65..72, name 73
//              block   74      index block of "dict"; its file: data 75..88, name 89
//              block   90      first block of "pidf": the serial number
//              block   91      index block of "conf"; its file: data 92, name 93
//              blocks  94..127 free
//   banks 2..14                free
//   bank 15    blocks 960..999 free
//              blocks 1000..1023 reserved for the built-in firmware's flash
//                              write test, which erases and programs sectors
//                              there (0x7D000..0x7FFFF, three 4 KB sectors);
//                              they are left erased, and marked used so that
//                              no download ever lands on them.
//
// Everything not named here is erased (0xFF), as the chip leaves it.
#include "tools/flashimage/default_flash_image.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace rq4800 {

namespace {

constexpr int kBlockSize = 512;
constexpr int kCore = 0x4000;
constexpr int kBlockTable = kCore + 0x400;
constexpr int kDirectory = kCore + 0x1000;

struct Writer {
  std::vector<uint8_t>& image;

  uint8_t* Block(int block) { return image.data() + block * kBlockSize; }
  void Put16(size_t offset, unsigned value) {
    image[offset] = static_cast<uint8_t>(value);
    image[offset + 1] = static_cast<uint8_t>(value >> 8);
  }
  void Entry(int block, uint8_t b0, uint8_t b1, uint8_t b2) {
    size_t at = kBlockTable + 3 * static_cast<size_t>(block);
    image[at] = b0;
    image[at + 1] = b1;
    image[at + 2] = b2;
  }
  // Blocks first..last as one chain; kind is byte 1 of the entry without the
  // two high bits of the next block.
  void Chain(int first, int last, uint8_t kind, uint8_t lastKind) {
    for (int b = first; b <= last; ++b) {
      if (b == last) {
        Entry(b, 0xFF, lastKind, first == last ? 0xE6 : 0xE7);
      } else {
        Entry(b, static_cast<uint8_t>((b + 1) & 0xFF), static_cast<uint8_t>(kind | ((b + 1) >> 8)),
              b == first ? 0xE0 : 0xE1);
      }
    }
  }
  void Folder(int position, const char* name, uint8_t status, unsigned indexField) {
    uint8_t* record = image.data() + kDirectory + 16 * position;
    record[0] = status;
    std::memcpy(record + 1, name, 4);
    record[5] = 0x00;
    Put16(static_cast<size_t>(record - image.data()) + 8, indexField);
  }
  // A text file as the device stores it: the text stream in data blocks
  // first..last, then its name block; one record in the folder's index block.
  void TextFile(int indexBlock, int first, int last, const std::string& text, const char* name) {
    int lines = 0, rows = 0;
    long long lineStart = 0;
    for (size_t p = 0; p < text.size(); ++p) {
      if (text[p] != '\n') continue;
      ++lines;
      rows += static_cast<int>((static_cast<long long>(p) - lineStart + 19) / 10);
      lineStart = static_cast<long long>(p) + 2;
    }
    std::vector<uint8_t> stream = {static_cast<uint8_t>(lines), static_cast<uint8_t>(lines >> 8),
                                   static_cast<uint8_t>(rows), static_cast<uint8_t>(rows >> 8), 0x0A};
    stream.insert(stream.end(), text.begin(), text.end());
    stream.push_back(0xFF);
    stream.push_back(0xFF);
    const size_t capacity = static_cast<size_t>(last - first + 1) * kBlockSize;
    if (stream.size() > capacity) stream.resize(capacity);
    std::memcpy(Block(first), stream.data(), stream.size());
    Chain(first, last, 0xF0, 0xF3);

    const int nameBlock = last + 1;
    uint8_t* names = Block(nameBlock);
    names[0] = 0x67;
    names[1] = 0x40;
    names[2] = 0x00;
    std::memset(names + 3, ' ', 64);
    std::memcpy(names + 3, name, std::strlen(name));
    names[34] = 0xFF;
    Entry(nameBlock, 0xFF, 0xF7, 0xE6);

    uint8_t* record = Block(indexBlock);
    size_t at = static_cast<size_t>(record - image.data());
    record[0] = 0xF1;
    std::memcpy(record + 1, "0001", 4);
    record[5] = 0x07;
    Put16(at + 6, static_cast<unsigned>(stream.size()));
    Put16(at + 8, static_cast<unsigned>(first) | 0x1C00);
    Put16(at + 10, static_cast<unsigned>(nameBlock) | 0x1C00);
    Put16(at + 12, 0x033F);
    Put16(at + 14, 0xEE00);
    Entry(indexBlock, 0xFF, 0xFB, 0xE6);
  }
};

std::string SystemNotes() {
  std::string text;
  text += "RQ4800 system folder\r\n";
  text += "Folders: bin programs, txt texts, bas BASIC, udf skins.\r\n";
  text += "Blocks 1000-1023 belong to the flash test.\r\n";
  while (text.size() < 3000) text += "-\r\n";
  return text;
}

std::string Dictionary() {
  // ASCII only: the device reads texts as GBK.
  static const char* const kWords[] = {"apple pingguo", "book shu", "cat mao", "day tian", "egg dan", "fish yu",
                                       "go qu",         "hand shou", "ink mo", "jade yu",  "key jian", "light guang"};
  std::string text;
  char line[64];
  for (int i = 0; text.size() < 6500; ++i) {
    std::snprintf(line, sizeof line, "%04d %s\r\n", i, kWords[i % 12]);
    text += line;
  }
  return text;
}

}  // namespace

std::vector<uint8_t> BuildDefaultFlashImage() {
  std::vector<uint8_t> image(524288, 0xFF);
  Writer w{image};

  // Core header: format mark, model family 0xA with model number 480,
  // region 'J' (simplified Chinese).
  image[kCore] = '*';
  image[kCore + 0x7A] = 0xA1;
  image[kCore + 0x7B] = 0xE0;
  image[kCore + 0x7D] = 'J';

  // Bank 0, wholly the system's: three chains.
  w.Chain(0, 31, 0xE0, 0xE3);
  w.Chain(32, 43, 0xE4, 0xE7);
  w.Chain(44, 63, 0xE0, 0xE3);

  // The directory: the system folders first, then the applications' own.
  static const char* const kEmptyFolders[] = {"bin ", "txt ", "rec ", "bas ", "udf ", "note", "addr",
                                              "sche", "memo", "game", "calc", "font", "mail", "alrm",
                                              "clip", "word", "exam", "phot", "tmp ", "help", "lang",
                                              "wav ", "log "};
  int position = 0;
  w.Folder(position++, "pidf", 0xB5, 0x1C00 | 90);
  w.Folder(position++, "sys ", 0xB5, 0x1C00 | 64);
  w.Folder(position++, "dict", 0xB5, 0x1C00 | 74);
  w.Folder(position++, "conf", 0xB5, 0x1C00 | 91);
  for (const char* name : kEmptyFolders) w.Folder(position++, name, 0xB7, 0xFFFF);

  w.TextFile(64, 65, 72, SystemNotes(), "system notes");
  w.TextFile(74, 75, 88, Dictionary(), "dictionary");
  w.TextFile(91, 92, 92, "beep=on\r\ncontrast=8\r\nsleep=180\r\n", "settings");

  // The serial number the factory writes: 24-bit number at 0, year at 5.
  uint8_t* serial = w.Block(90);
  const unsigned number = 480001;
  serial[0] = static_cast<uint8_t>(number);
  serial[1] = static_cast<uint8_t>(number >> 8);
  serial[2] = static_cast<uint8_t>(number >> 16);
  serial[5] = static_cast<uint8_t>(2026 & 0xFF);
  serial[6] = static_cast<uint8_t>(2026 >> 8);
  w.Entry(90, 0xFF, 0xFB, 0xE6);

  w.Chain(1000, 1023, 0xE8, 0xEB);
  return image;
}

}  // namespace rq4800
