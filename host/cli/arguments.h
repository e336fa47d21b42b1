#pragma once
// What rq4800-cli accepts as numbers, addresses and times. Each refusal says
// in words what would have been accepted.
#include <CLI/CLI.hpp>

#include <optional>
#include <string>
#include <string_view>

#include "machine/machine.h"

namespace rq4800::cli {

// A validator for an integer option: decimal digits only, from min to max.
// Its message reads "expected a whole number from MIN to MAX, not "TEXT"";
// CLI11 puts the option's name in front.
CLI::Validator WholeNumber(int min, int max);

// A 64 KB address typed in hexadecimal, with or without "0x" or "$" in front:
// the address, or nothing with the reason in *reason.
std::optional<int> ParseAddress(std::string_view text, std::string* reason);

// "YYYY-MM-DD HH:MM:SS", a date that exists (the 29th of February only in
// leap years) and a time of day, in the years the device can hold (it counts
// them from 1881 in one byte). Nothing, with the reason in *reason, otherwise.
std::optional<LocalTime> ParseHostTime(std::string_view text, std::string* reason);

}  // namespace rq4800::cli
