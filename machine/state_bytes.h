#pragma once
// Little-endian field encoding for save states. The three streams share one
// interface, Field(value), so that a section is described once (a template
// over the stream, state_sections.h) and the writer, the reader and the size
// count can never disagree:
//
//   uint8_t, bool  1 byte      int16_t          2 bytes
//   int32_t, uint32_t  4 bytes  double  8 bytes (IEEE-754 bit pattern)
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace rq4800 {

// Appends fields to a byte vector.
struct StateWriter {
  std::vector<uint8_t>& out;

  void Unsigned(uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
  }
  void Field(uint8_t v) { out.push_back(v); }
  void Field(bool v) { out.push_back(v ? 1 : 0); }
  void Field(int16_t v) { Unsigned(static_cast<uint16_t>(v), 2); }
  void Field(int32_t v) { Unsigned(static_cast<uint32_t>(v), 4); }
  void Field(uint32_t v) { Unsigned(v, 4); }
  void Field(double v) { Unsigned(std::bit_cast<uint64_t>(v), 8); }
};

// Counts the bytes a section takes, for its expected length.
struct StateSizer {
  size_t size = 0;

  void Field(uint8_t) { size += 1; }
  void Field(bool) { size += 1; }
  void Field(int16_t) { size += 2; }
  void Field(int32_t) { size += 4; }
  void Field(uint32_t) { size += 4; }
  void Field(double) { size += 8; }
};

// Reads fields from a span. Reading past the end yields zeros and clears ok,
// so a caller checks once after a whole section.
struct StateReader {
  std::span<const uint8_t> data;
  size_t position = 0;
  bool ok = true;

  uint64_t Unsigned(int bytes) {
    if (data.size() - position < static_cast<size_t>(bytes)) {
      ok = false;
      position = data.size();
      return 0;
    }
    uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= static_cast<uint64_t>(data[position + i]) << (8 * i);
    position += static_cast<size_t>(bytes);
    return value;
  }
  void Field(uint8_t& v) { v = static_cast<uint8_t>(Unsigned(1)); }
  void Field(bool& v) {
    const uint64_t byte = Unsigned(1);
    if (byte > 1) ok = false;  // a flag is 0 or 1
    v = byte != 0;
  }
  void Field(int16_t& v) { v = static_cast<int16_t>(static_cast<uint16_t>(Unsigned(2))); }
  void Field(int32_t& v) { v = static_cast<int32_t>(static_cast<uint32_t>(Unsigned(4))); }
  void Field(uint32_t& v) { v = static_cast<uint32_t>(Unsigned(4)); }
  void Field(double& v) { v = std::bit_cast<double>(Unsigned(8)); }
  bool AtEnd() const { return position == data.size(); }
};

}  // namespace rq4800
