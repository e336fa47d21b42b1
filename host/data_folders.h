#pragma once
// Where the desktop program keeps its settings file and its data (the flash
// image, the state slots). A copy of the program unpacked into a folder of
// its own keeps them beside itself, as it always has; an installed program
// keeps them in the user's folders of the XDG base-directory rules:
//   settings  $XDG_CONFIG_HOME/rq4800/rq4800.ini  (default ~/.config)
//   data      $XDG_DATA_HOME/rq4800/              (default ~/.local/share)
// The choice, in order:
//   1. the program folder already holds rq4800.ini or data/rq4800.fls: beside
//      the program (a user's settings and flash are never left behind);
//   2. the program is an installed one (its folder is PREFIX/bin/ and
//      PREFIX/share/doc/rq4800/ exists): the user's folders, even when the
//      folder is writable (run by root, /usr/bin would otherwise fill up);
//   3. a file can be made in the program folder: beside the program;
//   4. otherwise the user's folders.
// The user's folders holding settings of an earlier start do not count: a
// copy of the program in a folder of its own keeps to that folder.
// Without a usable home (no HOME, relative XDG names) the program folder
// stays in use.
#include <string>

#include "host/startup.h"

namespace rq4800 {

struct UserFolders {
  std::string dataHome;    // with its trailing separator; empty when unknown
  std::string configHome;  // likewise
  std::string home;        // likewise
};

// The XDG rules on the given variables (null when unset): an absolute
// XDG_DATA_HOME / XDG_CONFIG_HOME wins, an empty or relative one is ignored
// and HOME/.local/share, HOME/.config stand in.
UserFolders UserFoldersFrom(const char* xdgDataHome, const char* xdgConfigHome, const char* home);
// The same on this process's environment.
UserFolders UserFoldersOfThisUser();

// True when a file can be made (and is removed again) in the folder. Tried,
// not guessed from permission bits, which do not bind the superuser and miss
// read-only mounts.
bool FolderWritable(const std::string& folder);

// The paths the program runs with, by the rule above.
FrontEndPaths ChooseFrontEndPaths(const std::string& programFolder, const UserFolders& user);

}  // namespace rq4800
