// The small text operations: upper case and the numeric value of a text.
// Texts are byte strings; one byte is one character; zero bytes are ordinary
// characters. Text equality is std::string's operator==.
#ifndef ZENTRILL_TEXTIO_TEXT_OPS_H_
#define ZENTRILL_TEXTIO_TEXT_OPS_H_

#include <optional>
#include <string_view>

namespace zentrill {

// ASCII a-z to A-Z; every other byte unchanged.
char upper_case(char c);

// The number a text starts with: leading blanks skipped; "&H", "&O", "&B" or
// "&" with octal digits as a 64-bit integer that wraps on overflow; otherwise
// a decimal (sign, digits, point, exponent) with d and D taken as e and E.
// Anything else, the empty text included, gives 0.
// "12 frames" -> 12, "1.5d1" -> 15, "&H10" -> 16, "x7" -> 0, "nan" -> 0.
double numeric_value(std::string_view text);

// The value of an item collected by read_item as a numeric item.
//  - empty: 0;
//  - no point or exponent letter before any '&', and at most 18 characters
//    or starting with '&': the integer rules (leading blanks, '&' bases, or a
//    sign and decimal digits up to the first other character) as a 64-bit
//    integer converted to the nearest double;
//  - otherwise the longest decimal prefix, correctly rounded (0 when none).
// "1e3" -> 1000, "&H1F" -> 31, "&17" -> 15, "abc" -> 0.
double numeric_item_value(std::string_view item);

// The value of a text that is a decimal and nothing else: an optional sign,
// digits with an optional point (at least one digit), an optional e or E
// with an optional sign and digits; no blank. Empty for any other text.
// "440" -> 440, "-.5" -> -0.5, "1.1e2" -> 110, "1e400" -> inf; "1d2", "1e",
// " 1", "inf" -> empty.
std::optional<double> decimal_value(std::string_view text);

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_TEXT_OPS_H_
