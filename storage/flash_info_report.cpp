// The flash information report: where the tables are, which model and region
// the flash was formatted for, the serial number, and a map of used blocks.
#include <cstdio>

#include "core/debug_log.h"
#include "storage/flash_file_system.h"

namespace rq4800 {

using namespace flashfs;

namespace {

void AppendFormat(std::string& out, const char* format, int a, int b = 0) {
  char line[64];
  int n = std::snprintf(line, sizeof line, format, a, b);
  if (n > 0) out.append(line, static_cast<size_t>(n) < sizeof line ? static_cast<size_t>(n) : sizeof line - 1);
}

const char* RegionText(uint8_t letter) {
  switch (letter) {
    case 'J': return "(简)";
    case 'H': return "(港)";
    default: return "(台)";
  }
}

}  // namespace

std::string FlashFileSystem::FlashInfoReport() {
  Scan();
  std::string out;
  if (!image) return out;
  AppendFormat(out, "Core at %04X\n", coreOffset);

  const uint8_t* core = Core();
  int model = (core[0x7A] & 0x0F) * 256 + core[0x7B];
  AppendFormat(out, (core[0x7A] >> 4) == 0xA ? "Rq_%d" : "Vx_%d", model);
  out += RegionText(core[0x7D]);
  out += "\n";

  // The factory writes the serial number into the first block of "pidf".
  const ParsedRecord* pidf = FindFolder("pidf");
  if (pidf && pidf->HasIndexBlock()) {
    const uint8_t* serial = Block(pidf->IndexBlock());
    AppendFormat(out, "序列号 %d-%d\n", serial[5] | serial[6] << 8, serial[0] | serial[1] << 8 | serial[2] << 16);
  }

  int n = freeBlockCount;
  AppendFormat(out, n % 2 ? "Free space %d.5KB\n" : "Free space %dKB\n", n / 2);

  for (int k = 0; k < kBankCount; ++k) {
    int freeInBank = 0;
    for (int b = k * kBlocksPerBank; b < (k + 1) * kBlocksPerBank; ++b) freeInBank += blocks[b].free;
    if (freeInBank == kBlocksPerBank) {
      AppendFormat(out, "Bank %d free\n", k);
    } else if (freeInBank == 0) {
      AppendFormat(out, "Bank %d full\n", k);
    } else {
      AppendFormat(out, "Bank %d\n", k);
      for (int i = 0; i < kBlocksPerBank; ++i) {
        out += blocks[k * kBlocksPerBank + i].free ? '.' : 'x';
        if ((i + 1) % 32 == 0) {
          out += '\n';
        } else if ((i + 1) % 8 == 0) {
          out += ' ';
        }
      }
    }
  }
  return out;
}

void FlashFileSystem::PrintInfo() {
  std::string report = FlashInfoReport();
  // Line by line: the log formats each piece into a bounded buffer.
  size_t start = 0;
  while (start < report.size()) {
    size_t end = report.find('\n', start);
    end = end == std::string::npos ? report.size() : end + 1;
    DebugLog("%.*s", static_cast<int>(end - start), report.data() + start);
    start = end;
  }
}

}  // namespace rq4800
