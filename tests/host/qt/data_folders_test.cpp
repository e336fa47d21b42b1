#include "host/data_folders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "host/settings_file.h"

namespace rq4800 {
namespace {

namespace fs = std::filesystem;

TEST(UserFolders, FollowTheBaseDirectoryRules) {
  struct Row {
    const char *data, *config, *home;
    UserFolders expected;
  };
  const Row rows[] = {
      {nullptr, nullptr, "/home/ann", {"/home/ann/.local/share/", "/home/ann/.config/", "/home/ann/"}},
      {"/x/data", "/x/conf/", "/home/ann/", {"/x/data/", "/x/conf/", "/home/ann/"}},
      // Empty or relative names are not used; the home defaults stand in.
      {"", "conf", "/home/ann", {"/home/ann/.local/share/", "/home/ann/.config/", "/home/ann/"}},
      // Without a home only absolute XDG names are known.
      {"/x/data", nullptr, nullptr, {"/x/data/", "", ""}},
      {nullptr, nullptr, "relative/home", {"", "", ""}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.home ? row.home : "(no home)");
    const UserFolders user = UserFoldersFrom(row.data, row.config, row.home);
    EXPECT_EQ(user.dataHome, row.expected.dataHome);
    EXPECT_EQ(user.configHome, row.expected.configHome);
    EXPECT_EQ(user.home, row.expected.home);
  }
}

// A scratch tree: a program folder "bin/" (installed or not) and a home.
struct FolderChoice : ::testing::Test {
  fs::path root = fs::temp_directory_path() /
                  (std::string("rq4800_folders_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::string program = (root / "prefix/bin/").string();
  UserFolders user = UserFoldersFrom(nullptr, nullptr, (root / "home").c_str());
  void SetUp() override {
    fs::remove_all(root);
    fs::create_directories(program);
    fs::create_directories(root / "home");
  }
  void TearDown() override {
    fs::permissions(program, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(root);
  }
  void Install() { fs::create_directories(root / "prefix/share/doc/rq4800"); }
};

TEST_F(FolderChoice, BesideTheProgramUnlessInstalledOrUnwritable) {
  struct Row {
    const char* name;
    bool installed;
    const char* existing;  // a file already beside the program, or null
    bool homeKnown;
    bool beside;
  };
  const Row rows[] = {
      {"a writable folder of its own", false, nullptr, true, true},
      {"installed", true, nullptr, true, false},
      {"installed, settings already beside it", true, "rq4800.ini", true, true},
      {"installed, a flash image already beside it", true, "data/rq4800.fls", true, true},
      {"installed, but no home to go to", true, nullptr, false, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SetUp();
    if (row.installed) Install();
    if (row.existing != nullptr) {
      fs::create_directories(fs::path(program + row.existing).parent_path());
      std::ofstream(program + row.existing) << "mine";
    }
    const FrontEndPaths paths = ChooseFrontEndPaths(program, row.homeKnown ? user : UserFolders{});
    EXPECT_EQ(paths.besideProgram, row.beside);
    EXPECT_EQ(paths.programFolder, program);
    if (row.beside) {
      EXPECT_EQ(paths.settingsFile, program + "rq4800.ini");
      EXPECT_EQ(paths.dataDirectory, program + "data/");
      EXPECT_EQ(paths.settingsFolder, program);
    } else {
      EXPECT_EQ(paths.settingsFile, user.configHome + "rq4800/rq4800.ini");
      EXPECT_EQ(paths.dataDirectory, user.dataHome + "rq4800/");
      EXPECT_EQ(paths.settingsFolder, user.configHome + "rq4800/");
      EXPECT_EQ(paths.startFolder, user.home);
    }
    // Deciding leaves nothing behind: no probe file, no folder.
    for (const auto& entry : fs::directory_iterator(program))
      EXPECT_TRUE(row.existing != nullptr) << "left behind: " << entry.path();
  }
}

TEST_F(FolderChoice, AFolderThatTakesNoFilesSendsTheDataHome) {
  EXPECT_TRUE(FolderWritable(program));
  fs::permissions(program, fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  EXPECT_FALSE(FolderWritable(program));
  EXPECT_FALSE(ChooseFrontEndPaths(program, user).besideProgram);
}

// Start-up in the user's folders makes them (with their parents), takes the
// home as the first working folder and relative firmware names from the
// settings folder, and writes nothing beside the program.
TEST_F(FolderChoice, StartUpInTheUserFoldersMakesThemAndLeavesTheProgramAlone) {
  Install();
  const fs::path previous = fs::current_path();
  const FrontEndPaths paths = ChooseFrontEndPaths(program, user);
  ASSERT_FALSE(paths.besideProgram);
  PrepareProgramFolder(paths);
  EXPECT_TRUE(fs::is_directory(paths.dataDirectory));
  EXPECT_TRUE(fs::is_regular_file(paths.settingsFile));
  EnterWorkingFolder(paths);
  EXPECT_EQ(fs::current_path(), fs::canonical(root / "home"));
  fs::current_path(previous);
  EXPECT_TRUE(fs::is_empty(program));
  // A copy of the program that is not installed keeps to its own folder,
  // whatever the user's folders hold.
  fs::remove_all(root / "prefix/share");
  EXPECT_TRUE(ChooseFrontEndPaths(program, user).besideProgram);
}

}  // namespace
}  // namespace rq4800
