// The headless runner end to end: a tiny program of our own in ROM paints a
// pattern into the LCD memory and drives the beeper; the runner's PNG must
// show the pattern and its WAV the beeper's square wave.
#include <gtest/gtest.h>

#include <utility>

#include "host/cli/commands.h"
#include "tests/host/host_fixture.h"
#include "tests/host/png_pixels.h"

namespace rq4800::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// Counts its starts, fills the LCD memory with 0x55 (odd dots on, no icons),
// asks the host for the clock, waits for a wake key, opens the beeper gate
// and then toggles the beeper level forever, showing the clock's hour.
const uint8_t kProgram[] = {
    0x78, 0xA2, 0xFF, 0x9A,                                // E000 SEI; LDX #$FF; TXS
    0xEE, 0x00, 0x02, 0xA9, 0x55, 0xA2, 0x00,              //      INC $0200; LDA #$55; LDX #0
    0x9D, 0xC0, 0x09, 0x9D, 0xC0, 0x0A, 0x9D, 0xC0, 0x0B,  // E00B STA $09C0,X; STA $0AC0,X; STA $0BC0,X
    0x9D, 0xC0, 0x0C, 0x9D, 0xC0, 0x0D, 0x9D, 0xC0, 0x0E,  //      STA $0CC0,X; STA $0DC0,X; STA $0EC0,X
    0xE8, 0xD0, 0xEB, 0xA2, 0x3F,                          //      INX; BNE E00B; LDX #$3F
    0x9D, 0xC0, 0x0F, 0xCA, 0x10, 0xFA,                    // E022 STA $0FC0,X; DEX; BPL E022
    0xA9, 0x0F, 0x8D, 0xEA, 0x0C,                          //      LDA #$0F; STA $0CEA   (row 40, byte 10)
    0xAD, 0x00, 0x02, 0x8D, 0xFD, 0x0F,                    //      LDA $0200; STA $0FFD  (row 79, byte 17)
    0xA9, 0x77, 0x8D, 0x6C, 0x04, 0xA9, 0xF0, 0x85, 0x05,  //      LDA #119; STA $046C; LDA #$F0; STA $05
    0xA9, 0x80, 0x85, 0x07, 0xA9, 0x00, 0x85, 0x19,        //      gate: port 0x07 bit 7 set, port 0x19 bit 7 clear
    0xAD, 0x69, 0x04, 0x8D, 0xFE, 0x0F,                    // E044 LDA $0469; STA $0FFE  (row 79, byte 18)
    0xA9, 0x80, 0x85, 0x18, 0xA0, 0xC8, 0x88, 0xD0, 0xFD,  //      level +1; LDY #200; DEY; BNE *-1
    0xA9, 0x00, 0x85, 0x18, 0xA0, 0xC8, 0x88, 0xD0, 0xFD,  //      level -1; LDY #200; DEY; BNE *-1
    0x4C, 0x44, 0xE0, 0x40,                                //      JMP E044; E05F RTI
};

// A 4 MB ROM with program at 0xE000 and 0xE05F (its RTI) for NMI and IRQ.
Bytes MakeRom(const uint8_t* program, size_t size) {
  Bytes rom(4194304, 0);
  std::copy(program, program + size, rom.begin() + 0x6000);
  const uint8_t vectors[] = {0x5F, 0xE0, 0x00, 0xE0, 0x5F, 0xE0};  // CPU 0xFFFA..0xFFFF
  std::copy(std::begin(vectors), std::end(vectors), rom.begin() + 0x7FFA);
  return rom;
}

// rq4800-cli run with these arguments, through its command-line entry.
int RunCli(std::vector<std::string> args) {
  CLI::App app;
  int exitCode = -1;
  cli::AddRunCommand(app, &exitCode);
  args.insert(args.begin(), {"rq4800-cli", "run"});
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::ParseError&) {
    return cli::kExitBadUsage;
  }
  return exitCode;
}

