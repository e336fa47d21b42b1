#pragma once
// Folder and file-name handling shared by the front ends. Folders are kept with
// their trailing separator, as the device's host program keeps them.
#include <string>

namespace rq4800 {

// "dir/" + "name"; a folder without a trailing separator gets one.
std::string JoinPath(const std::string& folder, const std::string& name);
// The folder part of a path, with its trailing separator ("" when none).
std::string FolderOf(const std::string& path);
// The name after the last '/' or '\\' (the whole path when it has neither).
std::string FileNameOf(const std::string& path);

}  // namespace rq4800
