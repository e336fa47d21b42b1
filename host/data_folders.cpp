#include "host/data_folders.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "host/flash_image_file.h"
#include "host/paths.h"

namespace rq4800 {

namespace fs = std::filesystem;

namespace {

// An XDG variable counts only when it names an absolute folder.
std::string AbsoluteFolder(const char* value) {
  if (value == nullptr || value[0] != '/') return {};
  return JoinPath(value, "");
}

bool IsInstalledProgram(const std::string& programFolder) {
  const fs::path folder = fs::path(programFolder).lexically_normal().parent_path();
  std::error_code ignored;
  return folder.filename() == "bin" && fs::is_directory(folder.parent_path() / "share/doc/rq4800", ignored);
}

bool HoldsUserFiles(const FrontEndPaths& beside) {
  std::error_code ignored;
  return fs::exists(beside.settingsFile, ignored) || fs::exists(beside.dataDirectory + kFlashImageName, ignored);
}

}  // namespace

UserFolders UserFoldersFrom(const char* xdgDataHome, const char* xdgConfigHome, const char* home) {
  UserFolders user{AbsoluteFolder(xdgDataHome), AbsoluteFolder(xdgConfigHome), {}};
  const std::string homeFolder = AbsoluteFolder(home);
  user.home = homeFolder;
  if (user.dataHome.empty() && !homeFolder.empty()) user.dataHome = homeFolder + ".local/share/";
  if (user.configHome.empty() && !homeFolder.empty()) user.configHome = homeFolder + ".config/";
  return user;
}

UserFolders UserFoldersOfThisUser() {
  return UserFoldersFrom(std::getenv("XDG_DATA_HOME"), std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

bool FolderWritable(const std::string& folder) {
  // A name no earlier probe can have left behind.
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const std::string probe = JoinPath(folder, ".rq4800-probe-" + std::to_string(stamp));
  std::FILE* file = std::fopen(probe.c_str(), "wx");
  if (file == nullptr) return false;
  std::fclose(file);
  std::remove(probe.c_str());
  return true;
}

FrontEndPaths ChooseFrontEndPaths(const std::string& programFolder, const UserFolders& user) {
  FrontEndPaths beside = MakeFrontEndPaths(programFolder);
  if (HoldsUserFiles(beside)) return beside;
  const bool homeKnown = !user.dataHome.empty() && !user.configHome.empty();
  if (!homeKnown) return beside;

  FrontEndPaths paths = beside;
  paths.besideProgram = false;
  paths.dataDirectory = user.dataHome + "rq4800/";
  paths.settingsFolder = user.configHome + "rq4800/";
  paths.settingsFile = paths.settingsFolder + "rq4800.ini";
  // Downloads start from the home folder, where the user's files are.
  if (!user.home.empty()) paths.startFolder = user.home;
  if (IsInstalledProgram(beside.programFolder)) return paths;
  return FolderWritable(beside.programFolder) ? beside : paths;
}

}  // namespace rq4800
