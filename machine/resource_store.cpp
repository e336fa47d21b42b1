#include "machine/resource_store.h"

#include <fstream>
#include <iterator>

#include "core/debug_log.h"

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

bool ResourceStore::ReplaceFromFile(int id, const std::string& path, size_t expectedSize) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    DebugLog("resource %d: cannot open %s, keeping the built-in data\n", id, path.c_str());
    return false;
  }
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (bytes.size() != expectedSize) {
    DebugLog("resource %d: %s holds %zu bytes, not %zu; keeping the built-in data\n", id, path.c_str(),
             bytes.size(), expectedSize);
    return false;
  }
  Replace(id, std::move(bytes));
  return true;
}

}  // namespace rq4800
