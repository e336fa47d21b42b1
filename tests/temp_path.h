#pragma once
// A name in the system's temporary folder that no other test process uses:
// the optimised and sanitized builds (or two checkouts) may run the same test
// at the same moment.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <string_view>

namespace rq4800::test {

inline std::string TempPath(std::string_view name) {
  return ::testing::TempDir() + "rq4800-" + std::to_string(getpid()) + "-" + std::string(name);
}

}  // namespace rq4800::test
