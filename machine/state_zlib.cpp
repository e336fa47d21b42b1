#include "machine/state_zlib.h"

#include <zlib.h>

#include <new>

namespace rq4800 {

namespace {

// Ends a stream on every path out of a function.
struct DeflateStream {
  z_stream z{};
  ~DeflateStream() { deflateEnd(&z); }
};
struct InflateStream {
  z_stream z{};
  ~InflateStream() { inflateEnd(&z); }
};

}  // namespace

void AppendDeflated(std::vector<uint8_t>& out, std::span<const uint8_t* const> pieces, size_t pieceSize) {
  DeflateStream stream;
  z_stream& z = stream.z;
  // zlib fails here only when it cannot allocate its tables.
  if (deflateInit(&z, Z_BEST_SPEED) != Z_OK) throw std::bad_alloc();
  const size_t start = out.size();
  out.resize(start + deflateBound(&z, static_cast<uLong>(pieces.size() * pieceSize)));
  // The bound holds for one call; several calls may need a little more.
  const auto room = [&] {
    const size_t used = start + z.total_out;
    if (used == out.size()) out.resize(out.size() + 4096);
    z.next_out = out.data() + used;
    z.avail_out = static_cast<uInt>(out.size() - used);
  };
  for (const uint8_t* piece : pieces) {
    z.next_in = const_cast<Bytef*>(piece);
    z.avail_in = static_cast<uInt>(pieceSize);
    while (z.avail_in != 0) {
      room();
      deflate(&z, Z_NO_FLUSH);
    }
  }
  int result;
  do {
    room();
    result = deflate(&z, Z_FINISH);
  } while (result == Z_OK || result == Z_BUF_ERROR);
  out.resize(start + z.total_out);
}

bool InflateInto(std::span<const uint8_t> in, std::span<uint8_t* const> pieces, size_t pieceSize) {
  InflateStream stream;
  z_stream& z = stream.z;
  if (inflateInit(&z) != Z_OK) throw std::bad_alloc();
  z.next_in = const_cast<Bytef*>(in.data());
  z.avail_in = static_cast<uInt>(in.size());
  int result = Z_OK;
  for (uint8_t* piece : pieces) {
    z.next_out = piece;
    z.avail_out = static_cast<uInt>(pieceSize);
    while (z.avail_out != 0 && result == Z_OK) result = inflate(&z, Z_NO_FLUSH);
    if (z.avail_out != 0) return false;  // the stream ended, broke or ran out early
  }
  if (result == Z_OK) {
    // Every piece is full: the stream must end here, with nothing left over.
    uint8_t extra = 0;
    z.next_out = &extra;
    z.avail_out = 1;
    result = inflate(&z, Z_NO_FLUSH);
    if (z.avail_out != 1) return false;
  }
  return result == Z_STREAM_END && z.avail_in == 0;
}

}  // namespace rq4800
