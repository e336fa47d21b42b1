#pragma once
// The default flash image the program carries (resource 115): a freshly
// formatted device with its system folders, as a new device leaves the factory.
#include <cstdint>
#include <vector>

namespace rq4800 {

// 524,288 bytes.
std::vector<uint8_t> BuildDefaultFlashImage();

}  // namespace rq4800
