// A list of frequencies given whole (--from), or a freq.txt read back to the
// same values.
#ifndef ZENTRILL_GLIDE_FREQUENCY_LIST_READER_H_
#define ZENTRILL_GLIDE_FREQUENCY_LIST_READER_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrill {

struct BadListLine {
  std::uint64_t number;  // counting from 1, skipped lines included
  std::string text;      // without its line end
  bool too_large;        // a decimal beyond the doubles, such as 1e400
};

struct FrequencyListRead {
  std::vector<double> frequencies;      // hertz, in the list's order
  std::optional<BadListLine> bad_line;  // set: the list is refused as a whole
};

// One frequency per line, CR LF or LF. Blank lines and lines starting with
// '#' are skipped; every other line must be a finite decimal alone.
FrequencyListRead read_frequency_list(std::string_view text);

}  // namespace zentrill

#endif  // ZENTRILL_GLIDE_FREQUENCY_LIST_READER_H_
