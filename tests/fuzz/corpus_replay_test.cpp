// Every kept fuzzing input, replayed through its harness: the regressions
// the fuzzers found and the seeds they start from must keep passing.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/fuzz/fuzz_check.h"

#define RQ4800_HARNESSES(X) \
  X(flash_image) X(pc_file) X(bmp) X(settings) X(key_script) X(cpu_run) X(sound) X(disassembler) X(flash_chip)

#define RQ4800_DECLARE(name) extern "C" int Fuzz_##name(const uint8_t* data, size_t size);
RQ4800_HARNESSES(RQ4800_DECLARE)

namespace rq4800 {
namespace {

namespace fs = std::filesystem;
using Entry = int (*)(const uint8_t*, size_t);

struct Harness {
  const char* name;
  Entry entry;
};

#define RQ4800_ROW(name) {#name, Fuzz_##name},
const Harness kHarnesses[] = {RQ4800_HARNESSES(RQ4800_ROW)};

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs one input; a broken promise becomes a test failure naming the file.
void Replay(const Harness& h, const fs::path& file) {
  const std::vector<uint8_t> bytes = ReadFile(file);
  try {
    h.entry(bytes.data(), bytes.size());
  } catch (const fuzz::Violation& v) {
    ADD_FAILURE() << file << ": " << v.what();
  }
}

TEST(FuzzCorpus, EveryKeptInputPassesItsHarness) {
  for (const Harness& h : kHarnesses) {
    SCOPED_TRACE(h.name);
    const fs::path folder = fs::path(RQ4800_SOURCE_DIR) / "tests/fuzz/corpus" / h.name;
    std::vector<fs::path> files;
    if (fs::is_directory(folder))
      for (const auto& e : fs::directory_iterator(folder)) files.push_back(e.path());
    EXPECT_FALSE(files.empty()) << "no corpus for " << h.name;
    std::sort(files.begin(), files.end());
    for (const fs::path& f : files) Replay(h, f);
    static const uint8_t none[1] = {};
    h.entry(none, 0);  // the empty input is a case of every harness too
  }
}

}  // namespace
}  // namespace rq4800
