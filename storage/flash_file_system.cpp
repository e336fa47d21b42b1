#include "storage/flash_file_system.h"

#include <algorithm>
#include <cstring>

namespace rq4800 {

using namespace flashfs;

void FlashFileSystem::Scan() {
  folderCount = 0;
  freeBlockCount = 0;
  inUseListedFree = 0;
  if (!image) {
    for (bool& flag : bankFree) flag = false;
    return;
  }
  coreOffset = image[kCoreAtFirst] == '*' ? kCoreAtFirst : kCoreAtSecond;
  const uint8_t* table = Core() + kBlockTableOffset;
  for (int b = 0; b < kBlockCount; ++b) {
    const uint8_t* entry = table + 3 * b;
    BlockState& state = blocks[b];
    state.next = static_cast<uint16_t>(entry[0] + 256 * (entry[1] & 3));
    state.position = entry[2];
    state.free = entry[0] == 0xFF && entry[1] == 0xFF && entry[2] == 0xFF;
    if (state.free) ++freeBlockCount;
  }
  for (int k = 0; k < kBankCount; ++k) {
    bool all = true;
    for (int b = k * kBlocksPerBank; b < (k + 1) * kBlocksPerBank; ++b) all = all && blocks[b].free;
    bankFree[k] = all;
  }
  folderCount = ParseRecords(Core() + kDirectoryOffset, kMaxFolders, folders);
}

int FlashFileSystem::ParseRecords(const uint8_t* records, int max, ParsedRecord* out) {
  int count = 0;
  for (; count < max; ++count) {
    const uint8_t* record = records + count * kRecordSize;
    if (record[0] == 0xFF) break;
    ParsedRecord& parsed = out[count];
    parsed.indexBlock = static_cast<uint32_t>(record[8] | record[9] << 8);
    parsed.secondBlock = static_cast<uint32_t>(record[10] | record[11] << 8);
    parsed.status = record[0];
    parsed.attribute = record[5];
    std::memcpy(parsed.name, record + 1, 4);
    parsed.name[4] = '\0';
    parsed.position = count;
  }
  return count;
}

int FlashFileSystem::FindFree(int n, std::vector<int>& out, bool byBank) {
  out.clear();
  if (n <= 0) return 0;
  if (byBank) {
    // Programs take the highest free banks: scan downwards, so a run that
    // reaches the required length ends at its lowest bank.
    int count = 0;
    for (int k = kBankCount - 1; k >= 0; --k) {
      count = bankFree[k] ? count + 1 : 0;
      if (count == n) {
        out.push_back(k);
        return n;
      }
    }
    return count;
  }
  int run = 0;
  for (int b = 0; b < kBlockCount; ++b) {
    run = blocks[b].free ? run + 1 : 0;
    if (run == n) {
      for (int i = b - n + 1; i <= b; ++i) out.push_back(i);
      return n;
    }
  }
  for (int i = kBlockCount - run; i < kBlockCount; ++i) out.push_back(i);
  return run;
}

void FlashFileSystem::WriteBlockEntry(int block, uint8_t b0, uint8_t b1, uint8_t b2) {
  uint8_t* entry = Core() + kBlockTableOffset + 3 * (block & 0x3FF);
  entry[0] = b0;
  entry[1] = b1;
  entry[2] = b2;
}

const ParsedRecord* FlashFileSystem::FindFolder(std::string_view name) const {
  for (int i = 0; i < folderCount; ++i) {
    if (folders[i].Name() == name) return &folders[i];
  }
  return nullptr;
}

ParsedRecord* FlashFileSystem::FindFolder(std::string_view name) {
  return const_cast<ParsedRecord*>(static_cast<const FlashFileSystem*>(this)->FindFolder(name));
}

void FlashFileSystem::ReserveBlock(int block) {
  block &= 0x3FF;
  if (blocks[block].free) {
    blocks[block].free = false;
    --freeBlockCount;
  }
  bankFree[block / kBlocksPerBank] = false;
}

void FlashFileSystem::ReserveBlocksInUse() {
  if (!image) return;
  auto reserve = [this](int block) {
    block &= 0x3FF;
    if (blocks[block].free) ++inUseListedFree;
    ReserveBlock(block);
  };
  for (int b = coreOffset / kBlockSize; b <= (coreOffset + kCoreAreaSize - 1) / kBlockSize; ++b) reserve(b);
  // A chain never leads into free space; a link that does means the table
  // lost the entry of a block some file still holds.
  for (int b = 0; b < kBlockCount; ++b) {
    if (!blocks[b].free && blocks[b].next != kNoBlock) reserve(blocks[b].next);
  }
  for (int i = 0; i < folderCount; ++i) {
    if (!folders[i].HasIndexBlock()) continue;
    const int indexBlock = folders[i].IndexBlock();
    reserve(indexBlock);
    ParsedRecord files[kMaxFilesPerFolder];
    const int count = ParseRecords(Block(indexBlock), kMaxFilesPerFolder, files);
    for (int f = 0; f < count; ++f) {
      const ParsedRecord& file = files[f];
      if (file.HasIndexBlock()) {
        const int first = file.IndexBlock();
        // A program (type 0x06) holds whole banks: their count is byte 6.
        const int banks = file.attribute == 0x06 ? Block(indexBlock)[f * kRecordSize + 6] : 0;
        const int last = std::min(kBlockCount - 1, first + banks * kBlocksPerBank - 1);
        reserve(first);
        for (int b = first + 1; b <= last; ++b) reserve(b);
      }
      if (file.secondBlock != kNoIndexBlock) reserve(static_cast<int>(file.secondBlock));
    }
  }
}

namespace download {
DownloadResult Result(int code) {
  switch (code) {
    case kOk: return {code, "stored"};
    case kNoFolder: return {code, "the device has no folder for this file type"};
    case kNoSpace: return {code, "not enough free space in the flash"};
    case kFolderFull: return {code, "the folder already holds 32 files"};
    case kTooLarge: return {code, "file too large for the device's file records"};
    case kEmptyFile: return {code, "empty file, nothing to store"};
    case kUnreadable: return {code, "cannot read the file"};
    case kNotAFileType: return {code, "not a file type the device takes"};
    case kBadImageSize: return {code, "a flash image must be exactly 524288 bytes"};
    case kNoSafeSpace:
      return {code, "not enough free space: the flash's block table calls blocks in use free, and they are not taken"};
    default: return {code, "unknown result"};
  }
}
}  // namespace download

}  // namespace rq4800
