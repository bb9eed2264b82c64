#include "textio/number_form.h"

#include <charconv>
#include <cmath>

namespace zentrill {
namespace {

// printf's "%.<precision>g", widening a two-digit exponent to three.
void append_general_form(std::string& text, double value, int precision) {
  char buffer[64];
  const char* const end =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision).ptr;
  const std::string_view digits(buffer, static_cast<std::size_t>(end - buffer));
  // A sign and two or three digits put the exponent's e 4th or 5th from end.
  const std::size_t size = digits.size();
  const std::size_t e = size >= 4 && digits[size - 4] == 'e'   ? size - 4
                        : size >= 5 && digits[size - 5] == 'e' ? size - 5
                                                               : std::string_view::npos;
  if (e == std::string_view::npos) {
    text += digits;
    return;
  }
  const std::size_t first_digit = e + 2;  // after the exponent's sign
  text += digits.substr(0, first_digit);
  const std::size_t exponent_digits = digits.size() - first_digit;
  if (exponent_digits < 3) text.append(3 - exponent_digits, '0');
  text += digits.substr(first_digit);
}

}  // namespace

std::string long_number_form(double value) {
  std::string text;
  append_long_number_form(text, value);
  return text;
}

void append_long_number_form(std::string& text, double value) {
  if (std::isnan(value)) {
    text += "nan";
  } else if (std::isinf(value)) {
    text += value < 0 ? "-inf" : "inf";
  } else {
    append_general_form(text, value, 16);
  }
}

std::string short_number_form(float value) {
  const double widened = value;
  std::string text(1, std::signbit(widened) ? '-' : ' ');
  const double magnitude = std::fabs(widened);
  if (std::isnan(widened)) {
    text += "nan";
  } else if (std::isinf(widened)) {
    text += "inf";
  } else if (magnitude < 1e7 && magnitude == std::trunc(magnitude)) {
    // The same digits, more cheaply (every octave of the pitch list).
    char digits[8];
    const char* const end =
        std::to_chars(digits, digits + sizeof digits, static_cast<std::int32_t>(magnitude)).ptr;
    text.append(digits, static_cast<std::size_t>(end - digits));
  } else {
    append_general_form(text, magnitude, 7);
  }
  return text;
}

std::string remove_leading_blanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

std::string hexadecimal_form(std::int64_t value) {
  char digits[16];
  const char* const end =
      std::to_chars(digits, digits + sizeof digits, static_cast<std::uint64_t>(value), 16).ptr;
  // to_chars writes the digits a-f in lower case.
  std::string text;
  for (const char* digit = digits; digit != end; ++digit) {
    const char c = *digit;
    text.push_back(c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c);
  }
  return text;
}

std::int64_t to_int64(double value) { return to_integer<std::int64_t>(value); }

}  // namespace zentrill
