#pragma once
// The running emulator, as both front ends drive it: the firmware choice,
// the machine, the user's flash image file, the screen and its frame buffer,
// the sample ring and its link to a wave output, the keys, the pacing state,
// save states, pause and rewind. The Qt window and `rq4800-cli run` only
// translate their events and options into calls on it and show or write what
// comes back; nothing that decides behaviour lives in them.
//
//   Emulator emulator({.dataDirectory = "…/data/"});
//   emulator.ReplaceFirmware(resource::kRom0, "rom0.bin", &error);  // optional, before PowerOn
//   emulator.PowerOn();
//   emulator.OpenSound(device);                 // optional: the ring gets storage and an output
//   each frame period:  input calls; emulator.RunFrame(); emulator.Paint();
//                        show emulator.screen.frameBuffer
//
// Data flows one way: the front end asks, the emulator answers with plain
// data (the frame buffer, samples in the ring, results and messages).
// Problems the user must learn about go through ReportProblem.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "host/device_key_map.h"
#include "host/flash_image_file.h"
#include "host/key_script.h"
#include "host/keyboard.h"
#include "host/pacing.h"
#include "host/rewind_history.h"
#include "host/screen.h"
#include "machine/machine.h"
#include "machine/resource_store.h"
#include "machine/save_state.h"
#include "sound/sample_ring.h"
#include "sound/wave_output.h"
#include "storage/flash_file_system.h"

namespace rq4800 {

struct EmulatorOptions {
  // Holds "rq4800.fls" and the state slots; empty: no image file is read or
  // written (the headless runner never touches the desktop's image).
  std::string dataDirectory;
  IHostClock* hostClock = nullptr;  // the host's real local time when null
  bool rewind = true;               // keep a rewind history while frames run
};

// What runs the frames in place of the machine's direct path while a
// debugger is attached: a frame may stop inside, and while stopped the
// runner holds the frames until its user runs on.
class IFrameRunner {
 public:
  virtual ~IFrameRunner() = default;
  // Runs on to the end of the current frame; false when it stopped first.
  virtual bool RunFrame() = 0;
  virtual bool Holding() const = 0;
  // The machine was replaced by a state or a rewind step: whatever the
  // runner knew of where it stopped no longer holds.
  virtual void MachineReplaced() {}
};

class Emulator {
 public:
  // A rewind snapshot every this many frames: a tenth of a second.
  static constexpr uint64_t kRewindInterval = 5;
  static constexpr int kStateSlots = 9;

  explicit Emulator(EmulatorOptions options = {});
  ~Emulator();
  Emulator(const Emulator&) = delete;
  Emulator& operator=(const Emulator&) = delete;

  // The parts, public as plain records are; the front ends read them.
  ResourceStore resources;
  std::unique_ptr<Machine> machine;  // made by PowerOn
  FlashImageFile flashFile;
  Screen screen;
  SampleRing ring;
  WaveOutput waveOutput;
  bool soundOpen = false;
  Pacing pacing;
  RomHashes romHashes;
  RewindHistory rewind;
  bool rewindEnabled = true;
  // Frames run since power-on, counting on through resets and loaded
  // states; stepping back in the rewind history sets it back.
  uint64_t frameNumber = 0;
  bool paused = false;
  bool rewinding = false;
  bool shiftHeld = false;  // a key script's Shift, held from its press to the next release
  IFrameRunner* frameRunner = nullptr;  // the attached debugger, or none

  // A firmware file in place of a built-in image, before PowerOn. A file
  // that does not fit is not taken: false with the reason in *error.
  bool ReplaceFirmware(int id, const std::string& path, std::string* error);

  // Assembles the machine and powers it on with the flash image file (or
  // the default image), sets up the screen, attaches the ring and takes the
  // ROM hashes states are checked against. False when some skin picture is
  // missing (the screen shows what there is).
  bool PowerOn();

  // Gives the ring its storage and plays it through device; false when the
  // device did not open (the emulator then runs silent).
  bool OpenSound(IWaveDevice& device);
  // Refills the blocks the device has finished, as the device reports them.
  void ServiceSound();
  // One block of 882 samples, as real time would play in a frame: the
  // headless runner's sound file.
  void PlayFrameOfSound();

  // Sound recording (emulator_recording.cpp): from the start on, every block
  // the wave output plays goes into a WAV file too, so the file holds what
  // the user hears (the ring's samples, silence while no frames run) before
  // any volume. Starts under a fresh dated name in folder; false with the
  // reason when there is no sound output or no file can be made.
  bool StartRecording(const std::string& folder, const LocalTime& when, std::string* path, std::string* error);
  // Ends the recording; false with the reason when any write failed. The file
  // is valid either way, up to the last block written.
  bool StopRecording(std::string* error);
  bool Recording() const { return recorder != nullptr; }
  // The first write failure of the recording in progress, or empty.
  std::string RecordingError() const;
  double RecordedSeconds() const;
  std::unique_ptr<WavFileDevice> recorder;

