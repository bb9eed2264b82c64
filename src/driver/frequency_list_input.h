// The list of --from, read whole before the run touches the terminal or any
// file: it may be typed at the terminal, and it may be freq.txt itself, which
// the run then replaces.
#ifndef ZENTRILL_DRIVER_FREQUENCY_LIST_INPUT_H_
#define ZENTRILL_DRIVER_FREQUENCY_LIST_INPUT_H_

#include <string>
#include <vector>

namespace zentrill {

struct FrequencyListInput {
  std::vector<double> frequencies;
  // Not empty: the one line that says why the list cannot be used (it
  // cannot be read, or names its first bad line); exit status 1.
  std::string refusal;
};

// `file` as --from names it, "-" for standard input (frequency_list_reader.h
// has the list's form).
FrequencyListInput read_frequency_list_input(const std::string& file);

}  // namespace zentrill

#endif  // ZENTRILL_DRIVER_FREQUENCY_LIST_INPUT_H_
