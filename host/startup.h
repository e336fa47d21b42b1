#pragma once
// The desktop program's start-up and exit around the settings file, in the
// order the program runs them:
//   1. program folder (where the program file lies, with its separator);
//   2. data directory "data/" beside the program, created (it holds the
//      flash image "rq4800.fls");
//   3. settings file "rq4800.ini" beside the program, created empty if absent;
//   4. "ROM"/"Directory" (default: the program folder) made the working folder;
//   5. "CPU"/"Frequency", the pacing clock's ticks per microsecond, measured
//      over one second and written back when it is 0 or absent;
//   then the firmware replacements of section "Firmware" for the machine.
// At exit the working folder of that moment goes back under "ROM"/"Directory",
// so the folder of the last file opened is where the next start begins.
#include <cstdint>
#include <string>

#include "host/pacing.h"

namespace rq4800 {

struct ResourceStore;

// Beside the program (MakeFrontEndPaths) or in the user's folders
// (ChooseFrontEndPaths in host/data_folders.h); folders keep their separator.
struct FrontEndPaths {
  std::string programFolder;   // the folder of the program file
  std::string dataDirectory;   // programFolder + "data/"
  std::string settingsFile;    // programFolder + "rq4800.ini"
  std::string settingsFolder;  // the settings file's folder: relative firmware names start here
  std::string startFolder;     // the working folder when the settings name none
  bool besideProgram = true;
  // Another program owns the data folder (or the user asked): the settings
  // file is read, never written.
  bool readOnly = false;
};

// The millisecond tick count and a wait, against which the pacing clock is
// measured; tests give a fake that moves both clocks together.
class IMeasureClock {
 public:
  virtual ~IMeasureClock() = default;
  virtual uint64_t Milliseconds() = 0;
  virtual void Sleep(int milliseconds) = 0;
};

class SteadyMeasureClock final : public IMeasureClock {
 public:
  uint64_t Milliseconds() override;
  void Sleep(int milliseconds) override;
};

FrontEndPaths MakeFrontEndPaths(const std::string& programFolder);

// Steps 2 and 3 (the folders made with their parents). Failures do not stop the program (without a data directory
// the flash image cannot be saved, without a settings file the defaults
// hold) but are reported as problems, so that the user learns of them before
// relying on a save. A settings file that exists but cannot be read is
// reported once and then left as it is.
void PrepareProgramFolder(const FrontEndPaths& paths);

// Step 4 (default: startFolder); returns the folder that was asked for (entered or not).
std::string EnterWorkingFolder(const FrontEndPaths& paths);

// Step 5: the frequency to pace with. A value of 0, an absent entry or a
// negative value is measured: ticks over a one-second wait, rounded half up
// to ticks per microsecond, and written back as a plain decimal number.
uint32_t SettingsFrequency(const FrontEndPaths& paths, IPacingClock& clock, IMeasureClock& measure);
uint32_t MeasureFrequency(IPacingClock& clock, IMeasureClock& measure);

// Section "Firmware": "ROM0", "ROM1", "ROM3" and "Flash" name files that
// replace the built-in ROM images and default flash image. Relative names are
// taken from the settings file's folder. A file that cannot be read or has the wrong
// size is not used: the built-in data stays, and a problem line says which
// file and why.
void ApplyFirmwareSettings(ResourceStore& resources, const FrontEndPaths& paths);

// Exit: the current working folder goes under "ROM"/"Directory". A failed
// write (or a folder name the file cannot keep) is reported.
void SaveWorkingFolder(const FrontEndPaths& paths);

}  // namespace rq4800
