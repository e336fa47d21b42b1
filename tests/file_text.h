#pragma once
// A whole file as the tests compare it; empty when it cannot be read.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace rq4800 {

inline std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace rq4800
