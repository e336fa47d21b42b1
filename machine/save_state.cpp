// Save states: the container (magic, version, length, sections, CRC), the
// compressed RAM and flash, and the check-everything-then-apply load. The
// format is tabled in save_state.h; the fixed sections' fields are listed in
// state_sections.h.
#include "machine/save_state.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "machine/machine.h"
#include "machine/machine_fields.h"
#include "machine/state_bytes.h"
#include "machine/state_sections.h"
#include "machine/state_zlib.h"

namespace rq4800 {

namespace {

constexpr uint8_t kMagic[8] = {'R', 'Q', '4', '8', '0', '0', 'S', 'T'};
constexpr size_t kHeaderSize = 20;
constexpr size_t kCrcSize = 4;
constexpr size_t kSectionHeaderSize = 8;
constexpr size_t kRomRangeSize = 0x400000;
constexpr size_t kSectorSize = 4096;
constexpr size_t kSectorCount = BusRQ4800::kFlashSize / kSectorSize;  // 128
constexpr size_t kSectorMapSize = kSectorCount / 8;

enum Section { kRoms, kCpu, kBus, kKeys, kSound, kRing, kFrame, kRam, kFlash, kSectionCount };
constexpr char kTags[kSectionCount][5] = {"ROMS", "CPU ", "BUS ", "KEYS", "SND ", "RING", "FRAM", "RAM ", "FLSH"};

uint32_t Crc(const uint8_t* data, size_t size) { return static_cast<uint32_t>(crc32_z(0, data, size)); }

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
void PutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

int RingFill(int32_t write, int32_t read) {
  return write >= read ? write - read : write - read + SampleRing::kCapacity;
}

bool SectorErased(const uint8_t* sector) {
  static constexpr auto kErased = [] {
    std::array<uint8_t, kSectorSize> bytes{};
    bytes.fill(0xFF);
    return bytes;
  }();
  return std::memcmp(sector, kErased.data(), kSectorSize) == 0;
}

// --- Writing ---------------------------------------------------------------

// Writes the tag and a length to be patched by EndSection; returns where the
// length goes.
size_t BeginSection(std::vector<uint8_t>& out, Section section) {
  out.insert(out.end(), kTags[section], kTags[section] + 4);
  out.resize(out.size() + 4);
  return out.size() - 4;
}
void EndSection(std::vector<uint8_t>& out, size_t lengthAt) {
  PutU32(out.data() + lengthAt, static_cast<uint32_t>(out.size() - lengthAt - 4));
}

template <class Visit>
void WriteFixed(std::vector<uint8_t>& out, Section section, const MachineFields& fields, Visit visit) {
  const size_t at = BeginSection(out, section);
  StateWriter writer{out};
  visit(writer, fields);
  EndSection(out, at);
}

void WriteRing(std::vector<uint8_t>& out, const MachineFields& fields, const SampleRing* ring) {
  const size_t at = BeginSection(out, kRing);
  StateWriter writer{out};
  state_sections::RingHead(writer, fields);
  const int count = fields.ringStorage ? RingFill(fields.ringWrite, fields.ringRead) : 0;
  writer.Field(static_cast<uint32_t>(count));
  for (int i = 0, slot = fields.ringRead; i < count; ++i) {
    writer.Field(ring->samples[static_cast<size_t>(slot)]);
    slot = slot + 1 == SampleRing::kCapacity ? 0 : slot + 1;
  }
  EndSection(out, at);
}

void WriteRam(std::vector<uint8_t>& out, const BusRQ4800& bus) {
  const size_t at = BeginSection(out, kRam);
  StateWriter{out}.Field(static_cast<uint32_t>(BusRQ4800::kRamSize));
  const uint8_t* piece = bus.ram.get();
  AppendDeflated(out, {&piece, 1}, BusRQ4800::kRamSize);
  EndSection(out, at);
}

// Erased sectors, most of a young flash, are only marked in the map.
void WriteFlash(std::vector<uint8_t>& out, const BusRQ4800& bus) {
  const size_t at = BeginSection(out, kFlash);
  std::array<uint8_t, kSectorMapSize> map{};
  std::array<const uint8_t*, kSectorCount> kept{};
  size_t keptCount = 0;
  for (size_t s = 0; s < kSectorCount; ++s) {
    const uint8_t* sector = bus.flash.get() + s * kSectorSize;
    if (SectorErased(sector)) {
      map[s / 8] |= static_cast<uint8_t>(1u << (s % 8));
    } else {
      kept[keptCount++] = sector;
    }
  }
  out.insert(out.end(), map.begin(), map.end());
  AppendDeflated(out, {kept.data(), keptCount}, kSectorSize);
  EndSection(out, at);
}

// --- Reading ---------------------------------------------------------------

bool Refuse(std::string* error, const std::string& reason) {
  if (error) *error = reason;
  return false;
}

std::string Hex(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

// Everything a state holds, decoded and checked, before any of it reaches
// the machine.
struct DecodedState {
  std::array<std::span<const uint8_t>, kSectionCount> sections{};
  RomHashes rom;
  MachineFields fields;
  std::vector<int16_t> pending;  // ring samples from read up to write
  std::vector<uint8_t> ram;
  std::vector<uint8_t> flash;
};

bool SplitSections(std::span<const uint8_t> bytes, DecodedState& state, std::string* error) {
  if (bytes.size() < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
    return Refuse(error, "not a save state of this emulator");
  if (bytes.size() < kHeaderSize + kCrcSize) return Refuse(error, "the save state is truncated");
  const uint32_t version = ReadU32(bytes.data() + 8);
  if (version > kSaveStateVersion)
    return Refuse(error, "the save state was written by a newer version of the emulator (format " +
                             std::to_string(version) + "; this one reads up to " +
                             std::to_string(kSaveStateVersion) + ")");
  if (version == 0) return Refuse(error, "the save state has an unknown format version (0)");
  const uint32_t length = ReadU32(bytes.data() + 12);
  if (bytes.size() < length)
    return Refuse(error, "the save state is truncated (" + std::to_string(bytes.size()) + " of " +
                             std::to_string(length) + " bytes)");
  if (bytes.size() > length)
    return Refuse(error, "the save state has " + std::to_string(bytes.size() - length) + " stray bytes after its end");
  const size_t body = bytes.size() - kCrcSize;
  if (Crc(bytes.data(), body) != ReadU32(bytes.data() + body))
    return Refuse(error, "the save state is damaged (its checksum does not match)");

  // From here on the bytes are as written; the checks below guard against
  // a writer that broke the rules, not against the disk.
  const uint32_t count = ReadU32(bytes.data() + 16);
  size_t at = kHeaderSize;
  for (uint32_t n = 0; n < count; ++n) {
    if (body - at < kSectionHeaderSize) return Refuse(error, "the save state's sections overrun it");
    const std::string tag(reinterpret_cast<const char*>(bytes.data() + at), 4);
    const uint32_t size = ReadU32(bytes.data() + at + 4);
    at += kSectionHeaderSize;
    if (body - at < size) return Refuse(error, "section \"" + tag + "\" overruns the save state");
    int section = 0;
    while (section < kSectionCount && tag != kTags[section]) ++section;
    if (section == kSectionCount) return Refuse(error, "the save state has an unknown section \"" + tag + "\"");
    if (!state.sections[section].empty() || size == 0)
      return Refuse(error, "section \"" + tag + "\" is repeated or empty");
    state.sections[section] = bytes.subspan(at, size);
    at += size;
  }
  if (at != body) return Refuse(error, "the save state has bytes outside its sections");
  for (int section = 0; section < kSectionCount; ++section) {
    if (state.sections[section].empty())
      return Refuse(error, std::string("the save state lacks section \"") + kTags[section] + "\"");
  }
  return true;
}

template <class Visit>
bool ReadFixed(const DecodedState& state, Section section, MachineFields& fields, Visit visit, std::string* error) {
  StateSizer sizer;
  MachineFields shape;
  visit(sizer, shape);
  const std::span<const uint8_t> bytes = state.sections[section];
  StateReader reader{bytes};
  visit(reader, fields);
  if (bytes.size() != sizer.size || !reader.ok || !reader.AtEnd())
    return Refuse(error, std::string("section \"") + kTags[section] + "\" is malformed (" +
                             std::to_string(bytes.size()) + " bytes, " + std::to_string(sizer.size) + " expected)");
  return true;
}

bool ReadRoms(DecodedState& state, const RomHashes& running, std::string* error) {
  StateReader reader{state.sections[kRoms]};
  for (uint32_t& crc : state.rom.crc) reader.Field(crc);
  if (!reader.ok || !reader.AtEnd()) return Refuse(error, "section \"ROMS\" is malformed");
  std::string differences;
  for (size_t i = 0; i < state.rom.crc.size(); ++i) {
    if (state.rom.crc[i] == running.crc[i]) continue;
    const auto first = static_cast<uint32_t>(i * kRomRangeSize);
    differences += (differences.empty() ? "" : ", ") + std::string("ROM 0x") + Hex(first, 6) + "..0x" +
                   Hex(first + static_cast<uint32_t>(kRomRangeSize) - 1, 6) + " (state CRC " +
                   Hex(state.rom.crc[i], 8) + ", running " + Hex(running.crc[i], 8) + ")";
  }
  if (!differences.empty()) return Refuse(error, "the save state was made with other firmware: " + differences + " differ");
  return true;
}

bool ReadRing(DecodedState& state, std::string* error) {
  StateReader reader{state.sections[kRing]};
  state_sections::RingHead(reader, state.fields);
  uint32_t count = 0;
  reader.Field(count);
  MachineFields& f = state.fields;
  // The head is range-checked with every other field later; the count must
  // agree with it now, to size the samples.
  const bool indices = f.ringWrite >= 0 && f.ringWrite < SampleRing::kCapacity && f.ringRead >= 0 &&
                       f.ringRead < SampleRing::kCapacity;
  const uint32_t expected = indices && f.ringStorage == 1 ? static_cast<uint32_t>(RingFill(f.ringWrite, f.ringRead)) : 0;
  if (!reader.ok || count != expected || reader.data.size() - reader.position != 2 * static_cast<size_t>(count))
    return Refuse(error, "section \"RING\" is malformed");
  state.pending.resize(count);
  for (int16_t& sample : state.pending) reader.Field(sample);
  return true;
}

bool ReadRam(DecodedState& state, std::string* error) {
  const std::span<const uint8_t> bytes = state.sections[kRam];
  if (bytes.size() < 4 || ReadU32(bytes.data()) != BusRQ4800::kRamSize) return Refuse(error, "section \"RAM \" is malformed");
  state.ram.resize(BusRQ4800::kRamSize);
  uint8_t* piece = state.ram.data();
  if (!InflateInto(bytes.subspan(4), {&piece, 1}, BusRQ4800::kRamSize))
    return Refuse(error, "section \"RAM \" does not unpack to 65,536 bytes");
  return true;
}

bool ReadFlash(DecodedState& state, std::string* error) {
  const std::span<const uint8_t> bytes = state.sections[kFlash];
  if (bytes.size() < kSectorMapSize) return Refuse(error, "section \"FLSH\" is malformed");
  state.flash.assign(BusRQ4800::kFlashSize, 0xFF);
  std::array<uint8_t*, kSectorCount> kept{};
  size_t keptCount = 0;
  for (size_t s = 0; s < kSectorCount; ++s) {
    if ((bytes[s / 8] >> (s % 8) & 1) == 0) kept[keptCount++] = state.flash.data() + s * kSectorSize;
  }
  if (!InflateInto(bytes.subspan(kSectorMapSize), {kept.data(), keptCount}, kSectorSize))
    return Refuse(error, "section \"FLSH\" does not unpack to its sectors");
  return true;
}

}  // namespace

RomHashes HashRomRanges(const BusRQ4800& bus) {
  RomHashes hashes;
  for (size_t i = 0; i < hashes.crc.size(); ++i) hashes.crc[i] = Crc(bus.rom.get() + i * kRomRangeSize, kRomRangeSize);
  return hashes;
}

std::vector<uint8_t> SaveState(const Machine& machine, const RomHashes& rom) {
  MachineFields fields;
  CaptureFields(machine, fields);
  const BusRQ4800& bus = machine.bus;

  std::vector<uint8_t> out;
  out.reserve(64 * 1024 + (fields.ringStorage ? 2 * static_cast<size_t>(RingFill(fields.ringWrite, fields.ringRead)) : 0));
  out.resize(sizeof kMagic);
  std::memcpy(out.data(), kMagic, sizeof kMagic);
  StateWriter header{out};
  header.Field(kSaveStateVersion);
  header.Field(uint32_t{0});  // the length, patched at the end
  header.Field(static_cast<uint32_t>(kSectionCount));

  const size_t romsAt = BeginSection(out, kRoms);
  for (const uint32_t crc : rom.crc) header.Field(crc);
  EndSection(out, romsAt);
  namespace s = state_sections;
  WriteFixed(out, kCpu, fields, [](auto& io, auto& f) { s::Processor(io, f); });
  WriteFixed(out, kBus, fields, [](auto& io, auto& f) { s::Bus(io, f); });
  WriteFixed(out, kKeys, fields, [](auto& io, auto& f) { s::Keys(io, f); });
  WriteFixed(out, kSound, fields, [](auto& io, auto& f) { s::Sound(io, f); });
  WriteRing(out, fields, bus.ring);
  WriteFixed(out, kFrame, fields, [](auto& io, auto& f) { s::Frame(io, f); });
  WriteRam(out, bus);
  WriteFlash(out, bus);

  PutU32(out.data() + 12, static_cast<uint32_t>(out.size() + kCrcSize));
  const uint32_t crc = Crc(out.data(), out.size());
  header.Field(crc);
  return out;
}

bool LoadState(Machine& machine, const RomHashes& rom, std::span<const uint8_t> bytes, std::string* error) {
  DecodedState state;
  namespace s = state_sections;
  MachineFields& f = state.fields;
  if (!SplitSections(bytes, state, error) || !ReadRoms(state, rom, error) ||
      !ReadFixed(state, kCpu, f, [](auto& io, auto& x) { s::Processor(io, x); }, error) ||
      !ReadFixed(state, kBus, f, [](auto& io, auto& x) { s::Bus(io, x); }, error) ||
      !ReadFixed(state, kKeys, f, [](auto& io, auto& x) { s::Keys(io, x); }, error) ||
      !ReadFixed(state, kSound, f, [](auto& io, auto& x) { s::Sound(io, x); }, error) ||
      !ReadFixed(state, kFrame, f, [](auto& io, auto& x) { s::Frame(io, x); }, error) ||
      !ReadRing(state, error) || !ReadRam(state, error) || !ReadFlash(state, error))
    return false;
  std::string reason;
  if (!CheckFields(f, &reason)) return Refuse(error, "the save state is inconsistent: " + reason);

  // Everything is checked; only now does the machine change.
  BusRQ4800& bus = machine.bus;
  ApplyFields(f, machine);
  std::memcpy(bus.ram.get(), state.ram.data(), BusRQ4800::kRamSize);
  std::memcpy(bus.flash.get(), state.flash.data(), BusRQ4800::kFlashSize);
  if (SampleRing* ring = bus.ring; ring && ring->HasStorage() && f.ringStorage) {
    int slot = f.ringRead;
    for (const int16_t sample : state.pending) {
      ring->samples[static_cast<size_t>(slot)] = sample;
      slot = slot + 1 == SampleRing::kCapacity ? 0 : slot + 1;
    }
  }
  return true;
}

bool ReadStateRam(std::span<const uint8_t> bytes, std::vector<uint8_t>* ram, std::string* error) {
  DecodedState state;
  if (!SplitSections(bytes, state, error) || !ReadRam(state, error)) return false;
  *ram = std::move(state.ram);
  return true;
}

}  // namespace rq4800
