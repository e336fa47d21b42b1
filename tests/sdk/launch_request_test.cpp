// A program started for the host: the firmware's launch request, the
// emulator object's download-and-start, and rq4800-cli's --program.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "host/emulator.h"
#include "tests/sdk/program_fixture.h"

namespace rq4800::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr int kLaunchRequest = 0x0474;

// A program that writes `mark` to 0x3FF0 and returns.
std::vector<uint8_t> MarkingProgram(uint8_t mark, const char* name) {
  return Image(1, name, 0x40).Code({0xA9, mark, 0x8D, 0xF0, 0x3F, kRts}).bytes;
}

TEST_F(ProgramTest, TheRequestStartsTheLastProgramFromHomeOrFiles) {
  BootWith(SmallFileSystem());
  AddText("notes", "abc\n");
  for (const auto& image : {MarkingProgram(1, "First"), MarkingProgram(2, "Second")})
    ASSERT_TRUE(machine->storage.DownloadBin(image.data(), image.size()).Ok());
  RunSeconds(1);
  ASSERT_TRUE(AtHome()) << Screen();
  machine->bus.ram[kLaunchRequest] = 0x5A;
  Run(30);
  EXPECT_EQ(machine->bus.ram[0x3FF0], 2) << "the last program of the list ran";
  EXPECT_EQ(machine->bus.ram[kLaunchRequest], 0) << "the request is taken once";
  EXPECT_TRUE(InFiles()) << Screen();
  EXPECT_TRUE(ListInverted(2)) << "Files shows it chosen\n" << Screen();
  // In Files, the request is taken as well; any other byte is no request.
  machine->bus.ram[0x3FF0] = 0;
  machine->bus.ram[kLaunchRequest] = 0x5B;
  Run(20);
  EXPECT_EQ(machine->bus.ram[0x3FF0], 0);
  machine->bus.ram[kLaunchRequest] = 0x5A;
  Run(20);
  EXPECT_EQ(machine->bus.ram[0x3FF0], 2);
}

TEST_F(ProgramTest, ARequestWithoutProgramsLeavesFilesEmpty) {
  BootWith(SmallFileSystem());
  RunSeconds(1);
  machine->bus.ram[kLaunchRequest] = 0x5A;
  Run(30);
  EXPECT_TRUE(InFiles()) << Screen();
  EXPECT_THAT(Line(2), StartsWith("No files")) << Screen();
  EXPECT_FALSE(ProgramRunning());
}

TEST(EmulatorProgramTest, DownloadsAndStartsOnlyProgramImages) {
  FixedClock clock;
  Emulator emulator({{}, &clock, false});
  emulator.PowerOn();
  const std::vector<uint8_t> flashBefore(emulator.machine->bus.flash.get(),
                                         emulator.machine->bus.flash.get() + BusRQ4800::kFlashSize);
  const std::string text = std::string(RQ4800_SOURCE_DIR) + "/sdk/examples/snake.c";
  EXPECT_EQ(emulator.DownloadProgram(text).code, download::kNotAFileType);
  EXPECT_EQ(emulator.DownloadProgram(SdkBuildDir() + "missing.bin").code, download::kUnreadable);
  EXPECT_TRUE(std::equal(flashBefore.begin(), flashBefore.end(), emulator.machine->bus.flash.get()));
  EXPECT_EQ(emulator.machine->bus.ram[kLaunchRequest], 0);

  ASSERT_TRUE(emulator.DownloadProgram(SdkBuildDir() + "snake.bin").Ok());
  for (int frame = 0; frame < 100; ++frame) emulator.RunFrame();
  EXPECT_EQ(emulator.machine->bus.ram[ProgramTest::Label("programRunning")], 1) << "snake waits for keys";
  EXPECT_EQ(emulator.machine->bus.ram[kLaunchRequest], 0);
}

#ifdef RQ4800_CLI
// A folder of the running test's own: the tests run side by side.
std::filesystem::path CliScratch() {
  const auto dir = std::filesystem::path(RQ4800_BINARY_DIR) / "test-scratch" /
                   (std::string("sdk.") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::filesystem::create_directories(dir);
  return dir;
}

// rq4800-cli with these arguments (and input): its exit status and output.
int RunCli(const std::string& arguments, std::string* output) {
  const auto dir = CliScratch();
  const std::string log = (dir / "log.txt").string();
  const int status = std::system((std::string(RQ4800_CLI) + " " + arguments + " > " + log + " 2>&1").c_str());
  const auto bytes = ReadWholeFile(log);
  output->assign(bytes.begin(), bytes.end());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CliProgramTest, DebugStopsInTheProgramWithItsSymbols) {
  const std::string script = (CliScratch() / "debug.txt").string();
  std::ofstream(script) << "symbols " << SdkBuildDir() << "snake.lbl\nbreak _main e\ncontinue 200\nregs\nquit\n";
  std::string output;
  EXPECT_EQ(RunCli("debug --program " + SdkBuildDir() + "snake.bin < " + script, &output), 0) << output;
  // The first program downloaded into the default image lies in bank 14;
  // the firmware's own code at the same address is not the program's.
  EXPECT_THAT(output, HasSubstr("\nbreak ")) << "stopped at main\n" << output;
  EXPECT_THAT(output, HasSubstr("BANK:0E")) << "with the program's bank mapped\n" << output;
}

TEST(CliProgramTest, RunStartsAProgramOrRefusesWhatIsNotOne) {
  std::string output;
  EXPECT_EQ(RunCli("run --frames 100 --program " + SdkBuildDir() + "hanzi.bin", &output), 0) << output;
  EXPECT_EQ(RunCli("run --frames 10 --program " + std::string(RQ4800_SOURCE_DIR) + "/sdk/README.md", &output), 2);
  EXPECT_THAT(output, HasSubstr("--program")) << output;
  EXPECT_THAT(output, HasSubstr("not a file type")) << output;
}
#endif

}  // namespace
}  // namespace rq4800::test
