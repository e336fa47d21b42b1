// The one place with the platform's file calls (POSIX): every host the
// program builds on has them, and the guarantees above need them (fsync,
// O_NONBLOCK, O_EXCL, renames that never replace).
#include "core/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

namespace rq4800 {

namespace {

// More link hops than this end in ELOOP, as the kernel's own limit does.
constexpr int kMaxLinkHops = 40;
constexpr int kMaxTemporaryNames = 100;
constexpr int kMaxBackups = 1000;

std::string ErrnoText(int error) { return std::strerror(error); }

// "dir/" of "dir/name", "" for a bare name.
std::string FolderPart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

FileRead Refused(ReadStatus status, std::string error) {
  FileRead read;
  read.status = status;
  read.error = std::move(error);
  return read;
}

FileRead NotAFile(const std::string& path, mode_t mode) {
  return Refused(ReadStatus::kNotAFile, path + " is " + KindOf(mode) + ", not a file that can be read");
}

FileRead TooLarge(const std::string& path, uint64_t size, size_t maxBytes) {
  const std::string held = size > maxBytes ? std::to_string(size) + " bytes" : "more than that";
  return Refused(ReadStatus::kTooLarge,
                 path + " is too large: at most " + std::to_string(maxBytes) + " bytes are taken, it holds " + held);
}

// Reads up to limit bytes from fd; false with errno set on a read error.
bool ReadUpTo(int fd, size_t limit, size_t expected, std::vector<uint8_t>& bytes) {
  bytes.resize(std::min(limit, std::max<size_t>(expected + 1, 1)));
  size_t got = 0;
  while (got < limit) {
    if (got == bytes.size()) bytes.resize(std::min(limit, std::max<size_t>(2 * bytes.size(), 65536)));
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  bytes.resize(got);
  return true;
}

// 0, or the errno of a failed sync. File systems that cannot sync a folder
// say so with EINVAL; there is nothing more to do on them.
int SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  const int result = ::fsync(fd);
  const int error = errno;
  ::close(fd);
  return result == 0 || error == EINVAL || error == ENOTSUP ? 0 : error;
}

// The file a chain of links leads to: path itself when it is no link, the
// last name of the chain otherwise (which need not exist yet).
bool ResolveLinks(const std::string& path, std::string& target, std::string* error) {
  target = path;
  for (int hops = 0;; ++hops) {
    struct stat st;
    if (::lstat(target.c_str(), &st) != 0) {
      if (errno == ENOENT) return true;
      if (error) *error = "cannot write " + path + ": " + ErrnoText(errno);
      return false;
    }
    if (!S_ISLNK(st.st_mode)) return true;
    char buffer[4096];
    const ssize_t n = hops < kMaxLinkHops ? ::readlink(target.c_str(), buffer, sizeof buffer) : -1;
    if (n < 0 || static_cast<size_t>(n) == sizeof buffer) {
      if (error) *error = "cannot write " + path + ": " + ErrnoText(n < 0 && hops < kMaxLinkHops ? errno : ELOOP);
      return false;
    }
    const std::string link(buffer, static_cast<size_t>(n));
    target = !link.empty() && link.front() == '/' ? link : FolderPart(target) + link;
  }
}

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// A rename that fails with EEXIST rather than replace what is at `to`.
bool RenameNoReplace(const std::string& from, const std::string& to) {
#ifdef RENAME_NOREPLACE
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
#endif
  // Without the flag (or a file system that refuses it): look, then rename.
  struct stat st;
  if (::lstat(to.c_str(), &st) == 0) {
    errno = EEXIST;
    return false;
  }
  return ::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace

FileRead ReadInputFile(const std::string& path, size_t maxBytes) {
  if (path.empty()) return Refused(ReadStatus::kMissing, "no file name was given");
  // The type first, before anything is opened: opening a FIFO could wait for
  // a writer, and a device could answer endlessly.
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    const int error = errno;
    return Refused(error == ENOENT ? ReadStatus::kMissing : ReadStatus::kFailed,
                   "cannot read " + path + ": " + ErrnoText(error));
  }
  if (!S_ISREG(st.st_mode)) return NotAFile(path, st.st_mode);
  const uint64_t listed = static_cast<uint64_t>(st.st_size);
  if (listed > maxBytes) return TooLarge(path, listed, maxBytes);

  // Without blocking, in case the name was swapped for a FIFO since.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return Refused(ReadStatus::kFailed, "cannot read " + path + ": " + ErrnoText(errno));
  FileRead read;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return NotAFile(path, st.st_mode);
  }
  // One byte past the limit tells a file that grew since from one that fits.
  const size_t limit = maxBytes < SIZE_MAX ? maxBytes + 1 : maxBytes;
  bool readAll = false;
  int error = 0;
  try {
    readAll = ReadUpTo(fd, limit, static_cast<size_t>(std::min<uint64_t>(st.st_size, maxBytes)), read.bytes);
    error = errno;
  } catch (const std::bad_alloc&) {
    error = ENOMEM;
  }
  ::close(fd);
  if (!readAll) return Refused(ReadStatus::kFailed, "cannot read " + path + ": " + ErrnoText(error));
  if (read.bytes.size() > maxBytes) return TooLarge(path, static_cast<uint64_t>(st.st_size), maxBytes);
  read.status = ReadStatus::kOk;
  return read;
}

FileRead ReadImageFile(const std::string& path, size_t size) {
  FileRead read = ReadInputFile(path, size);
  const bool longer = read.status == ReadStatus::kTooLarge;
  if (!longer && (!read.ok() || read.bytes.size() == size)) return read;
  std::string held = std::to_string(read.bytes.size()) + " bytes";
  if (longer) {
    struct stat st;
    const bool listed = ::stat(path.c_str(), &st) == 0 && static_cast<uint64_t>(st.st_size) > size;
    held = listed ? std::to_string(st.st_size) + " bytes" : "more than " + std::to_string(size) + " bytes";
  }
  read.status = ReadStatus::kWrongSize;
  read.bytes.clear();
  read.error = path + " holds " + held + ", not " + std::to_string(size);
  return read;
}

bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes, std::string* error) {
  auto fail = [&](const std::string& reason) {
    if (error) *error = reason;
    return false;
  };
  if (path.empty()) return fail("no file name was given");
  std::string target;
  if (!ResolveLinks(path, target, error)) return false;

  struct stat old;
  const bool exists = ::lstat(target.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) return fail("cannot write " + path + ": " + ErrnoText(errno));
  if (exists && !S_ISREG(old.st_mode)) {
    return fail(path + " is " + KindOf(old.st_mode) + ", not a file; it was left as it is");
  }
  if (exists && ::access(target.c_str(), W_OK) != 0 && errno == EACCES) {
    return fail("cannot write " + path + ": the file is write-protected; it was left as it is");
  }

  // The temporary lies beside the target, so the rename stays within one
  // file system and is atomic.
  const std::string folder = FolderPart(target);
  std::string temporary;
  int fd = -1;
  for (int n = 0; fd < 0 && n < kMaxTemporaryNames; ++n) {
    temporary = target + ".new" + (n ? std::to_string(n) : "");
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return fail("cannot write " + path + ": " + ErrnoText(errno));
  if (exists) {
    // The new file keeps the old one's permissions (and owner, where allowed).
    (void)!::fchown(fd, old.st_uid, old.st_gid);
    ::fchmod(fd, old.st_mode & 07777);
  }

  bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  int writeError = errno;
  if (::close(fd) != 0 && written) {
    written = false;
    writeError = errno;
  }
  if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
    if (written) writeError = errno;
    ::unlink(temporary.c_str());
    return fail("cannot write " + path + ": " + ErrnoText(writeError) + "; the old file was left as it is");
  }
  if (const int syncError = SyncFolder(folder)) {
    return fail(path + " was written, but its folder could not be synced to disk: " + ErrnoText(syncError));
  }
  return true;
}

bool MoveAside(const std::string& path, std::string* backup, std::string* error) {
  if (backup) backup->clear();
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return true;
    if (error) *error = "cannot move " + path + " aside: " + ErrnoText(errno);
    return false;
  }
  for (int n = 0; n < kMaxBackups; ++n) {
    const std::string name = path + ".bak" + (n ? std::to_string(n) : "");
    if (RenameNoReplace(path, name)) {
      if (backup) *backup = name;
      const int syncError = SyncFolder(FolderPart(path));
      if (syncError && error) *error = "cannot sync the folder of " + name + ": " + ErrnoText(syncError);
      return syncError == 0;
    }
    if (errno != EEXIST) {
      if (error) *error = "cannot move " + path + " aside to " + name + ": " + ErrnoText(errno);
      return false;
    }
  }
  if (error) *error = "cannot move " + path + " aside: " + std::to_string(kMaxBackups) + " backups of it exist already";
  return false;
}

}  // namespace rq4800
