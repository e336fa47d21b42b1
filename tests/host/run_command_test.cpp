// The headless runner end to end: a tiny program of our own in ROM paints a
// pattern into the LCD memory and drives the beeper; the runner's PNG must
// show the pattern and its WAV the beeper's square wave.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/cli/commands.h"

namespace rq4800 {
namespace {

namespace fs = std::filesystem;

// Runs at 0xE000 (ROM 0x6000). Counts its starts in RAM 0x0200, fills the
// LCD memory with 0x55 (odd dots on, no icons), sets row 40 byte 10 to 0x0F,
// shows the start count in row 79 byte 17, asks the host for the clock (year
// byte 119), waits for a wake key (0xF0 in port 0x05), opens the beeper gate
// and then toggles the beeper level forever while copying the clock's hour
// into row 79 byte 18.
const uint8_t kProgram[] = {
    0x78,              // E000 SEI
    0xA2, 0xFF, 0x9A,  //      LDX #$FF; TXS
    0xEE, 0x00, 0x02,  //      INC $0200
    0xA9, 0x55,        //      LDA #$55
    0xA2, 0x00,        //      LDX #0
    0x9D, 0xC0, 0x09,  // E00B STA $09C0,X
    0x9D, 0xC0, 0x0A,  //      STA $0AC0,X
    0x9D, 0xC0, 0x0B,  //      STA $0BC0,X
    0x9D, 0xC0, 0x0C,  //      STA $0CC0,X
    0x9D, 0xC0, 0x0D,  //      STA $0DC0,X
    0x9D, 0xC0, 0x0E,  //      STA $0EC0,X
    0xE8, 0xD0, 0xEB,  //      INX; BNE E00B
    0xA2, 0x3F,        //      LDX #$3F
    0x9D, 0xC0, 0x0F,  // E022 STA $0FC0,X
    0xCA, 0x10, 0xFA,  //      DEX; BPL E022
    0xA9, 0x0F, 0x8D, 0xEA, 0x0C,  // LDA #$0F; STA $0CEA   (row 40, byte 10)
    0xAD, 0x00, 0x02, 0x8D, 0xFD, 0x0F,  // LDA $0200; STA $0FFD (row 79, byte 17)
    0xA9, 0x77, 0x8D, 0x6C, 0x04,  // LDA #119; STA $046C
    0xA9, 0xF0, 0x85, 0x05,        // LDA #$F0; STA $05
    0xA9, 0x80, 0x85, 0x07,        // LDA #$80; STA $07   gate: port 0x07 bit 7 set
    0xA9, 0x00, 0x85, 0x19,        // LDA #0; STA $19     and port 0x19 bit 7 clear
    0xAD, 0x69, 0x04, 0x8D, 0xFE, 0x0F,  // E044 LDA $0469; STA $0FFE (row 79, byte 18)
    0xA9, 0x80, 0x85, 0x18,        //      LDA #$80; STA $18   level +1
    0xA0, 0xC8, 0x88, 0xD0, 0xFD,  //      LDY #200; DEY; BNE *-1
    0xA9, 0x00, 0x85, 0x18,        //      LDA #0; STA $18     level -1
    0xA0, 0xC8, 0x88, 0xD0, 0xFD,  //      LDY #200; DEY; BNE *-1
    0x4C, 0x44, 0xE0,              //      JMP E044
    0x40,                          // E05F RTI
};
constexpr uint16_t kResetVector = 0xE000;
constexpr uint16_t kInterruptVector = 0xE05F;

std::vector<uint8_t> MakeRom(const uint8_t* program, size_t size) {
  std::vector<uint8_t> rom(4194304, 0);
  std::copy(program, program + size, rom.begin() + 0x6000);
  // 0xFFFA..0xFFFF are ROM 0x7FFA..0x7FFF: NMI, reset, IRQ.
  for (int at : {0x7FFA, 0x7FFE}) {
    rom[at] = kInterruptVector & 0xFF;
    rom[at + 1] = kInterruptVector >> 8;
  }
  rom[0x7FFC] = kResetVector & 0xFF;
  rom[0x7FFD] = kResetVector >> 8;
  return rom;
}

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}
void WriteText(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }
std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

int RunCommand(std::vector<std::string> args) {
  CLI::App app;
  int exitCode = -1;
  cli::AddRunCommand(app, &exitCode);
  args.insert(args.begin(), {"rq4800-cli", "run"});
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::ParseError& e) {
    return e.get_exit_code() == 0 ? 0 : cli::kExitBadUsage;
  }
  return exitCode;
}

