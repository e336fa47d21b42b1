#pragma once
// Synthetic flash images for the storage tests: an erased image with the core
// area at 0x4000, folders and used blocks placed by the test, and readers for
// the stored records, written from the stored layout rather than through the
// code under test.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "storage/flash_file_system.h"

namespace rq4800::test {

struct FlashBuilder {
  static constexpr size_t kCore = 0x4000;
  std::vector<uint8_t> image = std::vector<uint8_t>(524288, 0xFF);
  FlashFileSystem fs;
  int folderCount = 0;

  FlashBuilder() {
    image[kCore] = '*';
    fs.image = image.data();
  }

  uint8_t* Entry(int block) { return &image[kCore + 0x400 + 3 * static_cast<size_t>(block)]; }
  void Use(int first, int last) {
    for (int b = first; b <= last; ++b) {
      uint8_t* e = Entry(b);
      e[0] = 0xFF;
      e[1] = 0xE3;
      e[2] = 0xE7;
    }
  }
  void UseAllBut(std::initializer_list<int> freeBlocks) {
    Use(0, 1023);
    for (int b : freeBlocks) Free(b);
  }
  void Free(int block) { std::memset(Entry(block), 0xFF, 3); }
  void UseBank(int bank) { Use(bank * 64, bank * 64 + 63); }
  void FreeBank(int bank) {
    for (int b = bank * 64; b < bank * 64 + 64; ++b) Free(b);
  }

  uint8_t* FolderRecord(int position) { return &image[kCore + 0x1000 + 16 * static_cast<size_t>(position)]; }
  // index 0xFFFF: a folder without index block.
  void AddFolder(const char* name, unsigned index = 0xFFFF, uint8_t status = 0xB7) {
    uint8_t* r = FolderRecord(folderCount++);
    r[0] = status;
    std::memcpy(r + 1, name, 4);
    r[5] = 0x21;
    r[8] = static_cast<uint8_t>(index);
    r[9] = static_cast<uint8_t>(index >> 8);
    r[10] = 0x34;
    r[11] = 0x12;
  }
  unsigned FolderIndexField(int position) { return FolderRecord(position)[8] | FolderRecord(position)[9] << 8; }

  uint8_t* Block(int block) { return &image[static_cast<size_t>(block) * 512]; }
  unsigned U16(size_t offset) const { return image[offset] | image[offset + 1] << 8; }
  std::vector<uint8_t> EntryBytes(int block) {
    uint8_t* e = Entry(block);
    return {e[0], e[1], e[2]};
  }
};

}  // namespace rq4800::test
