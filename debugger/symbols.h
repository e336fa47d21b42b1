#pragma once
// Names for addresses: the label files ld65 writes with -Ln, one label a line
// in the form "al 00C000 .name". The built-in firmware's own file is made by
// its build and carried as a resource, so its code shows with names.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "machine/resource_store.h"

namespace rq4800 {

struct SymbolTable {
  std::map<int, std::string> byAddress;  // the first name loaded for each address, a program's before the linker's
  std::map<std::string, int, std::less<>> byName;
};

// Adds the labels of an ld65 label file. Lines that are not a label (wrong
// keyword, an address that is not hexadecimal or lies beyond 0xFFFF, no
// name) are skipped, each with "line N: reason" appended to *problems; blank
// lines are ignored. Returns the number of labels taken.
int LoadLabels(SymbolTable& table, std::string_view text, std::vector<std::string>* problems);

// The built-in firmware's labels (resource 160), as long as ROM image 0 is
// the built-in firmware they belong to. Returns the number taken.
int LoadBuiltinLabels(SymbolTable& table, const ResourceStore& resources);

// "name" for a labelled address, "name+N" within 255 bytes after one, or "".
std::string LabelFor(const SymbolTable& table, int address);

std::optional<int> FindSymbol(const SymbolTable& table, std::string_view name);

}  // namespace rq4800
