#include "textio/text_ops.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace zentrill {
namespace {

bool is_digit_of_base(char c, int base, unsigned& digit) {
  if (c >= '0' && c <= '9') {
    digit = static_cast<unsigned>(c - '0');
  } else if (c >= 'A' && c <= 'F') {
    digit = static_cast<unsigned>(c - 'A' + 10);
  } else if (c >= 'a' && c <= 'f') {
    digit = static_cast<unsigned>(c - 'a' + 10);
  } else {
    return false;
  }
  return digit < static_cast<unsigned>(base);
}

// Wraps on overflow.
std::uint64_t read_digits(std::string_view text, int base) {
  std::uint64_t value = 0;
  unsigned digit = 0;
  for (const char c : text) {
    if (!is_digit_of_base(c, base, digit)) break;
    value = value * static_cast<std::uint64_t>(base) + digit;
  }
  return value;
}

// "&H1F" (also &h), "&O17", "&B101", or "&17" (octal); at least two characters.
std::int64_t read_ampersand_integer(std::string_view text) {
  switch (text[1]) {
    case 'H': case 'h': return static_cast<std::int64_t>(read_digits(text.substr(2), 16));
    case 'O': case 'o': return static_cast<std::int64_t>(read_digits(text.substr(2), 8));
    case 'B': case 'b': return static_cast<std::int64_t>(read_digits(text.substr(2), 2));
    default: return static_cast<std::int64_t>(read_digits(text.substr(1), 8));
  }
}

std::int64_t read_integer(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return 0;
  text.remove_prefix(first);
  if (text.size() >= 2 && text[0] == '&') return read_ampersand_integer(text);
  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  const std::uint64_t magnitude = read_digits(text, 10);
  return static_cast<std::int64_t>(negative ? 0 - magnitude : magnitude);
}

bool is_decimal_digit(char c) { return c >= '0' && c <= '9'; }

struct DecimalPrefix {
  std::size_t length;           // 0 when there is no number
  std::size_t exponent_letter;  // its position, or npos when there is no exponent
};

// [sign] digits [. digits] [e|E|d|D [sign] digits]. Narrower than strtod and
// from_chars on purpose: no "inf", "nan" or hexadecimal floats.
DecimalPrefix decimal_prefix(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t mantissa_digits = 0;
  while (i < text.size() && is_decimal_digit(text[i])) ++i, ++mantissa_digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && is_decimal_digit(text[i])) ++i, ++mantissa_digits;
  }
  if (mantissa_digits == 0) return {0, std::string_view::npos};
  std::size_t exponent_letter = std::string_view::npos;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && is_decimal_digit(text[j])) {
      while (j < text.size() && is_decimal_digit(text[j])) ++j;
      exponent_letter = i;
      i = j;
    }
  }
  return {i, exponent_letter};
}

// Too large gives infinity, too small zero, no number 0.
double read_decimal(std::string_view text) {
  const DecimalPrefix prefix = decimal_prefix(text);
  if (prefix.length == 0) return 0.0;
  std::string_view number = text.substr(0, prefix.length);
  std::string with_e;  // from_chars knows only e and E
  if (prefix.exponent_letter != std::string_view::npos &&
      (number[prefix.exponent_letter] == 'd' || number[prefix.exponent_letter] == 'D')) {
    with_e = number;
    with_e[prefix.exponent_letter] = 'e';
    number = with_e;
  }
  const bool negative = number[0] == '-';
  if (number[0] == '+' || number[0] == '-') number.remove_prefix(1);
  double magnitude = 0.0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), magnitude);
  if (result.ec == std::errc::result_out_of_range) {
    // from_chars leaves the value alone here; strtod rounds the validated
    // text to HUGE_VAL or the tiny value.
    magnitude = std::strtod(std::string(number).c_str(), nullptr);
  }
  return negative ? -magnitude : magnitude;
}

bool is_c_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

char upper_case(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

double numeric_value(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return 0.0;
  text.remove_prefix(first);
  if (text.size() >= 2 && text[0] == '&') {
    return static_cast<double>(read_ampersand_integer(text));
  }
  while (!text.empty() && is_c_space(text.front())) text.remove_prefix(1);
  return read_decimal(text);
}

double numeric_item_value(std::string_view item) {
  if (item.empty()) return 0.0;
  // Only a point or exponent letter before any '&' makes the item a decimal.
  bool fractional = false;
  for (const char c : item) {
    if (c == '&') break;
    if (c == '.' || c == 'e' || c == 'E' || c == 'd' || c == 'D') {
      fractional = true;
      break;
    }
  }
  if (!fractional && (item.size() <= 18 || item[0] == '&')) {
    return static_cast<double>(read_integer(item));
  }
  return read_decimal(item);
}

std::optional<double> decimal_value(std::string_view text) {
  const DecimalPrefix prefix = decimal_prefix(text);
  const bool exponent_e = prefix.exponent_letter == std::string_view::npos ||
                          text[prefix.exponent_letter] == 'e' || text[prefix.exponent_letter] == 'E';
  if (prefix.length == 0 || prefix.length != text.size() || !exponent_e) return std::nullopt;
  return read_decimal(text);
}

}  // namespace zentrill
