#include "machine/resource_store.h"

#include <utility>

#include "core/file_io.h"

namespace rq4800 {

std::span<const uint8_t> ResourceStore::Find(int id) const {
  if (auto it = replacements.find(id); it != replacements.end()) return it->second;
  if (useBuiltin) {
    for (const BuiltinResource* r = kBuiltinResources; r->id != 0; ++r) {
      if (r->id == id) return {r->data, r->size};
    }
  }
  return {};
}

bool ResourceStore::ReplaceFromFile(int id, const std::string& path, size_t expectedSize, std::string* error) {
  FileRead file = ReadImageFile(path, expectedSize);
  if (!file.ok()) {
    if (error) *error = std::move(file.error);
    return false;
  }
  Replace(id, std::move(file.bytes));
  return true;
}

}  // namespace rq4800
