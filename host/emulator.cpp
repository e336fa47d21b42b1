#include "host/emulator.h"

#include <sys/stat.h>

#include <cctype>
#include <ctime>
#include <filesystem>

#include "core/file_io.h"
#include "storage/download_file.h"

namespace rq4800 {

namespace {

constexpr size_t kLcdBytes = 80 * 20;
// A state holds the RAM and the flash, compressed; anything much larger is
// not one of ours.
constexpr size_t kMaxStateFileBytes = size_t{4} << 20;

size_t FirmwareSize(int id) {
  return id == resource::kDefaultFlash ? resource::kFlashImageSize : resource::kRomImageSize;
}

}  // namespace

Emulator::Emulator(EmulatorOptions options) : rewindEnabled(options.rewind) {
  flashFile.dataDirectory = std::move(options.dataDirectory);
  machine = std::make_unique<Machine>(resources, options.hostClock);
}

Emulator::~Emulator() {
  if (machine) machine->bus.AttachRing(nullptr);
}

bool Emulator::ReplaceFirmware(int id, const std::string& path, std::string* error) {
  return resources.ReplaceFromFile(id, path, FirmwareSize(id), error);
}

bool Emulator::PowerOn() {
  PowerOnFromImageFile(flashFile, *machine);
  const bool screenWhole = SetUpScreen(screen, resources);
  machine->bus.AttachRing(&ring);
  romHashes = HashRomRanges(machine->bus);
  frameNumber = 0;
  rewind.Clear();
  return screenWhole;
}

bool Emulator::OpenSound(IWaveDevice& device) {
  soundOpen = OpenWaveOutput(waveOutput, device, ring);
  return soundOpen;
}

void Emulator::ServiceSound() {
  if (soundOpen) ServiceWaveOutput(waveOutput);
}

void Emulator::PlayFrameOfSound() {
  if (soundOpen) RefillBlock(waveOutput);
}

void Emulator::RunFrame() {
  if (machine->faulted || Held()) return;
  if (frameRunner != nullptr) {
    if (!frameRunner->RunFrame()) return;
  } else {
    rq4800::RunFrame(*machine);
  }
  FinishFrame();
}

void Emulator::FinishFrame() {
  ApplyPendingRelease(*machine, machine->keys);
  ++frameNumber;
  if (rewindEnabled && frameNumber % kRewindInterval == 0) rewind.Push(*machine, frameNumber);
}

void Emulator::Paint() { PaintLcd(screen, machine->bus.Lcd()); }

PacingStep Emulator::Advance(uint64_t now) {
  if (!Running()) return {};
  // Rewinding keeps to one step a frame period even in fast play, so that
  // the way back stays watchable. Start and stop of a rewind restart the
  // schedule, so the two kinds of pacing never mix.
  const bool fastPlay = pacing.fastPlay;
  if (rewinding) pacing.fastPlay = false;
  PacingStep step = NextPacingStep(pacing, now);
  pacing.fastPlay = fastPlay;
  if (!step.runFrame) return step;
  if (rewinding) {
    // At the oldest snapshot the picture simply stands until the key is released.
    if (RewindStep()) ring.read = ring.write;
    step.paint = true;
  } else {
    RunFrame();
  }
  return step;
}

void Emulator::SetFastPlay(bool on) {
  pacing.fastPlay = on;
  RestartPacing(pacing);
}

void Emulator::Pause() { paused = true; }

void Emulator::Resume() {
  paused = false;
  RestartPacing(pacing);
}

void Emulator::TogglePause() {
  if (paused) {
    Resume();
  } else {
    Pause();
  }
}

bool Emulator::StepFrame() {
  if (Held()) return false;
  if (!paused) {
    Pause();
    return false;
  }
  RunFrame();
  Paint();
  return true;
}

bool Emulator::RewindStep() {
  const std::optional<uint64_t> back = rewind.StepBack(*machine, frameNumber);
  if (!back) return false;
  frameNumber = *back;
  if (frameRunner != nullptr) frameRunner->MachineReplaced();
  Paint();
  return true;
}

void Emulator::StartRewind() {
  if (Held()) return;
  rewinding = true;
  RestartPacing(pacing);
}

void Emulator::StopRewind() {
  rewinding = false;
  RestartPacing(pacing);
}

int Emulator::KeyDown(HostKey key, bool shift) {
  const int keyCode = rq4800::KeyDown(*machine, machine->keys, keyMap, key, shift);
  if (keyCode >= 0) DrawKeyPressed(screen, keyCode);
  return keyCode;
}

void Emulator::KeyUp(HostKey key) {
  if (rq4800::KeyUp(*machine, machine->keys, keyMap, key)) RestoreKeyboard(screen);
}

bool Emulator::Character(char32_t c) {
  if (!rq4800::Character(*machine, machine->keys, c)) return false;
  DrawKeyPressed(screen, FindCharacterKey(c));
  return true;
}

void Emulator::CharacterUp(char32_t c) {
  if (FindCharacterKey(c) < 0) return;
  rq4800::CharacterUp(*machine, machine->keys, c);
  RestoreKeyboard(screen);
}
int Emulator::ButtonDown(int x, int y) { return rq4800::ButtonDown(*machine, machine->keys, screen, x, y); }
void Emulator::ButtonUp() { rq4800::ButtonUp(*machine, machine->keys, screen); }

void Emulator::Apply(const KeyScriptEvent& e) {
  using Kind = KeyScriptEvent::Kind;
  switch (e.kind) {
    case Kind::kPress:
      // A script's keys are not drawn pressed: a state holds no picture, so
      // a run continued from one would show the skin otherwise.
      rq4800::KeyDown(*machine, machine->keys, keyMap, e.key, shiftHeld);
      if (e.key == HostKey::kShift) shiftHeld = true;
      break;
    case Kind::kPressCode:
      PressDeviceKey(*machine, machine->keys, e.keyCode);
      break;
    case Kind::kRelease:
      ReleaseKeys(*machine, machine->keys);
      shiftHeld = false;
      break;
    case Kind::kCharacter:
      rq4800::Character(*machine, machine->keys, static_cast<unsigned char>(e.character));
      break;
    case Kind::kClick:
      ButtonDown(e.x, e.y);
      break;
    case Kind::kUnclick:
      ButtonUp();
      break;
  }
}

void Emulator::ColdReset() { rq4800::ColdReset(*machine); }

void Emulator::InitialiseFlash() { rq4800::InitialiseFlash(*machine); }

DownloadResult Emulator::Download(const std::string& path) { return DownloadFile(*machine, path); }

namespace {
// The built-in firmware's launch request (firmware/rq4800.inc): a byte of
// RAM its Home and Files screens look at.
constexpr size_t kLaunchRequest = 0x0474;
constexpr uint8_t kLaunchMark = 0x5A;

bool IsProgramPath(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".bin";
}
}  // namespace

DownloadResult Emulator::DownloadProgram(const std::string& path) {
  if (!IsProgramPath(path)) return download::Result(download::kNotAFileType);
  const DownloadResult result = Download(path);
  if (result.Ok()) RequestProgramStart();
  return result;
}

void Emulator::RequestProgramStart() { machine->bus.ram[kLaunchRequest] = kLaunchMark; }

bool Emulator::SaveFlash(std::string* error) { return SaveFlashImage(flashFile, *machine, error); }

bool Emulator::FlashUnsaved() const { return rq4800::FlashUnsaved(flashFile, *machine); }

std::vector<uint8_t> Emulator::SaveState() const { return rq4800::SaveState(*machine, romHashes); }

bool Emulator::LoadState(std::span<const uint8_t> bytes, std::string* error) {
  if (!rq4800::LoadState(*machine, romHashes, bytes, error)) return false;
  if (frameRunner != nullptr) frameRunner->MachineReplaced();
  Paint();
  return true;
}

bool Emulator::SaveStateFile(const std::string& path, std::string* error) const {
  if (flashFile.readOnly) {
    if (error) *error = "read-only: another program uses the data directory " + flashFile.dataDirectory;
    return false;
  }
  if (!AtFrameStart(*machine)) {
    if (error) *error = "the debugger has stopped the machine inside a frame; run on to the frame's end first";
    return false;
  }
  return WriteFileAtomically(path, SaveState(), error);
}

bool Emulator::LoadStateFile(const std::string& path, std::string* error) {
  const FileRead file = ReadInputFile(path, kMaxStateFileBytes);
  if (!file.ok()) {
    if (error) *error = file.error;
    return false;
  }
  std::string reason;
  if (!LoadState(file.bytes, &reason)) {
    if (error) *error = path + ": " + reason;
    return false;
  }
  return true;
}

std::string Emulator::StateSlotPath(int slot) const {
  if (flashFile.dataDirectory.empty() || slot < 1 || slot > kStateSlots) return {};
  return (std::filesystem::path(flashFile.dataDirectory) / ("rq4800-" + std::to_string(slot) + ".state")).string();
}

Emulator::SlotInfo Emulator::StateSlot(int slot) const {
  SlotInfo info;
  const std::string path = StateSlotPath(slot);
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return info;
  info.used = true;
  std::tm local{};
  const std::time_t when = st.st_mtime;
  char text[32] = "";
  if (::localtime_r(&when, &local)) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  info.time = text;
  const FileRead file = ReadInputFile(path, kMaxStateFileBytes);
  std::vector<uint8_t> ram;
  if (file.ok() && ReadStateRam(file.bytes, &ram, nullptr)) {
    info.lcd.assign(ram.begin() + BusRQ4800::kLcdAddress, ram.begin() + BusRQ4800::kLcdAddress + kLcdBytes);
  }
  return info;
}

}  // namespace rq4800
