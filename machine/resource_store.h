#pragma once
// The program's embedded data, looked up by the ids the device's host program
// uses: 112..114 firmware ROM images, 115 the default flash image, 106 the
// program icon, 118..154 the skin and icon pictures. The built-in table is
// generated at build time (our own firmware, flash image and artwork); a store
// can replace any id with other bytes: a user's firmware dump, or a test's
// synthetic image.
#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace rq4800 {

namespace resource {
constexpr int kProgramIcon = 106;
constexpr int kRom0 = 112;  // ROM 0x000000..0x3FFFFF
constexpr int kRom1 = 113;  // ROM 0x400000..0x7FFFFF
constexpr int kRom3 = 114;  // ROM 0xC00000..0xFFFFFF
constexpr int kDefaultFlash = 115;
constexpr int kSkinNormal = 118;
constexpr int kSkinPressed = 119;
constexpr int kStripBackground = 154;
constexpr int kFirmwareLabels = 160;  // the built-in firmware's ld65 label file (text)
constexpr size_t kRomImageSize = 4194304;
constexpr size_t kFlashImageSize = 524288;
}  // namespace resource

struct BuiltinResource {
  int id;
  const unsigned char* data;
  size_t size;
};
// Defined in the generated builtin_resources.cpp; ends with an entry of id 0.
extern const BuiltinResource kBuiltinResources[];

struct ResourceStore {
  bool useBuiltin = true;                          // tests turn this off
  std::map<int, std::vector<uint8_t>> replacements;

  // Empty span when the id is neither replaced nor built in.
  std::span<const uint8_t> Find(int id) const;
  void Replace(int id, std::vector<uint8_t> bytes) { replacements[id] = std::move(bytes); }
  // Replaces id with a file of exactly expectedSize bytes. A file that cannot
  // be read or has another size is not used: the data of id stays as it was,
  // and *error names the file and says why (the caller tells the user, in
  // its own words about what happens next). Returns whether it was taken.
  bool ReplaceFromFile(int id, const std::string& path, size_t expectedSize, std::string* error);
};

}  // namespace rq4800
