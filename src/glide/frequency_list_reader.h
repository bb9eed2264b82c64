// A list of frequencies given whole (--from): the user's own shape of glide,
// or a freq.txt the program wrote, read back to the same values.
#ifndef ZENTRILL_GLIDE_FREQUENCY_LIST_READER_H_
#define ZENTRILL_GLIDE_FREQUENCY_LIST_READER_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrill {

// The first line that is not a frequency.
struct BadListLine {
  std::uint64_t number;  // counting from 1, skipped lines included
  std::string text;      // without its line end
  bool too_large;        // a decimal beyond the doubles, such as 1e400
};

struct FrequencyListRead {
  std::vector<double> frequencies;      // hertz, in the list's order
  std::optional<BadListLine> bad_line;  // set: the list is refused as a whole
};

// One frequency per line. A line ends at LF, the last one also at the end of
// the text, and a CR just before its end is dropped. A blank line (nothing,
// or blanks and TABs alone) and a line starting with '#' are skipped; every
// other line must be a decimal and nothing else (decimal_value, text_ops.h)
// whose value is finite.
FrequencyListRead read_frequency_list(std::string_view text);

}  // namespace zentrill

#endif  // ZENTRILL_GLIDE_FREQUENCY_LIST_READER_H_
