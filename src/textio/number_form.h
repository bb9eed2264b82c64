// Number forms for the console and the text files, and rounding.
#ifndef ZENTRILL_TEXTIO_NUMBER_FORM_H_
#define ZENTRILL_TEXTIO_NUMBER_FORM_H_

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace zentrill {

// printf's "%.16g" with at least three exponent digits: 110,
// 65.40650177001953, 1e+020, 1e-005, "inf", "-inf", "nan".
std::string long_number_form(double value);
void append_long_number_form(std::string& text, double value);

// The single widened, as printf's "% .7g" with at least three exponent
// digits: " 3", "-1", " 1e-007", " 1.234568e+008".
std::string short_number_form(float value);

// Drops every leading 0x20 byte; a TAB or any other byte ends the run.
std::string remove_leading_blanks(std::string_view text);

// Upper-case base 16, no leading zeros: 0 -> "0", -1 -> "FFFFFFFFFFFFFFFF".
std::string hexadecimal_form(std::int64_t value);

// Nearest, halves to even; NaN or a value out of range gives Int's smallest.
template <class Int, class Float>
Int to_integer(Float value) {
  constexpr Int smallest = std::numeric_limits<Int>::min();
  // -smallest, a power of two, is exact in every floating type; the largest
  // Int may not be (2^63 - 1 as a double is 2^63).
  constexpr Float past_largest = -static_cast<Float>(smallest);
  if (std::isnan(value)) return smallest;
  // rint, not nearbyint: the same halves to even in the default rounding mode,
  // without saving and restoring the floating-point environment.
  const Float rounded = std::rint(value);
  if (rounded < static_cast<Float>(smallest) || rounded >= past_largest) return smallest;
  return static_cast<Int>(rounded);
}

std::int64_t to_int64(double value);

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_NUMBER_FORM_H_
