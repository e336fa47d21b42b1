#pragma once
#include <cstdint>

namespace rq4800 {

// Placeholder until the flash file system lands: the host-side view of the
// device's file system inside the flash buffer.
struct FlashFileSystem {
  uint8_t* image = nullptr;  // the machine's 512 KB flash buffer
};

}  // namespace rq4800
