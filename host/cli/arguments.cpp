#include "host/cli/arguments.h"

#include <charconv>
#include <cstdint>

namespace rq4800::cli {

namespace {

bool AllDecimal(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// Decimal digits only, as a number no larger than limit (larger gives limit + 1).
int64_t DecimalUpTo(std::string_view text, int64_t limit) {
  int64_t value = 0;
  for (char c : text) {
    value = value * 10 + (c - '0');
    if (value > limit) return limit + 1;
  }
  return value;
}

constexpr const char* kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                         "July",    "August",   "September", "October", "November", "December"};

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

CLI::Validator WholeNumber(int min, int max) {
  const std::string accepted = "expected a whole number from " + std::to_string(min) + " to " + std::to_string(max);
  return CLI::Validator(
      [min, max, accepted](std::string& text) -> std::string {
        if (AllDecimal(text)) {
          const int64_t value = DecimalUpTo(text, max);
          if (value >= min && value <= max) return "";
        }
        return accepted + ", not \"" + text + "\"";
      },
      std::to_string(min) + ".." + std::to_string(max));
}

std::optional<int> ParseAddress(std::string_view text, std::string* reason) {
  std::string_view digits = text;
  if (digits.starts_with("0x") || digits.starts_with("0X")) {
    digits.remove_prefix(2);
  } else if (digits.starts_with("$")) {
    digits.remove_prefix(1);
  }
  int64_t value = 0;
  for (char c : digits) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) {
      digits = {};  // not a hexadecimal number at all
      break;
    }
    value = value * 16 + digit;
    if (value > 0xFFFF) {
      *reason = "\"" + std::string(text) + "\" is above FFFF, the top of the 64 KB address space";
      return std::nullopt;
    }
  }
  if (digits.empty()) {
    *reason = "\"" + std::string(text) + "\" is not a hexadecimal address from 0000 to FFFF";
    return std::nullopt;
  }
  return static_cast<int>(value);
}

std::optional<LocalTime> ParseHostTime(std::string_view text, std::string* reason) {
  // Field widths: the year has four digits, the rest one or two.
  struct Field {
    int LocalTime::*value;
    char before;  // the separator in front of it
    size_t maxDigits;
  };
  static constexpr Field kFields[] = {
      {&LocalTime::year, 0, 4},    {&LocalTime::month, '-', 2},  {&LocalTime::day, '-', 2},
      {&LocalTime::hour, ' ', 2},  {&LocalTime::minute, ':', 2}, {&LocalTime::second, ':', 2},
  };
  *reason = "expected \"YYYY-MM-DD HH:MM:SS\", not \"" + std::string(text) + "\"";
  LocalTime t;
  std::string_view rest = text;
  for (const Field& f : kFields) {
    if (f.before != 0) {
      if (rest.empty() || rest.front() != f.before) return std::nullopt;
      rest.remove_prefix(1);
    }
    const size_t n = rest.find_first_not_of("0123456789");
    const size_t length = n == std::string_view::npos ? rest.size() : n;
    if (length == 0 || length > f.maxDigits || (f.value == &LocalTime::year && length != 4)) return std::nullopt;
    std::from_chars(rest.data(), rest.data() + length, t.*f.value);
    rest.remove_prefix(length);
  }
  if (!rest.empty()) return std::nullopt;

  if (t.year < 1881 || t.year > 2136) {
    *reason = "the device keeps years from 1881 to 2136, not " + std::to_string(t.year);
  } else if (t.month < 1 || t.month > 12) {
    *reason = "there is no month " + std::to_string(t.month);
  } else if (t.day < 1 || t.day > DaysInMonth(t.year, t.month)) {
    *reason = std::string(kMonthNames[t.month - 1]) + " " + std::to_string(t.year) + " has " +
              std::to_string(DaysInMonth(t.year, t.month)) + " days, not " + std::to_string(t.day);
  } else if (t.hour > 23 || t.minute > 59 || t.second > 59) {
    *reason = "hours run from 0 to 23, minutes and seconds from 0 to 59";
  } else {
    reason->clear();
    return t;
  }
  return std::nullopt;
}

}  // namespace rq4800::cli
