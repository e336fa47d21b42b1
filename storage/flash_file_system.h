#pragma once
// The host-side view of the device's file system inside its 512 KB flash.
//
//   flash image: 1024 blocks of 512 bytes; bank k = blocks 64k .. 64k+63 (32 KB)
//   core area:   image offset 0x4000 when that byte is '*', else 0x6000
//     +0x000  '*'
//     +0x07A  model byte: family in bits 4-7, model number bits 8-11 in bits 0-3
//     +0x07B  model number bits 0-7
//     +0x07D  region letter ('J', 'H', other)
//     +0x400  block table, 1024 entries of 3 bytes:
//             bits 0-9 next block (1023 = none), 10-15 kind, 16-23 position;
//             FF FF FF = free
//     +0x1000 folder directory, up to 128 records of 16 bytes, 0xFF ends it
//
//   record (folder or file, 16 bytes): status, 4-byte name, attribute,
//   2 unread, index/first block at +8, second block field at +10, 4 unread.
//   A folder's index block holds up to 32 file records in the same list form.
//
// The parsed view is a snapshot: every operation rescans first, because the
// firmware may have rewritten its tables since the last call. Every offset the
// code forms comes from a 10-bit block number or a bounded record index, so
// whatever bytes the image holds, nothing is read or written outside it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rq4800 {

namespace flashfs {
constexpr int kBlockSize = 512;
constexpr int kBlockCount = 1024;
constexpr int kBankCount = 16;
constexpr int kBlocksPerBank = 64;
constexpr int kBankSize = kBlockSize * kBlocksPerBank;  // 32768
constexpr size_t kImageSize = static_cast<size_t>(kBlockSize) * kBlockCount;
constexpr int kNoBlock = 1023;        // "no next block" in a chain
constexpr int kCoreAtFirst = 0x4000;  // core area when '*' marks it
constexpr int kCoreAtSecond = 0x6000;
constexpr int kBlockTableOffset = 0x400;
constexpr int kDirectoryOffset = 0x1000;
constexpr int kRecordSize = 16;
constexpr int kMaxFolders = 128;
constexpr int kCoreAreaSize = kDirectoryOffset + kMaxFolders * kRecordSize;  // header to directory end
constexpr int kMaxFilesPerFolder = 32;
constexpr uint32_t kNoIndexBlock = 0xFFFF;
constexpr uint16_t kBlockFieldBits = 0x1C00;  // set on every block field the host writes
}  // namespace flashfs

// One parsed folder or file record.
struct ParsedRecord {
  uint32_t indexBlock = 0;   // 16-bit field at +8 (0xFFFF: a folder without index block)
  uint32_t secondBlock = 0;  // 16-bit field at +10
  uint8_t status = 0;
  uint8_t attribute = 0;
  char name[5] = {};  // four characters and a terminator
  int position = 0;   // record number in its list, to write the record back

  std::string_view Name() const { return std::string_view(name, 4); }
  bool HasIndexBlock() const { return indexBlock != flashfs::kNoIndexBlock; }
  int IndexBlock() const { return static_cast<int>(indexBlock & 0x3FF); }
};

struct BlockState {
  uint16_t next = 0;      // 10 bits
  uint8_t position = 0;
  bool free = false;
};

// What a download returns: the device's small result code and a short
// message for the front ends to show (the device itself reports nothing).
// A UTF-8 text stored in GBK says so in its message; replaced counts its
// characters that GBK lacks and that became '?'.
struct DownloadResult {
  int code = 0;
  const char* message = "";
  int replaced = 0;
  bool Ok() const { return code == 0; }
};

namespace download {
constexpr int kOk = 0;
constexpr int kNoFolder = -1;    // folder missing or empty directory
constexpr int kNoSpace = -3;
constexpr int kFolderFull = -4;  // 32 files already
// The device defines no further codes; these refuse what it would store wrongly
// or cannot store at all.
constexpr int kTooLarge = -5;     // length does not fit its 16-bit record fields
constexpr int kEmptyFile = -6;    // nothing to chain
constexpr int kUnreadable = -7;   // the PC file could not be read
constexpr int kNotAFileType = -8; // no extension, or one the device does not take
constexpr int kBadImageSize = -9; // ".fls" of another size than the flash
constexpr int kNoSafeSpace = -10; // the only free space the table shows is in use
DownloadResult Result(int code);
}  // namespace download

struct FlashFileSystem {
  uint8_t* image = nullptr;  // the machine's 512 KB flash buffer

  // Parsed view, rebuilt by Scan.
  int coreOffset = flashfs::kCoreAtSecond;
  BlockState blocks[flashfs::kBlockCount] = {};
  ParsedRecord folders[flashfs::kMaxFolders] = {};
  int folderCount = 0;
  int freeBlockCount = 0;
  bool bankFree[flashfs::kBankCount] = {};
  int inUseListedFree = 0;  // blocks in use that the table calls free (ReserveBlocksInUse)

  void Scan();
  // Takes every block the file system is known to use out of the parsed free
  // space, whatever the block table says of it: the core area, every folder's
  // index block, every file's first and name blocks (a program's banks
  // whole), and every block that a used entry chains to. Downloads call it
  // after Scan, so a damaged table can never lead them over the tables or
  // another file; the report still shows the table as it is.
  void ReserveBlocksInUse();
  // Reads up to max 16-byte records from the list at records; stops at a
  // record whose first byte is 0xFF.
  static int ParseRecords(const uint8_t* records, int max, ParsedRecord* out);
  // Finds n consecutive free blocks (the lowest run; else the free run that
  // reaches block 1023) or n consecutive wholly free banks (out[0] the lowest
  // bank of the highest run). Returns the length found; the caller compares.
  int FindFree(int n, std::vector<int>& out, bool byBank);

  // The flash information report, to the debug log; FlashInfoReport gives
  // the same text to front ends that show it themselves.
  void PrintInfo();
  std::string FlashInfoReport();

  DownloadResult DownloadBin(const uint8_t* data, size_t size);
  DownloadResult DownloadText(const uint8_t* data, size_t size, std::string_view name);
  // folder "bas " with extension ".BAS", or "udf " with ".SKI".
  DownloadResult DownloadNamed(const uint8_t* data, size_t size, std::string_view name,
                               std::string_view folder, std::string_view extension);

  // Helpers over the image; all take block numbers 0..1023.
  uint8_t* Core() const { return image + coreOffset; }
  uint8_t* Block(int block) const { return image + static_cast<size_t>(block) * flashfs::kBlockSize; }
  void WriteBlockEntry(int block, uint8_t b0, uint8_t b1, uint8_t b2);
  const ParsedRecord* FindFolder(std::string_view name) const;
  ParsedRecord* FindFolder(std::string_view name);
  // Takes a block out of the parsed free space (its bank included), so the
  // searches that follow in the same operation pass it by.
  void ReserveBlock(int block);
};

// The device's text stream of a ".txt" file: line count, row count, 0x0A,
// the bytes, 0xFF 0xFF.
std::vector<uint8_t> BuildTextStream(const uint8_t* data, size_t size);

}  // namespace rq4800
