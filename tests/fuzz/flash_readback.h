#pragma once
// Reads the device's file system back out of a flash image, straight from the
// stored layout and without FlashFileSystem, and judges a download by what it
// left in the image: a stored file must be there in full, with every older
// file and folder as it was; a refused one must leave nothing behind but an
// index block given to its folder.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_check.h"

namespace rq4800::fuzz {

constexpr size_t kImageSize = 524288;
constexpr int kBlock = 512;
constexpr int kCoreAreaSize = 0x1800;  // header, block table, folder directory

inline unsigned U16At(const uint8_t* p) { return p[0] | p[1] << 8; }
inline int CoreOf(const uint8_t* image) { return image[0x4000] == '*' ? 0x4000 : 0x6000; }
inline const uint8_t* EntryOf(const uint8_t* image, int block) { return image + CoreOf(image) + 0x400 + 3 * block; }
inline size_t EntryOffset(const uint8_t* image, int block) { return static_cast<size_t>(CoreOf(image) + 0x400 + 3 * block); }
inline bool IsFree(const uint8_t* image, int block) {
  const uint8_t* e = EntryOf(image, block);
  return e[0] == 0xFF && e[1] == 0xFF && e[2] == 0xFF;
}
inline int NextOf(const uint8_t* image, int block) { return EntryOf(image, block)[0] | (EntryOf(image, block)[1] & 3) << 8; }
inline int CountRecords(const uint8_t* list, int max) {
  int n = 0;
  while (n < max && list[n * 16] != 0xFF) ++n;
  return n;
}

struct FolderView {
  int position = 0;
  std::string name;
  int indexBlock = -1;  // -1: none yet
};

inline std::vector<FolderView> ReadFolders(const uint8_t* image) {
  const uint8_t* directory = image + CoreOf(image) + 0x1000;
  std::vector<FolderView> folders;
  for (int i = 0, n = CountRecords(directory, 128); i < n; ++i) {
    const uint8_t* r = directory + 16 * i;
    folders.push_back({i, std::string(reinterpret_cast<const char*>(r + 1), 4),
                       U16At(r + 8) == 0xFFFF ? -1 : static_cast<int>(U16At(r + 8) & 0x3FF)});
  }
  return folders;
}

inline const FolderView* FindFolder(const std::vector<FolderView>& folders, const std::string& name) {
  for (const FolderView& f : folders)
    if (f.name == name) return &f;
  return nullptr;
}

// The ".txt" stream as the device reads it: line count, row count, 0x0A, the
// text, FF FF.
inline std::vector<uint8_t> TextStreamOf(const std::string& text) {
  unsigned lines = 0, rows = 0;
  long long q = 0;
  for (size_t p = 0; p < text.size(); ++p) {
    if (text[p] != '\n') continue;
    ++lines;
    rows += static_cast<unsigned>((static_cast<long long>(p) - q + 19) / 10);
    q = static_cast<long long>(p) + 2;
  }
  std::vector<uint8_t> s(text.size() + 7, 0xFF);
  s[0] = static_cast<uint8_t>(lines), s[1] = static_cast<uint8_t>(lines >> 8);
  s[2] = static_cast<uint8_t>(rows), s[3] = static_cast<uint8_t>(rows >> 8), s[4] = 0x0A;
  std::memcpy(s.data() + 5, text.data(), text.size());
  return s;
}

// What one download was asked to store.
struct FileToStore {
  std::string folder;            // "bin ", "txt ", "bas ", "udf "
  std::vector<uint8_t> stored;   // the bytes the data blocks must hold
  std::string name;              // device name bytes; unused for programs
  std::string extension;         // ".BAS" / ".SKI"; empty for texts and programs
  bool program = false;          // ".bin": whole 32 KB banks
};

// The name field of a name block: a prefix of the name (cut at most one
// character short of the room), then the extension, then blanks.
inline void CheckNameField(const uint8_t* block, const FileToStore& file) {
  const bool text = file.extension.empty();
  FUZZ_REQUIRE(block[0] == 0x67 && block[1] == (text ? 0x40 : 0x12) && block[2] == 0x00);
  const size_t room = text ? 31 : 12;
  const size_t fieldEnd = text ? 31 : 16;
  const char* field = reinterpret_cast<const char*>(block + 3);
  size_t kept = std::min(room, file.name.size());
  while (kept > 0 && std::memcmp(field, file.name.data(), kept) != 0) --kept;
  if (!text) {
    // The extension follows the kept part directly; try the longest fit.
    while (kept > 0 && std::memcmp(field + kept, file.extension.data(), 4) != 0) --kept;
    FUZZ_REQUIRE(std::memcmp(field + kept, file.extension.data(), 4) == 0);
  }
  // Only a two-byte character that would not fit whole may be left out.
  FUZZ_REQUIRE(kept == std::min(room, file.name.size()) || (file.name.size() > room && kept + 1 == room));
  for (size_t i = kept + file.extension.size(); i < fieldEnd; ++i) FUZZ_REQUIRE(field[i] == ' ');
  if (text) {
    FUZZ_REQUIRE(block[34] == 0xFF);
    for (int i = 35; i < 67; ++i) FUZZ_REQUIRE(block[i] == ' ');
  } else {
    FUZZ_REQUIRE(U16At(block + 19) == file.stored.size());
  }
}

// Judges one download given the image before and after it and its result.
inline void CheckDownload(const uint8_t* before, const uint8_t* after, int code, const FileToStore& file) {
  std::vector<std::pair<size_t, size_t>> allowed;  // (offset, length) the download may change
  auto allow = [&](size_t offset, size_t length) { allowed.emplace_back(offset, length); };
  const int core = CoreOf(before);
  const std::vector<FolderView> folders = ReadFolders(before);
  const FolderView* folder = FindFolder(folders, file.folder);
  const size_t folderRecord = static_cast<size_t>(core + 0x1000 + 16 * (folder ? folder->position : 0));

  // Giving the folder its index block is the one change a refusal may leave.
  int newIndex = -1;
  if (folder && folder->indexBlock < 0 && CoreOf(after) == core && U16At(after + folderRecord + 8) != 0xFFFF) {
    newIndex = static_cast<int>(U16At(after + folderRecord + 8) & 0x3FF);
    FUZZ_REQUIRE((U16At(after + folderRecord + 8) & 0xFC00) == 0x1C00 && after[folderRecord] == 0xB5);
    FUZZ_REQUIRE(IsFree(before, newIndex));
    const uint8_t* e = after + EntryOffset(before, newIndex);
    FUZZ_REQUIRE(e[0] == 0xFF && e[1] == 0xFB && e[2] == 0xE6);
    allow(folderRecord, 1), allow(folderRecord + 8, 2), allow(EntryOffset(before, newIndex), 3);
  }
  std::vector<int> taken;  // blocks the new file and its folder took
  if (newIndex >= 0) taken.push_back(newIndex);

  if (code != 0) {
    if (code == -1) FUZZ_REQUIRE(folder == nullptr);
    if (code == -4) FUZZ_REQUIRE(folder && CountRecords(after + (newIndex >= 0 ? newIndex : folder->indexBlock) * kBlock, 32) == 32);
    if (code == -5) FUZZ_REQUIRE(!file.program && file.stored.size() > 0xFFFF);
    if (code == -6) FUZZ_REQUIRE(file.stored.empty());
    FUZZ_REQUIRE(code == -1 || code == -3 || code == -4 || code == -5 || code == -6 || code == -10);
  } else {
    FUZZ_REQUIRE(folder != nullptr);
    FUZZ_REQUIRE(CoreOf(after) == core);
    FUZZ_REQUIRE(ReadFolders(after).size() == folders.size());
    const int index = newIndex >= 0 ? newIndex : folder->indexBlock;
    FUZZ_REQUIRE(index >= 0);
    const int oldCount = CountRecords(before + index * kBlock, 32);
    FUZZ_REQUIRE(oldCount < 32);
    FUZZ_REQUIRE(CountRecords(after + index * kBlock, 32) == oldCount + 1);
    const uint8_t* record = after + index * kBlock + 16 * oldCount;
    allow(static_cast<size_t>(index * kBlock + 16 * oldCount), 16);
    char sequence[16];
    std::snprintf(sequence, sizeof sequence, "%04d", oldCount + 1);
    FUZZ_REQUIRE(record[0] == 0xF1 && std::memcmp(record + 1, sequence, 4) == 0);
    FUZZ_REQUIRE(record[5] == (file.program ? 0x06 : 0x07));
    FUZZ_REQUIRE((U16At(record + 8) & 0xFC00) == 0x1C00);
    FUZZ_REQUIRE(U16At(record + 12) == 0x033F && U16At(record + 14) == 0xEE00);
    const int first = static_cast<int>(U16At(record + 8) & 0x3FF);

    const size_t size = file.stored.size();
    const int dataBlocks = file.program ? static_cast<int>((size + 32767) / 32768) * 64
                                        : static_cast<int>((size + kBlock - 1) / kBlock);
    if (file.program) {
      FUZZ_REQUIRE(first % 64 == 0 && record[6] == dataBlocks / 64 && record[7] == 0 && U16At(record + 10) == 0xFFFF);
      FUZZ_REQUIRE(first + dataBlocks <= 1024);
      FUZZ_REQUIRE(std::memcmp(after + first * kBlock, file.stored.data(), size) == 0);
      allow(static_cast<size_t>(first) * kBlock, size);
    } else {
      FUZZ_REQUIRE(U16At(record + 6) == size);
      FUZZ_REQUIRE((U16At(record + 10) & 0xFC00) == 0x1C00);
    }
    // Follow the chain: every block of the file, in order, ending in 1023.
    int block = first;
    for (int i = 0; i < dataBlocks; ++i) {
      FUZZ_REQUIRE(block >= 0 && block < 1023);
      taken.push_back(block);
      allow(EntryOffset(before, block), 3);
      if (!file.program) {
        const size_t offset = static_cast<size_t>(i) * kBlock;
        const size_t length = std::min<size_t>(kBlock, size - offset);
        FUZZ_REQUIRE(std::memcmp(after + block * kBlock, file.stored.data() + offset, length) == 0);
        allow(static_cast<size_t>(block) * kBlock, length);
      }
      const int next = NextOf(after, block);
      if (i == dataBlocks - 1) FUZZ_REQUIRE(next == 1023);
      block = next;
    }
    if (!file.program) {
      const int nameBlock = static_cast<int>(U16At(record + 10) & 0x3FF);
      taken.push_back(nameBlock);
      CheckNameField(after + nameBlock * kBlock, file);
      allow(static_cast<size_t>(nameBlock) * kBlock, file.extension.empty() ? 67 : 21);
      allow(EntryOffset(before, nameBlock), 3);
    }
    // The blocks taken were free, and none of them is the file system's own:
    // its tables, or another folder's index block.
    std::vector<int> sorted = taken;
    std::sort(sorted.begin(), sorted.end());
    FUZZ_REQUIRE(std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end());
    for (int b : taken) {
      FUZZ_REQUIRE(IsFree(before, b));
      FUZZ_REQUIRE(b * kBlock + kBlock <= core || b * kBlock >= core + kCoreAreaSize);
      for (const FolderView& f : folders) FUZZ_REQUIRE(f.indexBlock != b);
    }
  }
  // Block by block, and byte by byte only where a block differs, sweeping
  // the allowed ranges in order alongside.
  std::sort(allowed.begin(), allowed.end());
  size_t range = 0;
  for (size_t b = 0; b < kImageSize; b += kBlock) {
    if (std::memcmp(before + b, after + b, kBlock) == 0) continue;
    for (size_t i = b; i < b + kBlock; ++i) {
      if (before[i] == after[i]) continue;
      while (range < allowed.size() && allowed[range].first + allowed[range].second <= i) ++range;
      bool inside = false;
      for (size_t r = range; r < allowed.size() && allowed[r].first <= i && !inside; ++r)
        inside = i - allowed[r].first < allowed[r].second;
      FUZZ_REQUIRE(inside);
    }
  }
}

}  // namespace rq4800::fuzz
