#pragma once
// Synthetic flash images for the storage tests: an erased image with the core
// area at 0x4000, folders and used blocks placed by the test, and readers for
// the stored records written from the stored layout, not through the code.
#include <algorithm>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
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

// Every folder and file as a reader of the flash finds them, taken from the
// stored layout: each folder's record and index block, and for each file its
// name block and its data (a program's banks; otherwise the chain followed
// through the block table for the stored length).
struct StoredFolder {
  Bytes record, index;
  std::vector<Bytes> files;  // name block, then data
};
inline std::map<std::string, StoredFolder> ReadBack(const Bytes& image) {
  const size_t core = image[0x4000] == '*' ? 0x4000 : 0x6000;
  auto block = [&image](unsigned field) { return Slice(&image[(field & 0x3FF) * 512], 512); };
  auto next = [&](unsigned b) { return image[core + 0x400 + 3 * b] | (image[core + 0x401 + 3 * b] & 3) << 8; };
  std::map<std::string, StoredFolder> folders;
  for (size_t r = core + 0x1000; r < core + 0x1800 && image[r] != 0xFF; r += 16) {
    StoredFolder& folder = folders[std::string(&image[r + 1], &image[r + 5])];
    folder.record = Slice(&image[r], 16);
    const unsigned indexField = image[r + 8] | image[r + 9] << 8;
    if (indexField == 0xFFFF) continue;
    folder.index = block(indexField);
    for (size_t f = 0; f < 512 && folder.index[f] != 0xFF; f += 16) {
      const uint8_t* file = &folder.index[f];
      const unsigned first = file[8] | file[9] << 8, name = file[10] | file[11] << 8, size = file[6] | file[7] << 8;
      Bytes stored = name == 0xFFFF ? Bytes() : block(name);
      if (first != 0xFFFF && file[5] == 0x06) {
        const size_t at = (first & 0x3FF) * 512, end = std::min(image.size(), at + file[6] * size_t{32768});
        stored.insert(stored.end(), image.begin() + static_cast<long>(at), image.begin() + static_cast<long>(end));
      } else if (first != 0xFFFF) {
        unsigned b = first & 0x3FF;
        for (unsigned left = size; left > 0 && b != 1023; b = next(b), left -= std::min(left, 512u)) {
          Bytes data = block(b);
          stored.insert(stored.end(), data.begin(), data.begin() + std::min(left, 512u));
        }
      }
      folder.files.push_back(stored);
    }
  }
  return folders;
}

// After one download into folder target: every other folder reads back
// unchanged, and target holds all its old files and one more.
inline void ExpectOthersKept(const std::map<std::string, StoredFolder>& before,
                             const std::map<std::string, StoredFolder>& after, const std::string& target) {
  ASSERT_EQ(after.size(), before.size());
  for (const auto& [name, old] : before) {
    SCOPED_TRACE(name);
    const auto now = after.find(name);
    ASSERT_NE(now, after.end());
    if (name != target) {
      EXPECT_TRUE(now->second.record == old.record && now->second.index == old.index && now->second.files == old.files);
    } else {
      ASSERT_EQ(now->second.files.size(), old.files.size() + 1);
      EXPECT_TRUE(std::equal(old.files.begin(), old.files.end(), now->second.files.begin()));
    }
  }
}

}  // namespace rq4800::test
