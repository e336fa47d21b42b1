#pragma once
// File names as the device stores them. Names arrive from the host in UTF-8.
// The device shows text and skin names in traditional characters, in Big5;
// its BASIC keeps program names in GBK. A character the target code page
// cannot hold becomes '?', as the code pages' default character.
#include <string>
#include <string_view>

namespace rq4800 {

// Simplified to traditional one character at a time (the first candidate of
// the character table, never phrase conversion), then Big5.
std::string ToDeviceName(std::string_view utf8Name);
// UTF-8 to GBK, characters unchanged.
std::string ToGbkName(std::string_view utf8Name);

}  // namespace rq4800
