// The emulator's sound recording: a tap on the wave output's blocks.
#include <cstdio>

#include "host/emulator.h"
#include "host/picture_file.h"

namespace rq4800 {

bool Emulator::StartRecording(const std::string& folder, const LocalTime& when, std::string* path,
                              std::string* error) {
  if (Recording()) {
    if (error) *error = "a recording is already being made";
    return false;
  }
  if (!soundOpen) {
    if (error) *error = "there is no sound output, so nothing plays that could be recorded";
    return false;
  }
  const std::string file = ReserveDatedFile(folder, when, ".wav", error);
  if (file.empty()) return false;
  auto device = std::make_unique<WavFileDevice>(file);
  if (!device->Open()) {
    if (error) *error = device->error();
    device.reset();
    std::remove(file.c_str());
    return false;
  }
  recorder = std::move(device);
  waveOutput.recorder = recorder.get();
  if (path) *path = file;
  return true;
}

bool Emulator::StopRecording(std::string* error) {
  if (!Recording()) return true;
  waveOutput.recorder = nullptr;
  const bool ok = recorder->Close();
  if (!ok && error) *error = recorder->error();
  recorder.reset();
  return ok;
}

std::string Emulator::RecordingError() const { return recorder ? recorder->error() : std::string(); }

double Emulator::RecordedSeconds() const {
  return recorder ? static_cast<double>(recorder->dataBytes()) / (2.0 * IWaveDevice::kSampleRate) : 0.0;
}

}  // namespace rq4800
