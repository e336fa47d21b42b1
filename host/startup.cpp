#include "host/startup.h"

#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

#include "core/debug_log.h"
#include "core/file_io.h"
#include "host/paths.h"
#include "host/settings_file.h"
#include "machine/resource_store.h"

namespace rq4800 {

uint64_t SteadyMeasureClock::Milliseconds() {
  using namespace std::chrono;
  return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SteadyMeasureClock::Sleep(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

FrontEndPaths MakeFrontEndPaths(const std::string& programFolder) {
  FrontEndPaths paths;
  paths.programFolder = JoinPath(programFolder, "");
  if (paths.programFolder.empty()) paths.programFolder = "./";
  paths.dataDirectory = paths.programFolder + "data/";
  paths.settingsFile = paths.programFolder + "rq4800.ini";
  paths.settingsFolder = paths.programFolder;
  paths.startFolder = paths.programFolder;
  return paths;
}

void PrepareProgramFolder(const FrontEndPaths& paths) {
  std::error_code error;
  std::filesystem::create_directories(paths.dataDirectory, error);
  std::error_code ignored;  // a folder that cannot be made shows as the file's failure below
  std::filesystem::create_directories(paths.settingsFolder, ignored);
  if (!std::filesystem::is_directory(paths.dataDirectory)) {
    ReportProblem("cannot create the data directory %s (%s): the flash image can be neither loaded nor saved\n",
                  paths.dataDirectory.c_str(), error ? error.message().c_str() : "a file of that name is in the way");
  }
  if (!CreateFileIfMissing(paths.settingsFile)) {
    ReportProblem("cannot create the settings file %s: the settings stay at their defaults\n",
                  paths.settingsFile.c_str());
    return;
  }
  // Told once here; every read of an entry then quietly takes its default.
  const FileRead settings = ReadInputFile(paths.settingsFile, kMaxSettingsFileBytes);
  if (!settings.ok() && settings.status != ReadStatus::kMissing) {
    ReportProblem("%s; the program runs on its default settings and leaves the file as it is\n",
                  settings.error.c_str());
  }
}

std::string EnterWorkingFolder(const FrontEndPaths& paths) {
  std::string folder = ReadProfileString(paths.settingsFile, "ROM", "Directory", paths.startFolder);
  std::error_code ignored;
  if (!folder.empty()) std::filesystem::current_path(folder, ignored);
  return folder;
}

uint32_t MeasureFrequency(IPacingClock& clock, IMeasureClock& measure) {
  uint64_t t0 = measure.Milliseconds();
  uint64_t c0 = clock.Ticks();
  measure.Sleep(1000);
  uint64_t ms = measure.Milliseconds() - t0;
  uint64_t d = clock.Ticks() - c0;
  return MeasuredFrequency(d, ms);
}

uint32_t SettingsFrequency(const FrontEndPaths& paths, IPacingClock& clock, IMeasureClock& measure) {
  int stored = ReadProfileInt(paths.settingsFile, "CPU", "Frequency", 0);
  if (stored > 0) return static_cast<uint32_t>(stored);
  uint32_t frequency = MeasureFrequency(clock, measure);
  std::string error;
  if (paths.readOnly) return frequency;
  if (!WriteProfileString(paths.settingsFile, "CPU", "Frequency", std::to_string(frequency), &error)) {
    ReportProblem("the measured clock rate was not saved: %s\n", error.c_str());
  }
  return frequency;
}

void ApplyFirmwareSettings(ResourceStore& resources, const FrontEndPaths& paths) {
  struct Replacement {
    const char* key;
    int id;
    size_t size;
    const char* builtin;
  };
  static constexpr Replacement kReplacements[] = {
      {"ROM0", resource::kRom0, resource::kRomImageSize, "ROM image"},
      {"ROM1", resource::kRom1, resource::kRomImageSize, "ROM image"},
      {"ROM3", resource::kRom3, resource::kRomImageSize, "ROM image"},
      {"Flash", resource::kDefaultFlash, resource::kFlashImageSize, "default flash image"},
  };
  for (const Replacement& r : kReplacements) {
    std::string file = ReadProfileString(paths.settingsFile, "Firmware", r.key, "");
    if (file.empty()) continue;
    if (std::filesystem::path(file).is_relative()) file = JoinPath(paths.settingsFolder, file);
    std::string error;
    if (!resources.ReplaceFromFile(r.id, file, r.size, &error)) {
      ReportProblem("%s (%s in [Firmware] of %s); the built-in %s stays in use\n", error.c_str(), r.key,
                    paths.settingsFile.c_str(), r.builtin);
    }
  }
}

void SaveWorkingFolder(const FrontEndPaths& paths) {
  if (paths.readOnly) return;
  std::error_code error;
  std::filesystem::path folder = std::filesystem::current_path(error);
  if (error) return;
  std::string failure;
  if (!WriteProfileString(paths.settingsFile, "ROM", "Directory", folder.string(), &failure)) {
    ReportProblem("the working folder was not saved: %s\n", failure.c_str());
  }
}

}  // namespace rq4800