struct Png {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;
  bool Black(int x, int y) const {
    const uint8_t* p = &rgba[4 * (static_cast<size_t>(y) * width + x)];
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
  }
  uint32_t Rgb(int x, int y) const {
    const uint8_t* p = &rgba[4 * (static_cast<size_t>(y) * width + x)];
    return p[0] << 16 | p[1] << 8 | p[2];
  }
};

Png ReadPng(const fs::path& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  Png png;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return png;
  image.format = PNG_FORMAT_RGBA;
  png.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, png.rgba.data(), 0, nullptr)) return {};
  png.width = static_cast<int>(image.width);
  png.height = static_cast<int>(image.height);
  return png;
}

struct RunCommandTest : ::testing::Test {
  fs::path dir;
  void SetUp() override {
    dir = fs::path(::testing::TempDir()) /
          ("rq4800_run_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    WriteFile(dir / "rom0.bin", MakeRom(kProgram, sizeof kProgram));
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string P(const char* name) const { return (dir / name).string(); }

  // The byte of the LCD memory the screenshot shows in row r, byte k,
  // checked dot by dot on the 2 x 2 blocks.
  static testing::AssertionResult LcdByteIs(const Png& png, int r, int k, uint8_t expected) {
    for (int bit = 7; bit >= 0; --bit) {
      const int d = 8 * k + 7 - bit;
      const bool on = (expected >> bit) & 1 && d != 0;
      for (int dy = 0; dy < 2; ++dy) {
        for (int dx = 0; dx < 2; ++dx) {
          if (png.Black(75 + 2 * d + dx, 34 + 2 * r + dy) != on) {
            return testing::AssertionFailure() << "row " << r << " dot " << d << " should be " << (on ? "on" : "off");
          }
        }
      }
    }
    return testing::AssertionSuccess();
  }
};

TEST_F(RunCommandTest, ScreenshotShowsTheLcdWavHoldsTheBeeperFlashComesBack) {
  const int frames = 30;
  std::vector<uint8_t> flash(524288);
  for (size_t i = 0; i < flash.size(); ++i) flash[i] = static_cast<uint8_t>(i * 7 + (i >> 12));
  WriteFile(dir / "in.fls", flash);
  testing::internal::CaptureStdout();
  const int exitCode = RunCommand({"--ROM0", P("rom0.bin"), "--frames", std::to_string(frames), "--screenshot",
                                   P("shot.png"), "--wav", P("beep.wav"), "--flash", P("in.fls"), "--save-flash",
                                   P("out.fls"), "--time", "2026-12-05 14:03:07"});
  const std::string out = testing::internal::GetCapturedStdout();
  ASSERT_EQ(exitCode, cli::kExitOk);
  EXPECT_EQ(out, "");  // quiet without --trace

  const Png png = ReadPng(P("shot.png"));
  ASSERT_EQ(png.width, 470);
  ASSERT_EQ(png.height, 611);
  for (int r = 0; r < 80; ++r) {
    for (int k = 0; k < 20; ++k) {
      uint8_t expected = 0x55;
      if (r == 40 && k == 10) expected = 0x0F;
      if (r == 79 && k == 17) expected = 0x01;  // started once
      if (r == 79 && k == 18) expected = 14;    // the hour of --time, taken at the half-second tick
      ASSERT_TRUE(LcdByteIs(png, r, k, expected)) << "byte " << k;
    }
  }
  EXPECT_EQ(png.Rgb(75, 34), 0x90B057u);  // a clear dot in the panel's green

  const std::vector<uint8_t> wav = ReadFile(P("beep.wav"));
  // Four silent blocks queued when the output opens, then one block a frame.
  const size_t samples = (4 + frames) * 882;
  ASSERT_EQ(wav.size(), 44 + 2 * samples);
  ASSERT_EQ(std::string(wav.begin() + 36, wav.begin() + 40), "data");
  size_t high = 0, low = 0, edges = 0;
  int16_t previous = 0;
  for (size_t i = 0; i < samples; ++i) {
    const int16_t s = static_cast<int16_t>(wav[44 + 2 * i] | wav[45 + 2 * i] << 8);
    ASSERT_TRUE(s == 0 || s == 8192 || s == -8192) << "sample " << i << " is " << s;
    if (i < 4 * 882) {
      ASSERT_EQ(s, 0) << "sample " << i;
    }
    high += s == 8192;
    low += s == -8192;
    if (s != previous && previous != 0) ++edges;
    previous = s;
  }
  // A square wave: both levels about equally often, many transitions.
  EXPECT_GT(high, samples / 4);
  EXPECT_GT(low, samples / 4);
  EXPECT_GT(edges, 100u);

  EXPECT_EQ(ReadFile(P("out.fls")), flash);  // the program never writes the flash
}

TEST_F(RunCommandTest, KeyScriptWakesTheWaitingDevice) {
  // Each warm reset restarts the program, which counts its starts.
  WriteText(dir / "wake.keys", "# wake by the key code and by a click on key 5\n3 press #5\n4 release\n"
                               "6 click 340 377\n7 unclick\n8 press A\n");
  testing::internal::CaptureStdout();
  ASSERT_EQ(RunCommand({"--ROM0", P("rom0.bin"), "--frames", "10", "--keys", P("wake.keys"), "--screenshot",
                        P("shot.png"), "--trace"}),
            cli::kExitOk);
  const std::string log = testing::internal::GetCapturedStdout();
  size_t warmResets = 0;
  for (size_t at = log.find("warm reset\n"); at != std::string::npos; at = log.find("warm reset\n", at + 1)) {
    ++warmResets;
  }
  EXPECT_EQ(warmResets, 2u) << log;
  EXPECT_TRUE(LcdByteIs(ReadPng(P("shot.png")), 79, 17, 0x03));
}

TEST_F(RunCommandTest, UnsupportedInstructionEndsTheRunWithStatusThree) {
  const uint8_t halt[] = {0xEA, 0x02};  // NOP, then an opcode the processor does not support
  WriteFile(dir / "halt.bin", MakeRom(halt, sizeof halt));
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunCommand({"--ROM0", P("halt.bin"), "--frames", "5", "--screenshot", P("shot.png")}),
            cli::kExitFaulted);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("unsupported instruction 02 at e001"), std::string::npos) << err;
  EXPECT_TRUE(fs::exists(dir / "shot.png"));
}