  // Runs one frame of device time unless the machine stands on a fault:
  // then the key releases that waited for this frame, and every fifth frame
  // a rewind snapshot. Paused or not, the front end decides when to call it;
  // while a debugger holds the frames it runs nothing.
  void RunFrame();
  // What follows every frame's end, whoever ran it: the waiting key
  // releases, the frame count and the rewind snapshot.
  void FinishFrame();
  // The attached runner holds the frames (a debugger stop).
  bool Held() const { return frameRunner != nullptr && frameRunner->Holding(); }
  // Paints the LCD into the frame buffer.
  void Paint();

  // One pass of the front end's main loop at pacing-clock reading now: the
  // frame the schedule makes due, or while rewinding a step back instead;
  // while paused (and not rewinding) nothing. The step says whether a frame
  // ran (or a step back was taken), whether to show the LCD and how long
  // until the next frame is due. Rewinding goes at one step a frame period
  // in fast play too.
  PacingStep Advance(uint64_t now);
  // Whether the front end's loop has anything to run.
  bool Running() const { return (!paused && !Held()) || rewinding; }

  // Fast play runs frames back to back; switching either way starts the
  // frame schedule afresh.
  void SetFastPlay(bool on);

  // Pause is the front end's schedule: while paused it runs no frames but
  // StepFrame's. Resuming starts the frame schedule afresh.
  void Pause();
  void Resume();
  void TogglePause();
  // Frame advance: while paused, runs exactly one frame and paints it
  // (true); while running, pauses first, so the frames stop where they are
  // (false). While a debugger holds the frames it does nothing (false): the
  // debugger's own commands move a stopped machine.
  bool StepFrame();
  // One rewind step (a tenth of a second) back; false when the history has
  // nothing older.
  bool RewindStep();
  // While the front end's rewind key is held, Advance steps back once a
  // frame period; releasing it runs on from where it stands. Rewinding is
  // silent: each step drops the samples the ring held at that moment, so the
  // wave output plays out only what it had already queued.
  // Refused while a debugger holds the frames: the stop stays where it is.
  void StartRewind();
  void StopRewind();

  // Which PC key presses which device key (the user's, or the defaults).
  KeyMap keyMap = DefaultKeyMap();

  // Input, by the keyboard rules of host/keyboard.h through keyMap. A PC key
  // that presses a device key shows it pressed on the skin, as a click does;
  // its release, which releases every key, restores the whole keyboard.
  // KeyDown returns the key code it pressed, -1 when none.
  int KeyDown(HostKey key, bool shift);
  void KeyUp(HostKey key);
  bool Character(char32_t c);
  void CharacterUp(char32_t c);
  int ButtonDown(int x, int y);
  void ButtonUp();
  // One key-script event, as a PC user would have given it (a PC key's
  // press is not drawn on the skin; a click's is, as always).
  void Apply(const KeyScriptEvent& event);

  // The device's commands.
  void ColdReset();
  void InitialiseFlash();
  DownloadResult Download(const std::string& path);
  // A ".bin" program downloaded into the flash in use and started through
  // the built-in firmware's launcher, as if the user had chosen it in Files:
  // the firmware takes the request (LaunchRequest) at Home or in Files. A
  // path that is not a ".bin" is not downloaded (kNotAFileType).
  DownloadResult DownloadProgram(const std::string& path);
  // The request alone: the last program of Files starts.
  void RequestProgramStart();
  bool SaveFlash(std::string* error);
  bool FlashUnsaved() const;

  // Save states (machine/save_state.h for the format). Loading checks the
  // whole state before it changes anything.
  // A state holds the machine between frames: a file save is refused (false
  // with the reason) while a debugger stop leaves it inside one.
  std::vector<uint8_t> SaveState() const;
  bool LoadState(std::span<const uint8_t> bytes, std::string* error);
  // Refused while the flash image file is read-only: the slots share its folder.
  bool SaveStateFile(const std::string& path, std::string* error) const;
  bool LoadStateFile(const std::string& path, std::string* error);

  // Slot n (1..9) lives beside the flash image; empty without a data directory.
  std::string StateSlotPath(int slot) const;
  struct SlotInfo {
    bool used = false;
    std::string time;          // "YYYY-MM-DD HH:MM:SS", local time of the save
    std::vector<uint8_t> lcd;  // the LCD memory of the state (1,600 bytes) when readable
  };
  SlotInfo StateSlot(int slot) const;

 private:
  // What every change of the machine's whole state ends with.
  void AfterMachineChange();
};

}  // namespace rq4800
