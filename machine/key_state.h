#pragma once
// The host's side of the key matrix between frames. The firmware scans the
// keys once or twice a frame, so a key pressed and released between two
// frames would never be seen: the release of a key word that no frame has
// yet run with is held back until one has. The machine carries it, so that a
// saved state or a rewind continues with the keys exactly as they were.
#include <cstdint>

namespace rq4800 {

struct KeyState {
  uint8_t unseenWords = 0;   // bit w: key word w was pressed since the last frame
  uint8_t releaseWords = 0;  // bit w: key word w is to be cleared after the next frame
};

}  // namespace rq4800