TEST_F(RunCommandTest, UnusableInputsAreRefusedOrReported) {
  WriteText(dir / "bad.keys", "1 press A\n2 press Tab\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunCommand({"--ROM0", P("rom0.bin"), "--keys", P("bad.keys")}), cli::kExitBadUsage);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("line 2: unknown key \"Tab\""), std::string::npos);

  EXPECT_EQ(RunCommand({"--ROM0", P("rom0.bin"), "--time", "2026-13-01 00:00:00"}), cli::kExitBadUsage);
  EXPECT_EQ(RunCommand({"--ROM0", P("rom0.bin"), "--frames", "-1"}), cli::kExitBadUsage);
  EXPECT_EQ(RunCommand({"--ROM0", P("rom0.bin"), "--keys", P("missing.keys")}), cli::kExitBadUsage);

  // A flash image to start from must be usable; a replacement resource that
  // is not is only reported, and the run goes on.
  WriteFile(dir / "short.fls", std::vector<uint8_t>(1000, 0xFF));
  EXPECT_EQ(RunCommand({"--ROM0", P("rom0.bin"), "--flash", P("short.fls"), "--frames", "1"}), cli::kExitBadUsage);
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunCommand({"--ROM0", P("rom0.bin"), "--ROM1", P("short.fls"), "--frames", "1"}), cli::kExitOk);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("short.fls holds 1000 bytes"), std::string::npos);
}

}  // namespace
}  // namespace rq4800
