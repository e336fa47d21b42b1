// Writing PC files into the device's file system as the firmware stores them:
// a file record in the folder's index block, block-table chains, and for
// texts, BASIC programs and skins a name block after the data.
#include <algorithm>
#include <cstring>

#include "core/debug_log.h"
#include "storage/flash_file_system.h"
#include "storage/text_encoding.h"

namespace rq4800 {

using namespace flashfs;
using download::Result;

namespace {

constexpr size_t kMaxField16 = 0xFFFF;
constexpr uint8_t kFileRecordStatus = 0xF1;
constexpr uint8_t kFolderWithIndexStatus = 0xB5;

// Short of space: when the table called blocks in use free, the user learns
// that the flash's tables are in disorder rather than only that it is full.
DownloadResult NoSpace(const FlashFileSystem& fs) {
  return Result(fs.inUseListedFree > 0 ? download::kNoSafeSpace : download::kNoSpace);
}

void Put16(uint8_t* at, unsigned value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

// Big5 and GBK both mark the first byte of a two-byte character with a value
// of 0x81 or more; a name is cut before a character, never inside one.
std::string_view CutAtCharacter(std::string_view name, size_t maxBytes) {
  size_t end = 0;
  while (end < name.size()) {
    size_t length = static_cast<uint8_t>(name[end]) >= 0x81 && end + 1 < name.size() ? 2 : 1;
    if (end + length > maxBytes) break;
    end += length;
  }
  return name.substr(0, end);
}

// The record the download appends to the folder's index block.
struct FileRecord {
  uint8_t type = 0;
  uint16_t sizeField = 0;   // +6
  uint16_t firstBlock = 0;  // +8
  uint16_t nameBlock = 0;   // +10
};

void WriteFileRecord(uint8_t* record, int sequence, const FileRecord& file) {
  record[0] = kFileRecordStatus;
  // Four decimal digits: at most 32 files, so 0001..0032.
  for (int i = 4; i >= 1; --i, sequence /= 10) record[i] = static_cast<uint8_t>('0' + sequence % 10);
  record[5] = file.type;
  Put16(record + 6, file.sizeField);
  Put16(record + 8, file.firstBlock);
  Put16(record + 10, file.nameBlock);
  Put16(record + 12, 0x033F);
  Put16(record + 14, 0xEE00);
}

// Writes the data blocks' chain: one block alone, or first, middle and last.
// Kinds differ for programs (0xEC) and stored files (0xF0).
void ChainBlocks(FlashFileSystem& fs, const int* run, int count, uint8_t kind, uint8_t lastKind,
                 uint8_t onlyPosition) {
  for (int i = 0; i < count; ++i) {
    if (i == count - 1) {
      fs.WriteBlockEntry(run[i], 0xFF, lastKind, count == 1 ? onlyPosition : 0xE7);
    } else {
      int next = run[i + 1];
      fs.WriteBlockEntry(run[i], static_cast<uint8_t>(next & 0xFF), static_cast<uint8_t>(kind | (next >> 8)),
                         i == 0 ? 0xE0 : 0xE1);
    }
  }
}

// Gives a folder without index block the block given: the device marks
// such a folder 0xB5 and keeps the block number with the bits 0x1C00.
void AssignIndexBlock(FlashFileSystem& fs, ParsedRecord& folder, int block) {
  uint8_t* record = fs.Core() + kDirectoryOffset + folder.position * kRecordSize;
  unsigned field = static_cast<unsigned>(block) | kBlockFieldBits;
  record[0] = kFolderWithIndexStatus;
  Put16(record + 8, field);
  fs.WriteBlockEntry(block, 0xFF, 0xFB, 0xE6);
  folder.status = kFolderWithIndexStatus;
  folder.indexBlock = field;
  fs.ReserveBlock(block);
}

// Steps shared by texts and named files once the stored bytes are known;
// writeNameBlock fills the name block, which follows the data blocks.
template <typename WriteNameBlock>
DownloadResult StoreInBlocks(FlashFileSystem& fs, const std::vector<uint8_t>& stored, std::string_view folderName,
                             WriteNameBlock writeNameBlock) {
  fs.Scan();
  ParsedRecord* folder = fs.FindFolder(folderName);
  if (!folder) return Result(download::kNoFolder);
  fs.ReserveBlocksInUse();

  const int dataBlocks = static_cast<int>((stored.size() + kBlockSize - 1) / kBlockSize);
  const int needed = dataBlocks + 1;  // and the name block
  if (fs.freeBlockCount < needed) return NoSpace(fs);

  std::vector<int> run;
  if (folder->HasIndexBlock()) {
    if (fs.FindFree(needed, run, false) < needed) return NoSpace(fs);
  } else {
    if (fs.FindFree(needed + 1, run, false) < needed + 1) return NoSpace(fs);
    AssignIndexBlock(fs, *folder, run[needed]);
  }
  const int indexBlock = folder->IndexBlock();
  DebugLog("start %x\n", indexBlock * kBlockSize);

  uint8_t* index = fs.Block(indexBlock);
  ParsedRecord files[kMaxFilesPerFolder];
  int count = FlashFileSystem::ParseRecords(index, kMaxFilesPerFolder, files);
  if (count == kMaxFilesPerFolder) return Result(download::kFolderFull);

  const int nameBlockNumber = run[needed - 1];
  FileRecord record;
  record.type = 0x07;
  record.sizeField = static_cast<uint16_t>(stored.size());
  record.firstBlock = static_cast<uint16_t>(run[0] | kBlockFieldBits);
  record.nameBlock = static_cast<uint16_t>(nameBlockNumber | kBlockFieldBits);
  WriteFileRecord(index + count * kRecordSize, count + 1, record);

  writeNameBlock(fs.Block(nameBlockNumber));
  fs.WriteBlockEntry(nameBlockNumber, 0xFF, 0xF7, 0xE6);

  for (int i = 0; i < dataBlocks; ++i) {
    size_t offset = static_cast<size_t>(i) * kBlockSize;
    size_t length = std::min<size_t>(kBlockSize, stored.size() - offset);
    std::memcpy(fs.Block(run[i]), stored.data() + offset, length);
  }
  ChainBlocks(fs, run.data(), dataBlocks, 0xF0, 0xF3, 0xE6);
  return Result(download::kOk);
}

}  // namespace

DownloadResult FlashFileSystem::DownloadBin(const uint8_t* data, size_t size) {
  if (size == 0) return Result(download::kEmptyFile);
  Scan();
  const size_t bankCount = (size + kBankSize - 1) / kBankSize;
  if (bankCount > static_cast<size_t>(kBankCount)) return Result(download::kNoSpace);
  const int banks = static_cast<int>(bankCount);
  ReserveBlocksInUse();

  std::vector<int> found;
  if (FindFree(banks, found, true) < banks) return NoSpace(*this);
  ParsedRecord* folder = FindFolder("bin ");
  if (!folder) return Result(download::kNoFolder);

  if (!folder->HasIndexBlock()) {
    std::vector<int> block;
    if (FindFree(1, block, false) < 1) return NoSpace(*this);
    AssignIndexBlock(*this, *folder, block[0]);
    // The new index block may sit in a bank that looked free: pick again.
    if (FindFree(banks, found, true) < banks) return NoSpace(*this);
  }
  const int indexBlock = folder->IndexBlock();
  DebugLog("start %x\n", indexBlock * kBlockSize);

  uint8_t* index = Block(indexBlock);
  ParsedRecord files[kMaxFilesPerFolder];
  int count = ParseRecords(index, kMaxFilesPerFolder, files);
  if (count == kMaxFilesPerFolder) return Result(download::kFolderFull);

  const int firstBlock = found[0] * kBlocksPerBank;
  FileRecord record;
  record.type = 0x06;
  record.sizeField = static_cast<uint16_t>(banks);
  record.firstBlock = static_cast<uint16_t>(firstBlock | kBlockFieldBits);
  record.nameBlock = 0xFFFF;
  WriteFileRecord(index + count * kRecordSize, count + 1, record);

  std::memcpy(Block(firstBlock), data, size);
  std::vector<int> chain(static_cast<size_t>(banks) * kBlocksPerBank);
  for (size_t i = 0; i < chain.size(); ++i) chain[i] = firstBlock + static_cast<int>(i);
  ChainBlocks(*this, chain.data(), static_cast<int>(chain.size()), 0xEC, 0xEF, 0xE7);
  return Result(download::kOk);
}

DownloadResult FlashFileSystem::DownloadText(const uint8_t* data, size_t size, std::string_view name) {
  // GBK takes at least one byte for every four of UTF-8: past this, no text
  // can fit, converted or not.
  if (size / 4 > kMaxField16) return Result(download::kTooLarge);
  // The device reads its texts as GBK: one written in UTF-8 is stored
  // converted, anything else byte for byte.
  GbkText gbk;
  const bool convert = IsUtf8BeyondAscii(data, size);
  if (convert) {
    gbk = Utf8ToGbk(data, size);
    data = gbk.bytes.data();
    size = gbk.bytes.size();
  }
  // The stored length (the text as stored and its 7 bytes of frame) is a
  // 16-bit field.
  if (size > kMaxField16 - 7) return Result(download::kTooLarge);
  std::string_view cut = CutAtCharacter(name, 31);
  DownloadResult result = StoreInBlocks(*this, BuildTextStream(data, size), "txt ", [cut](uint8_t* block) {
    block[0] = 0x67;
    block[1] = 0x40;  // length of the name field
    block[2] = 0x00;
    std::memset(block + 3, ' ', 64);
    std::memcpy(block + 3, cut.data(), cut.size());
    block[34] = 0xFF;  // end mark after 31 bytes of name
  });
  if (convert && result.Ok()) {
    result.message = "stored, converted from UTF-8 to GBK";
    result.replaced = gbk.replaced;
  }
  return result;
}

DownloadResult FlashFileSystem::DownloadNamed(const uint8_t* data, size_t size, std::string_view name,
                                              std::string_view folder, std::string_view extension) {
  if (size == 0) return Result(download::kEmptyFile);
  if (size > kMaxField16) return Result(download::kTooLarge);
  std::string_view cut = CutAtCharacter(name, 12);
  std::string_view ext = extension.substr(0, 4);
  return StoreInBlocks(*this, std::vector<uint8_t>(data, data + size), folder, [cut, ext, size](uint8_t* block) {
    block[0] = 0x67;
    block[1] = 0x12;  // length of the name field
    block[2] = 0x00;
    std::memset(block + 3, ' ', 16);
    std::memcpy(block + 3, cut.data(), cut.size());
    std::memcpy(block + 3 + cut.size(), ext.data(), ext.size());
    Put16(block + 19, static_cast<unsigned>(size));
  });
}

}  // namespace rq4800
