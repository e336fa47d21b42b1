#pragma once
// Whole-file input and output for every file the user gives the program or
// keeps with it: flash and firmware images, key scripts, PC files to
// download, the settings file.
//
// Reading takes only regular files, whose size is checked before a byte is
// read: a folder, FIFO or device is refused by its type (a FIFO is opened
// without blocking, so it can never hang the program), and at most one byte
// beyond the largest acceptable size is ever read, so /dev/zero or a huge
// file costs nothing. Nothing throws; every refusal carries a full reason.
//
// Writing never touches the old file until the new contents are complete and
// on disk: a temporary file in the target's own folder is written, synced,
// renamed over the target, and the folder is synced. A target that is a
// symbolic link is written through: the file it finally names is replaced in
// its own folder and the link stays a link. A failure leaves the old file as
// it was and no temporary behind.
//
//   FileRead image = ReadImageFile(path, 524288);
//   if (!image.ok()) ReportProblem("%s\n", image.error.c_str());
//   std::string error;
//   if (!WriteFileAtomically(path, image.bytes, &error)) ...
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace rq4800 {

enum class ReadStatus {
  kOk,
  kMissing,    // nothing of that name (a dangling link included)
  kNotAFile,   // a folder, FIFO, device or socket
  kTooLarge,   // more than the largest acceptable size
  kWrongSize,  // ReadImageFile: not exactly the size asked for
  kFailed,     // exists but cannot be opened or read (permissions, I/O error)
};

struct FileRead {
  ReadStatus status = ReadStatus::kFailed;
  std::vector<uint8_t> bytes;  // the whole file when ok()
  std::string error;           // names the file and says why, when not ok()
  bool ok() const { return status == ReadStatus::kOk; }
};

// The whole regular file at path when it holds at most maxBytes.
FileRead ReadInputFile(const std::string& path, size_t maxBytes);

// ReadInputFile for an image of exactly size bytes; any other length is
// kWrongSize ("PATH holds N bytes, not SIZE"), a longer file included.
FileRead ReadImageFile(const std::string& path, size_t size);

// Replaces the contents of path (or of the file its links lead to) with
// bytes, as described above. A target that exists but is not a regular file,
// or that the user has write-protected, is refused. On failure returns false
// with the reason in *error.
bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes, std::string* error);

// Moves path out of the way under the first free name of "PATH.bak",
// "PATH.bak1", "PATH.bak2", ... (an earlier backup is never replaced) and
// syncs its folder. A link is moved as the link; a folder as the folder.
// Returns the new name in *backup, or an empty name when path did not exist;
// false with the reason in *error when it could not be moved.
bool MoveAside(const std::string& path, std::string* backup, std::string* error);

}  // namespace rq4800
