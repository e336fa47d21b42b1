#pragma once
// What every harness shares: the name of its entry point, the check that
// stops on a broken promise, and a reader that turns the fuzzer's bytes into
// small decisions.
//
// Built by clang for libFuzzer, a harness's entry is LLVMFuzzerTestOneInput
// and a broken promise aborts, so the fuzzer keeps the input. Built into the
// corpus replay test, each harness gets its own entry name (RQ4800_FUZZ_ENTRY)
// and a broken promise throws, so the test can name the corpus file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#ifndef RQ4800_FUZZ_ENTRY
#define RQ4800_FUZZ_ENTRY LLVMFuzzerTestOneInput
#endif

extern "C" int RQ4800_FUZZ_ENTRY(const uint8_t* data, size_t size);

namespace rq4800::fuzz {

struct Violation : std::logic_error {
  using std::logic_error::logic_error;
};

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
#ifdef RQ4800_FUZZ_REPLAY
  throw Violation(std::string(file) + ":" + std::to_string(line) + ": " + what);
#else
  std::fprintf(stderr, "%s:%d: does not hold: %s\n", file, line, what);
  std::abort();
#endif
}

// Reads the input front to back; past its end every read gives zeros, so
// any input, however short, is a complete case.
struct ByteReader {
  const uint8_t* data;
  size_t size;
  size_t at = 0;

  bool Empty() const { return at >= size; }
  size_t Left() const { return Empty() ? 0 : size - at; }
  uint8_t Byte() { return Empty() ? 0 : data[at++]; }
  unsigned U16() { return Byte() | static_cast<unsigned>(Byte()) << 8; }
  unsigned U24() { return U16() | static_cast<unsigned>(Byte()) << 16; }
  // Up to n bytes as they come (fewer at the end of the input).
  std::string Take(size_t n) {
    n = n < Left() ? n : Left();
    std::string s(reinterpret_cast<const char*>(data + at), n);
    at += n;
    return s;
  }
  std::string Rest() { return Take(Left()); }
};

}  // namespace rq4800::fuzz

#define FUZZ_REQUIRE(cond) ((cond) ? (void)0 : ::rq4800::fuzz::Fail(#cond, __FILE__, __LINE__))
