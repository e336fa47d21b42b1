#include "debugger/symbols.h"

#include <charconv>
#include <cstdio>
#include <iterator>

namespace rq4800 {

namespace {

std::string_view NextWord(std::string_view& rest) {
  const size_t start = rest.find_first_not_of(" \t");
  if (start == std::string_view::npos) {
    rest = {};
    return {};
  }
  rest.remove_prefix(start);
  const size_t end = rest.find_first_of(" \t");
  const std::string_view word = rest.substr(0, end);
  rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
  return word;
}

// One line: the reason it is not a label, or "" after adding it.
std::string TakeLine(SymbolTable& table, std::string_view line) {
  std::string_view rest = line;
  if (NextWord(rest) != "al") return "expected \"al ADDRESS .name\"";
  const std::string_view hex = NextWord(rest);
  unsigned long value = 0;
  const auto [end, error] = std::from_chars(hex.data(), hex.data() + hex.size(), value, 16);
  if (hex.empty() || error != std::errc() || end != hex.data() + hex.size()) {
    std::string reason = "\"";
    return reason.append(hex).append("\" is not a hexadecimal address");
  }
  if (value > 0xFFFF) {
    std::string reason = "address ";
    return reason.append(hex).append(" lies beyond FFFF");
  }
  std::string_view name = NextWord(rest);
  if (name.starts_with('.')) name.remove_prefix(1);
  if (name.empty()) return "the label has no name";
  if (!NextWord(rest).empty()) return "text after the name";
  const int address = static_cast<int>(value);
  // The linker's own names ("__CONSTRUCTOR_TABLE__", "__BSS_RUN__") often
  // fall on a program's label such as "_main": the program's name is shown.
  const auto [entry, added] = table.byAddress.emplace(address, std::string(name));
  if (!added && entry->second.starts_with("__") && !name.starts_with("__")) entry->second = name;
  table.byName.insert_or_assign(std::string(name), address);
  return {};
}

}  // namespace

int LoadLabels(SymbolTable& table, std::string_view text, std::vector<std::string>* problems) {
  int taken = 0;
  int number = 0;
  while (!text.empty()) {
    const size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
    const std::string reason = TakeLine(table, line);
    if (reason.empty()) {
      ++taken;
    } else if (problems) {
      problems->push_back("line " + std::to_string(number) + ": " + reason);
    }
  }
  return taken;
}

int LoadBuiltinLabels(SymbolTable& table, const ResourceStore& resources) {
  // Another ROM image 0 runs other code at these addresses.
  if (resources.replacements.contains(resource::kRom0)) return 0;
  const std::span<const uint8_t> bytes = resources.Find(resource::kFirmwareLabels);
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return LoadLabels(table, text, nullptr);
}

std::string LabelFor(const SymbolTable& table, int address) {
  auto above = table.byAddress.upper_bound(address);
  if (above == table.byAddress.begin()) return {};
  const auto& [at, name] = *std::prev(above);
  if (at == address) return name;
  if (address - at > 255) return {};
  char offset[8];
  std::snprintf(offset, sizeof offset, "+%d", address - at);
  std::string label = name;
  label.append(offset);
  return label;
}

std::optional<int> FindSymbol(const SymbolTable& table, std::string_view name) {
  if (name.starts_with('.')) name.remove_prefix(1);
  const auto found = table.byName.find(name);
  if (found == table.byName.end()) return std::nullopt;
  return found->second;
}

}  // namespace rq4800
