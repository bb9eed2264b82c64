// Texts are byte strings: one byte a character, zero bytes ordinary.
#ifndef ZENTRILL_TEXTIO_TEXT_OPS_H_
#define ZENTRILL_TEXTIO_TEXT_OPS_H_

#include <optional>
#include <string_view>

namespace zentrill {

// ASCII only.
char upper_case(char c);

// The number a text starts with, after blanks: "&H", "&O", "&B" or "&" octal
// as a wrapping 64-bit integer, else a decimal with d as e; else 0.
// "12 frames" -> 12, "1.5d1" -> 15, "&H10" -> 16, "x7" -> 0, "nan" -> 0.
double numeric_value(std::string_view text);

// An item read as numeric. With no point or exponent before any '&', and at
// most 18 characters or a leading '&': a 64-bit integer, to the nearest
// double. Otherwise the longest decimal prefix, correctly rounded, or 0.
// "1e3" -> 1000, "&H1F" -> 31, "&17" -> 15, "abc" -> 0.
double numeric_item_value(std::string_view item);

// Empty unless the whole text is a decimal, with no blank.
// "440" -> 440, "-.5" -> -0.5, "1.1e2" -> 110, "1e400" -> inf; "1d2", "1e",
// " 1", "inf" -> empty.
std::optional<double> decimal_value(std::string_view text);

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_TEXT_OPS_H_
