// Number and byte forms written to the console and to the text and module
// files, and the rounding of a floating value to an integer.
#ifndef ZENTRILL_TEXTIO_NUMBER_FORM_H_
#define ZENTRILL_TEXTIO_NUMBER_FORM_H_

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace zentrill {

// Up to 16 significant digits, as printf's "%.16g" gives, but with at least
// three exponent digits: 110, 65.40650177001953, 1e+020, 1e-005.
// Infinities and NaN give "inf", "-inf" and "nan".
std::string long_number_form(double value);
// The same, appended to `text`, for writers that build lines in a buffer.
void append_long_number_form(std::string& text, double value);

// The single widened to double, as printf's "% .7g" gives (a blank before a
// value that is not negative), with at least three exponent digits:
// " 3", "-1", " 1e-007", " 1.234568e+008".
std::string short_number_form(float value);

// Drops every leading 0x20 byte; a TAB or any other byte ends the run.
std::string remove_leading_blanks(std::string_view text);

// Base 16, upper-case digits, no leading zeros; a negative value as its 64-bit
// two's complement: 0 -> "0", 128 -> "80", -1 -> "FFFFFFFFFFFFFFFF".
std::string hexadecimal_form(std::int64_t value);

// One byte holding the low 8 bits of the value: 300 -> 0x2C, -1 -> 0xFF.
std::string byte_text(std::int64_t value);

// Floating value to integer: nearest, halves to the even neighbour. A value
// outside the width's range, or NaN, gives the smallest value of the width.
template <class Int, class Float>
Int to_integer(Float value) {
  constexpr Int smallest = std::numeric_limits<Int>::min();
  // The range ends below -smallest, a power of two that every floating type
  // holds exactly; the largest value itself may not be held (2^63 - 1 as a
  // double is 2^63).
  constexpr Float past_largest = -static_cast<Float>(smallest);
  if (std::isnan(value)) return smallest;
  // Halves to even in the default rounding mode; rint, unlike nearbyint,
  // skips saving and restoring the floating-point environment.
  const Float rounded = std::rint(value);
  if (rounded < static_cast<Float>(smallest) || rounded >= past_largest) return smallest;
  return static_cast<Int>(rounded);
}

// The two conversions the program makes.
std::int32_t to_int32(double value);
std::int64_t to_int64(double value);

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_NUMBER_FORM_H_
