// cc65's own sample programs, built unmodified from the installed package
// with rq4800-cl65, run from Files: what they show, and that they return.
#include <string>
#include <utility>

#include "tests/sdk/program_fixture.h"

namespace rq4800::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class SampleTest : public ProgramTest {
 protected:
  // The sample, started; skipped when the package has no samples.
  void StartSample(const std::string& name) {
    const std::string dir = RQ4800_SAMPLES_BUILT;
    if (dir.empty()) GTEST_SKIP() << "cc65's sample programs are not installed";
    image = ReadWholeFile(dir + "/" + name + ".bin");
    ASSERT_FALSE(image.empty()) << name << ".bin was not built";
    BootWithPrograms({image});
    Press(key::kEnter, 20);
  }
  void ExpectBackInFiles() {
    Run(20);
    EXPECT_FALSE(ProgramRunning());
    EXPECT_TRUE(InFiles()) << Screen();
  }
  std::vector<uint8_t> image;
};

TEST_F(SampleTest, HelloDrawsItsFrameAndGreeting) {
  StartSample("hello");
  EXPECT_EQ(image[10], 0) << "runs in place";
  ASSERT_TRUE(RunUntilShown("Hello world!", 2)) << Screen();
  EXPECT_EQ(Line(0), "+------------------------+") << Screen();
  EXPECT_EQ(Line(9), "+------------------------+");
  for (int line = 1; line < 9; ++line) {
    SCOPED_TRACE(line);
    EXPECT_EQ(Line(line).front(), '|');
    EXPECT_EQ(Line(line).back(), '|');
  }
  EXPECT_EQ(Line(5), "|      Hello world!      |") << "in the middle";
  Press(key::kA);
  ExpectBackInFiles();
  EXPECT_EQ(LastExit(), 0);
}

TEST_F(SampleTest, SieveCountsAndListsThePrimes) {
  StartSample("sieve");
  EXPECT_EQ(image[10], 1) << "16 KB of data: loaded into RAM";
  ASSERT_TRUE(RunUntilShown("Q to quit", 30)) << Screen();
  EXPECT_THAT(Screen(), HasSubstr("between 2 and 16384"));
  EXPECT_THAT(Screen(), HasSubstr("Time used: ")) << "clock() and CLOCKS_PER_SEC";
  EXPECT_THAT(Screen(), ::testing::Not(HasSubstr("Time used: 0.000"))) << Screen();
  Press(key::kA);  // the list, a page of 23 primes at a time
  ASSERT_TRUE(RunUntilShown("Q to quit, any other key c", 30)) << Screen();
  RunSeconds(1);
  // The first page ends with the 23rd prime, 83, above the question, the
  // screen scrolled up by the new lines.
  for (auto [line, prime] : {std::pair{6, "  83"}, {5, "  79"}, {4, "  73"}})
    EXPECT_EQ(Line(line), std::string(prime) + std::string(22, ' ')) << Screen();
  EXPECT_THAT(Line(7), StartsWith("Q to quit, any other key c"));
  EXPECT_THAT(Line(8), StartsWith("ontinues"));
  Press(key::kQ);
  ExpectBackInFiles();
}

TEST_F(SampleTest, MandelbrotDrawsTheSetAndTimesIt) {
  StartSample("mandelbrot");
  EXPECT_EQ(image[10], 0) << "runs in place";
  // Drawn row by row, 159 x 80 dots; the last row shows when it is done.
  const auto done = [this] { return Dot(159, 79); };
  for (int second = 0; second < 400 && !done(); ++second) RunSeconds(1);
  ASSERT_TRUE(done()) << Screen();
  EXPECT_TRUE(ProgramRunning()) << "it waits for a key";
  // Points that escape are dots, the set's are not: the corners escape at
  // once; the middle of the main cardioid (c = -0.2) and of the disc at
  // c = -1 are in the set. TGI's x is LCD dot x + 1.
  EXPECT_TRUE(Dot(1, 0) && Dot(159, 79) && Dot(1, 79)) << "the corners";
  EXPECT_FALSE(Dot(1 + 73, 39)) << "c = -0.2";
  EXPECT_FALSE(Dot(1 + 40, 39)) << "c = -1";
  EXPECT_TRUE(Dot(1 + 130, 39)) << "c = 1.2 escapes";
  // The picture is symmetric about the real axis (row 39 is c = 0 - 1/80).
  int asymmetric = 0;
  for (int y = 1; y < 39; ++y)
    for (int x = 1; x < 160; ++x) asymmetric += Dot(x, y) != Dot(x, 78 - y);
  EXPECT_LT(asymmetric, 80) << "rows mirror each other";
  // Back to text: an empty screen, the text going on below "ok.".
  Press(key::kA, 20);
  EXPECT_THAT(Line(1), StartsWith("time  : ")) << Screen();
  EXPECT_THAT(Line(1), ::testing::Not(HasSubstr("time  : 0.0s"))) << "clock() and CLK_TCK";
  EXPECT_THAT(Line(2), StartsWith("Press any key when done")) << Screen();
  Press(key::kA);
  ExpectBackInFiles();
}

}  // namespace
}  // namespace rq4800::test