struct RunCommandTest : ::testing::Test {
  const fs::path dir = ScratchDirectory();
  void SetUp() override { WriteBytes(dir / "rom0.bin", MakeRom(kProgram, sizeof kProgram)); }
  std::string P(const char* name) const { return (dir / name).string(); }
  // The screenshot's pixels as 0xRRGGBB, top row first.
  std::vector<uint32_t> Shot() const {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels = ReadPng(P("shot.png"), &width, &height);
    EXPECT_EQ(std::pair(width, height), std::pair(470, 611));
    pixels.resize(470 * 611);
    for (uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
  }
};

TEST_F(RunCommandTest, ScreenshotShowsTheLcdWavHoldsTheBeeperKeysWakeFlashComesBack) {
  const int frames = 30;
  Bytes flash(524288);
  for (size_t i = 0; i < flash.size(); ++i) flash[i] = static_cast<uint8_t>(i * 7 + (i >> 12));
  WriteBytes(dir / "in.fls", flash);
  // Each warm reset restarts the program, which counts its starts: a key code and a click on key 5 wake it.
  std::ofstream(dir / "wake.keys") << "# wake twice\n3 press #5\n4 release\n6 click 340 377\n7 unclick\n8 press A\n";
  ASSERT_EQ(RunCli({"--ROM0", P("rom0.bin"), "--frames", std::to_string(frames), "--keys", P("wake.keys"),
                 "--screenshot", P("shot.png"), "--wav", P("beep.wav"), "--flash", P("in.fls"), "--save-flash",
                 P("out.fls"), "--time", "2026-12-05 14:03:07"}),
            cli::kExitOk);

  const std::vector<uint32_t> shot = Shot();
  auto rgb = [&](int x, int y) { return shot[470 * y + x]; };
  for (int r = 0; r < 80; ++r) {
    for (int d = 0; d < 160; ++d) {  // the top-left pixel of each 2 x 2 dot
      uint8_t byte = 0x55;
      if (r == 40 && d / 8 == 10) byte = 0x0F;
      if (r == 79 && d / 8 == 17) byte = 3;   // started three times
      if (r == 79 && d / 8 == 18) byte = 14;  // the hour of --time
      const bool on = d != 0 && (byte >> (7 - d % 8) & 1);  // column 0 is never shown
      ASSERT_EQ(rgb(75 + 2 * d, 34 + 2 * r) == 0, on) << "row " << r << " dot " << d;
    }
  }
  EXPECT_EQ(rgb(75, 34), 0x90B057u);  // a clear dot in the panel's green

  // Four silent blocks queued when the output opens, then 882 samples a frame.
  const Bytes wav = ReadBytes(P("beep.wav"));
  const size_t samples = (4 + frames) * 882;
  ASSERT_EQ(wav.size(), 44 + 2 * samples);
  size_t high = 0, low = 0, edges = 0;
  int16_t previous = 0;
  for (size_t i = 0; i < samples; ++i) {
    const int16_t s = static_cast<int16_t>(wav[44 + 2 * i] | wav[45 + 2 * i] << 8);
    ASSERT_TRUE(s == 0 || ((s == 8192 || s == -8192) && i >= 4 * 882)) << "sample " << i << " is " << s;
    high += s == 8192;
    low += s == -8192;
    edges += previous != 0 && s != previous;
    previous = s;
  }
  EXPECT_GT(high, samples / 4);  // a square wave: both levels about equally often
  EXPECT_GT(low, samples / 4);
  EXPECT_GT(edges, 100u);
  EXPECT_EQ(ReadBytes(P("out.fls")), flash);  // the program never writes the flash
}

// A key pressed and released in one frame's events, at frame 0: the program
// ORs every value of key word 3 it reads into row 0 byte 1 and keeps the
// latest in byte 2, so the screenshot shows whether frame 0 saw the A key
// and whether it was up by the end.
TEST_F(RunCommandTest, KeyTappedAtFrameZeroIsSeenByThatFrameThenReleased) {
  Bytes echo(0x60, 0xEA);
  const uint8_t code[] = {
      0x78, 0xA9, 0x10, 0x85, 0x09,        // E000 SEI; E001 LDA #$10; STA $09: key word 3 into port 0x08's latch
      0xA5, 0x08, 0x8D, 0xC2, 0x09,        //      LDA $08; STA $09C2: row 0 byte 2, the word now
      0x0D, 0xC1, 0x09, 0x8D, 0xC1, 0x09,  //      ORA $09C1; STA $09C1: row 0 byte 1, every bit seen
      0x4C, 0x01, 0xE0,                    //      JMP $E001
  };
  std::copy(std::begin(code), std::end(code), echo.begin());
  echo[0x5F] = 0x40;  // RTI for the NMI
  WriteBytes(dir / "echo.bin", MakeRom(echo.data(), echo.size()));
  for (const char* script : {"0 press A\n0 release\n", "0 PRESS a\n0 Release\n", "0 click 45 495\n0 unclick\n"}) {
    std::ofstream(dir / "tap.keys") << script;
    ASSERT_EQ(RunCli({"--ROM0", P("echo.bin"), "--frames", "3", "--keys", P("tap.keys"), "--screenshot",
                      P("shot.png")}),
              cli::kExitOk)
        << script;
    const std::vector<uint32_t> shot = Shot();
    auto on = [&](int dot) { return shot[470 * 34 + 75 + 2 * dot] == 0; };  // row 0
    for (int dot = 8; dot < 24; ++dot) EXPECT_EQ(on(dot), dot == 15) << script << "dot " << dot;
  }
}

TEST_F(RunCommandTest, UnsupportedInstructionEndsTheRunWithStatusThree) {
  const uint8_t halt[] = {0xEA, 0x02};  // NOP, then an opcode the processor does not support
  WriteBytes(dir / "halt.bin", MakeRom(halt, sizeof halt));
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunCli({"--ROM0", P("halt.bin"), "--frames", "5", "--screenshot", P("shot.png")}), cli::kExitFaulted);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("unsupported instruction 02 at e001"), std::string::npos);
  EXPECT_TRUE(fs::exists(dir / "shot.png"));
}

