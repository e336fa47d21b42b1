#pragma once
// Runs a body with the process's writes limited (4 KB unless told): a write
// past that fails half-way, as on a full disk, and the limit binds the
// superuser too.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>

namespace rq4800::test {

template <typename Body>
void WithFileSizeLimit(Body body, rlim_t limit = 4096) {
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = std::min(limit, saved.rlim_max);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  body();
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, SIG_DFL);
}

}  // namespace rq4800::test
