#pragma once
// The --flash argument of the flash tools: a flash image file, or the
// built-in default image when none is named.
#include <cstdint>
#include <string>
#include <vector>

namespace rq4800::cli {

// Fills image with the named file (or the default image for an empty path).
// A file that cannot be read, or is not exactly one flash image long, is
// refused with a problem line (standard error) that starts with command.
bool ReadFlashArgument(const char* command, const std::string& path, std::vector<uint8_t>& image);

}  // namespace rq4800::cli
