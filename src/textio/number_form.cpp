#include "textio/number_form.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace zentrill {
namespace {

// printf writes at least two exponent digits; the files use at least three
// (1e+020, 1e-005).
std::string widen_exponent(std::string text) {
  const std::size_t e = text.find('e');
  if (e == std::string::npos) return text;
  const std::size_t first_digit = e + 2;  // after the exponent's sign
  const std::size_t digits = text.size() - first_digit;
  if (digits < 3) text.insert(first_digit, 3 - digits, '0');
  return text;
}

std::string general_form(double value, int precision) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
  return widen_exponent(std::string(buffer, result.ptr));
}

template <class Int>
Int to_integer(long double value) {
  constexpr Int smallest = std::numeric_limits<Int>::min();
  if (std::isnan(value)) return smallest;
  const long double rounded = std::nearbyint(value);  // halves to even
  if (rounded < static_cast<long double>(smallest) ||
      rounded > static_cast<long double>(std::numeric_limits<Int>::max())) {
    return smallest;
  }
  return static_cast<Int>(rounded);
}

}  // namespace

std::string long_number_form(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  return general_form(value, 16);
}

std::string short_number_form(float value) {
  const double widened = value;
  const char* sign = std::signbit(widened) ? "-" : " ";
  if (std::isnan(widened)) return std::string(sign) + "nan";
  if (std::isinf(widened)) return std::string(sign) + "inf";
  std::string digits = general_form(std::fabs(widened), 7);
  return sign + digits;
}

std::string remove_leading_blanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

std::string hexadecimal_form(std::int64_t value) {
  char buffer[16];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::uint64_t>(value), 16);
  std::string text(buffer, result.ptr);
  for (char& c : text) {
    if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

std::string byte_text(std::int64_t value) {
  return std::string(1, static_cast<char>(static_cast<std::uint8_t>(value)));
}

std::string byte_text(double value) { return byte_text(std::int64_t{to_int32(value)}); }

std::int16_t to_int16(long double value) { return to_integer<std::int16_t>(value); }
std::int32_t to_int32(long double value) { return to_integer<std::int32_t>(value); }
std::int64_t to_int64(long double value) { return to_integer<std::int64_t>(value); }

}  // namespace zentrill
