// The device keeps a text file with its line and screen-row counts in front,
// so the reader can size its scroll bar without a pass over the text.
#include "storage/flash_file_system.h"

namespace rq4800 {

std::vector<uint8_t> BuildTextStream(const uint8_t* data, size_t size) {
  uint32_t lines = 0;
  uint32_t rows = 0;
  long long lineStart = 0;  // q: the line after a CR LF starts two bytes on
  for (size_t p = 0; p < size; ++p) {
    if (data[p] != 0x0A) continue;
    ++lines;
    // A line of up to ten characters takes one row, and a row more per ten.
    rows += static_cast<uint32_t>((static_cast<long long>(p) - lineStart + 19) / 10);
    lineStart = static_cast<long long>(p) + 2;
  }
  std::vector<uint8_t> stream;
  stream.reserve(size + 7);
  stream.push_back(static_cast<uint8_t>(lines));
  stream.push_back(static_cast<uint8_t>(lines >> 8));
  stream.push_back(static_cast<uint8_t>(rows));
  stream.push_back(static_cast<uint8_t>(rows >> 8));
  stream.push_back(0x0A);
  if (size) stream.insert(stream.end(), data, data + size);
  stream.push_back(0xFF);
  stream.push_back(0xFF);
  return stream;
}

}  // namespace rq4800
