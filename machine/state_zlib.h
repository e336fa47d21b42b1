#pragma once
// The zlib streams of a save state's large buffers. Each stream carries a
// list of equal-sized pieces (the RAM as one piece, the flash sectors that
// are not erased), so that the pieces need not lie side by side.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace rq4800 {

// Appends one zlib stream of the pieces, in order, to out. Fastest level:
// a state is taken while the user waits.
void AppendDeflated(std::vector<uint8_t>& out, std::span<const uint8_t* const> pieces, size_t pieceSize);

// Unpacks the zlib stream in into the pieces, in order. True only when the
// stream is intact, fills every piece exactly and nothing follows its end.
bool InflateInto(std::span<const uint8_t> in, std::span<uint8_t* const> pieces, size_t pieceSize);

}  // namespace rq4800
