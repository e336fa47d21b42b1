#pragma once
// Menu 101 and accelerator table 102 of the main window, as data: the texts
// as the device's host program shows them, the command ids its window
// procedure dispatches on, and the two function-key accelerators.
#include <array>

namespace rq4800 {

namespace command {
constexpr int kExit = 40001;
constexpr int kReset = 40004;
constexpr int kSaveFlash = 40007;
constexpr int kFastPlay = 40012;
constexpr int kDebug = 40030;
constexpr int kDownload = 40049;
constexpr int kInitialiseFlash = 40052;
constexpr int kAbout = 40054;
constexpr int kFlashInfo = 40056;
}  // namespace command

// The texts are the source texts of translation context kMenuContext.
inline constexpr const char* kMenuContext = "rq4800::MainMenu";

struct MenuItem {
  const char* menu;  // UTF-8
  const char* text;  // UTF-8; null for a separator
  int id;
  bool checkable;
  const char* accelerator;  // a key sequence, or null
};

extern const std::array<MenuItem, 11> kMainMenu;

// The open-file dialog's filters, in order; the first is selected.
extern const char* const kOpenFileFilters;

}  // namespace rq4800
