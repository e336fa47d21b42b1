#pragma once
// Synthetic flash images for the storage tests: an erased image with the core
// area at 0x4000, folders and used blocks placed by the test, and readers for
// the stored records written from the stored layout, not through the code.
#include <cstdint>
#include <cstring>
#include <vector>

#include "storage/flash_file_system.h"

namespace rq4800::test {

using Bytes = std::vector<uint8_t>;
inline Bytes Slice(const uint8_t* at, size_t n) { return Bytes(at, at + n); }

struct FlashBuilder {
  Bytes image = Bytes(524288, 0xFF);
  FlashFileSystem fs;
  int folderCount = 0;

  FlashBuilder() { image[0x4000] = '*', fs.image = image.data(); }
  uint8_t* Entry(int block) { return &image[0x4400 + 3 * static_cast<size_t>(block)]; }
  Bytes EntryBytes(int block) { return Slice(Entry(block), 3); }
  void Use(int first, int last) {
    for (int b = first; b <= last; ++b) Entry(b)[0] = 0xFF, Entry(b)[1] = 0xE3, Entry(b)[2] = 0xE7;
  }
  void Free(int first, int last) { std::memset(Entry(first), 0xFF, 3 * static_cast<size_t>(last - first + 1)); }
  uint8_t* FolderRecord(int position) { return &image[0x5000 + 16 * static_cast<size_t>(position)]; }
  // index 0xFFFF: a folder without index block. The field at +10 holds 0x1234.
  void AddFolder(const char* name, unsigned index = 0xFFFF, uint8_t status = 0xB7) {
    uint8_t* r = FolderRecord(folderCount++);
    r[0] = status, r[5] = 0x21, r[10] = 0x34, r[11] = 0x12;
    std::memcpy(r + 1, name, 4);
    r[8] = static_cast<uint8_t>(index), r[9] = static_cast<uint8_t>(index >> 8);
  }
  uint8_t* Block(int block) { return &image[static_cast<size_t>(block) * 512]; }
  unsigned U16(size_t offset) const { return image[offset] | image[offset + 1] << 8; }
};

}  // namespace rq4800::test
