#pragma once
// How the user likes the window to look and sound, kept in the settings file
// beside the other entries (every other line of the file stays as it is):
//
//   [Window]  Scale=1..4       picture size in whole steps (default 1)
//             Smooth=0|1       1: a resized window fills with a smoothly
//                              scaled picture instead of whole steps
//             LcdOnly=0|1      1: only the LCD panel with its icons is shown
//             PictureFolder=   where screenshots and recordings go
//                              (default: the program folder)
//   [Sound]   Volume=0..100    per cent of full loudness (default 100)
//             Mute=0|1
//
// A value out of its range (edited by hand) is not used: the default stays,
// and a problem line says which entry and why.
#include <string>

namespace rq4800 {

struct ViewSettings {
  static constexpr int kMinScale = 1;
  static constexpr int kMaxScale = 4;
  static constexpr int kMaxVolume = 100;

  int scale = 1;
  bool smooth = false;
  bool lcdOnly = false;
  std::string pictureFolder;  // empty: the program folder
  int volume = kMaxVolume;
  bool mute = false;
};

enum class ViewEntry { kScale, kSmooth, kLcdOnly, kPictureFolder, kVolume, kMute };

ViewSettings ReadViewSettings(const std::string& settingsFile);

// Writes the one entry from settings; false with the reason in *error.
bool WriteViewSetting(const std::string& settingsFile, const ViewSettings& settings, ViewEntry entry,
                      std::string* error);

}  // namespace rq4800