// Each input that cannot be used and each output that cannot be written:
// the message names the option, the file and the reason, and says what
// happens next; the exit status is the one the README gives.
TEST_F(RunCommandTest, UnusableInputsAndUnwritableOutputsGetTheirMessageAndStatus) {
  fs::create_directory(dir / "folder");
  std::ofstream(dir / "bad.keys") << "1 press A\n2 press Tab\n";
  const std::string nosuch = P("nosuch.fls"), folder = P("folder");
  struct Row {
    std::vector<std::string> args;
    int status;
    std::string message;
  };
  const Row rows[] = {
      {{"--flash", nosuch}, cli::kExitBadUsage,
       "run: --flash: cannot read " + nosuch + ": No such file or directory; the run stops\n"},
      {{"--flash", folder}, cli::kExitBadUsage, "run: --flash: " + folder + " is a folder"},
      {{"--flash", P("rom0.bin")}, cli::kExitBadUsage, "holds 4194304 bytes, not 524288; the run stops"},
      {{"--keys", "/dev/zero"}, cli::kExitBadUsage, "run: key script: /dev/zero is a device"},
      {{"--keys", P("bad.keys")}, cli::kExitBadUsage, "line 2: unknown key \"Tab\""},
      {{"--ROM1", folder}, cli::kExitOk, "run: --ROM1: " + folder + " is a folder, not a file that can be read; the "
                                         "built-in data stays in use\n"},
      {{"--wav", P("nowhere/x.wav")}, cli::kExitFailed,
       "run: --wav: cannot create " + P("nowhere/x.wav") + ": No such file or directory; the run stops\n"},
      {{"--wav", "/dev/full"}, cli::kExitFailed, "run: --wav: cannot write /dev/full: No space left on device"},
      {{"--save-flash", P("nowhere/x.fls")}, cli::kExitFailed,
       "run: --save-flash: cannot write " + P("nowhere/x.fls") + ": No such file or directory"},
      {{"--save-flash", folder}, cli::kExitFailed, "run: --save-flash: " + folder + " is a folder"},
  };
  for (const Row& row : rows) {
    std::vector<std::string> args = row.args;
    args.insert(args.end(), {"--ROM0", P("rom0.bin"), "--frames", "2"});
    testing::internal::CaptureStderr();
    const int status = RunCli(args);
    const std::string problems = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, row.status) << row.args[0] << " " << row.args[1];
    EXPECT_NE(problems.find(row.message), std::string::npos) << problems;
  }
  EXPECT_TRUE(fs::is_empty(dir / "folder"));
}

TEST_F(RunCommandTest, SavedFlashGoesThroughALinkAndKeepsIt) {
  fs::create_directory(dir / "store");
  WriteBytes(dir / "store" / "mine.fls", Bytes(10, 1));
  fs::create_symlink("store/mine.fls", dir / "link.fls");
  ASSERT_EQ(RunCli({"--ROM0", P("rom0.bin"), "--frames", "2", "--save-flash", P("link.fls")}), cli::kExitOk);
  EXPECT_TRUE(fs::is_symlink(dir / "link.fls"));
  EXPECT_EQ(ReadBytes(dir / "store" / "mine.fls").size(), 524288u);
}

}  // namespace
}  // namespace rq4800::test
