// Reading what the user gives and writing what the user keeps: refusals by
// type and size, atomic replacement through links, failures that change
// nothing, and numbered backups.
#include "core/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>

#include "tests/core/file_size_limit.h"
#include "tests/file_text.h"

namespace rq4800 {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

struct FileIo : ::testing::Test {
  const fs::path dir = fs::path(RQ4800_BINARY_DIR) / "test-scratch" /
                       ("file_io." + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  void SetUp() override {
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir);
  }
  std::string P(const std::string& name) const { return (dir / name).string(); }
  void Put(const std::string& name, const std::string& text) const { std::ofstream(dir / name) << text; }
  std::string Get(const std::string& name) const { return ReadAll(dir / name); }
  std::set<std::string> Names(const fs::path& folder) const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
  }
};

Bytes B(const std::string& text) { return Bytes(text.begin(), text.end()); }

TEST_F(FileIo, ReadRefusesWhatIsNotASmallEnoughRegularFile) {
  Put("ten.txt", "0123456789");
  Put("empty.txt", "");
  fs::create_directory(dir / "folder");
  ASSERT_EQ(::mkfifo(P("fifo").c_str(), 0600), 0);  // no writer: a blocking open would hang
  fs::create_symlink("ten.txt", dir / "link");
  fs::create_symlink("gone.txt", dir / "dangling");
  { std::ofstream(dir / "huge.bin").close(); }
  fs::resize_file(dir / "huge.bin", 3'000'000'000);  // sparse: costs nothing unless read
  struct Row { std::string path; size_t max; ReadStatus status; std::string reason; };
  const Row rows[] = {
      {P("ten.txt"), 10, ReadStatus::kOk, ""},
      {P("link"), 10, ReadStatus::kOk, ""},
      {P("empty.txt"), 10, ReadStatus::kOk, ""},
      {P("ten.txt"), 9, ReadStatus::kTooLarge, "holds 10 bytes"},
      {P("huge.bin"), 1000, ReadStatus::kTooLarge, "holds 3000000000 bytes"},
      {P("missing.txt"), 10, ReadStatus::kMissing, "No such file or directory"},
      {P("dangling"), 10, ReadStatus::kMissing, "No such file or directory"},
      {P("ten.txt/x"), 10, ReadStatus::kFailed, "Not a directory"},
      {P("folder"), 10, ReadStatus::kNotAFile, "is a folder"},
      {P("fifo"), 10, ReadStatus::kNotAFile, "is a FIFO"},
      {"/dev/zero", 1000, ReadStatus::kNotAFile, "is a device"},
      {"", 10, ReadStatus::kMissing, "no file name"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    const FileRead read = ReadInputFile(row.path, row.max);
    EXPECT_EQ(read.status, row.status) << read.error;
    if (row.status == ReadStatus::kOk) {
      EXPECT_EQ(read.bytes.size(), row.path.ends_with("empty.txt") ? 0u : 10u);
    } else {
      EXPECT_TRUE(read.bytes.empty());
      EXPECT_NE(read.error.find(row.path), std::string::npos) << read.error;
      EXPECT_NE(read.error.find(row.reason), std::string::npos) << read.error;
    }
  }
}

TEST_F(FileIo, ImageMustHaveExactlyItsSize) {
  Put("image", "abcd");
  EXPECT_EQ(ReadImageFile(P("image"), 4).bytes, B("abcd"));
  for (size_t size : {3u, 5u}) {
    const FileRead read = ReadImageFile(P("image"), size);
    EXPECT_EQ(read.status, ReadStatus::kWrongSize);
    EXPECT_EQ(read.error, P("image") + " holds 4 bytes, not " + std::to_string(size));
    EXPECT_TRUE(read.bytes.empty());
  }
  EXPECT_EQ(ReadImageFile(P("none"), 4).status, ReadStatus::kMissing);
}

// New and old files, and files behind links (which stay links).
TEST_F(FileIo, WriteReplacesTheFileThroughLinksAndLeavesNoTemporary) {
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(P("new.fls"), B("first"), &error)) << error;
  Put("kept.fls", "old");
  fs::permissions(dir / "kept.fls", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(WriteFileAtomically(P("kept.fls"), B("second"), &error)) << error;
  EXPECT_EQ(Get("new.fls"), "first");
  EXPECT_EQ(Get("kept.fls"), "second");
  EXPECT_EQ(fs::status(dir / "kept.fls").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_directory(dir / "store");
  Put("store/real.fls", "old");
  fs::create_symlink("store/real.fls", dir / "inner");  // relative to the link's own folder
  fs::create_symlink(dir / "inner", dir / "outer");     // a chain, absolute
  fs::create_symlink("store/later.fls", dir / "dangling");
  ASSERT_TRUE(WriteFileAtomically(P("outer"), B("new"), &error)) << error;
  ASSERT_TRUE(WriteFileAtomically(P("dangling"), B("made"), &error)) << error;
  EXPECT_TRUE(fs::is_symlink(dir / "outer") && fs::is_symlink(dir / "inner") && fs::is_symlink(dir / "dangling"));
  EXPECT_EQ(Get("store/real.fls"), "new");
  EXPECT_EQ(Get("store/later.fls"), "made");
  EXPECT_EQ(Names(dir / "store"), (std::set<std::string>{"real.fls", "later.fls"}));
  EXPECT_EQ(Names(dir), (std::set<std::string>{"new.fls", "kept.fls", "store", "inner", "outer", "dangling"}));
}

TEST_F(FileIo, FailedWriteLeavesTheOldFileAndNoTemporary) {
  Put("image.fls", "old contents");
  fs::create_directory(dir / "folder.fls");
  ASSERT_EQ(::mkfifo(P("fifo").c_str(), 0600), 0);
  struct Row { std::string path, reason; };
  const Row rows[] = {
      {P("nowhere/x.fls"), "cannot write " + P("nowhere/x.fls") + ": No such file or directory"},
      {P("folder.fls"), P("folder.fls") + " is a folder, not a file"},
      {P("fifo"), P("fifo") + " is a FIFO, not a file"},
      {P("image.fls/x"), "Not a directory"},
  };
  for (const Row& row : rows) {
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(row.path, B("new"), &error)) << row.path;
    EXPECT_NE(error.find(row.reason), std::string::npos) << error;
  }
  EXPECT_TRUE(fs::is_empty(dir / "folder.fls"));

  // A write that runs out of room half-way (a file-size limit binds even the
  // superuser, as a full disk would).
  std::string error;
  bool written = true;
  test::WithFileSizeLimit([&] { written = WriteFileAtomically(P("image.fls"), Bytes(10000, 0x55), &error); });
  EXPECT_FALSE(written);
  EXPECT_NE(error.find("File too large"), std::string::npos) << error;
  EXPECT_EQ(Get("image.fls"), "old contents");
  EXPECT_EQ(Names(dir), (std::set<std::string>{"image.fls", "folder.fls", "fifo"}));
}

// A file that may not be read is reported; a write-protected one is not replaced.
TEST_F(FileIo, PermissionsAreRespectedAndReported) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  Put("secret.txt", "x");
  fs::permissions(dir / "secret.txt", fs::perms::none);
  const FileRead read = ReadInputFile(P("secret.txt"), 10);
  EXPECT_EQ(read.status, ReadStatus::kFailed);
  EXPECT_NE(read.error.find("Permission denied"), std::string::npos) << read.error;
  Put("locked.fls", "mine");
  fs::permissions(dir / "locked.fls", fs::perms::owner_read);
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(P("locked.fls"), B("new"), &error));
  EXPECT_NE(error.find("write-protected"), std::string::npos) << error;
  EXPECT_EQ(Get("locked.fls"), "mine");
}

TEST_F(FileIo, BackupsAreNumberedAndNeverReplaced) {
  std::string backup, error;
  EXPECT_TRUE(MoveAside(P("image"), &backup, &error));  // nothing there: nothing to do
  EXPECT_EQ(backup, "");
  const char* expected[] = {"image.bak", "image.bak1", "image.bak2", "image.bak3"};
  for (int i = 0; i < 4; ++i) {
    if (i == 2) {
      fs::create_directory(dir / "image");  // a folder moves like a file
    } else {
      Put("image", "version " + std::to_string(i));
    }
    ASSERT_TRUE(MoveAside(P("image"), &backup, &error)) << error;
    EXPECT_EQ(backup, P(expected[i]));
  }
  EXPECT_FALSE(fs::exists(dir / "image"));
  EXPECT_EQ(Get("image.bak"), "version 0");
  EXPECT_EQ(Get("image.bak1"), "version 1");
  EXPECT_TRUE(fs::is_directory(dir / "image.bak2"));
  EXPECT_EQ(Get("image.bak3"), "version 3");
}

}  // namespace
}  // namespace rq4800
