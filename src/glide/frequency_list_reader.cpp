#include "glide/frequency_list_reader.h"

#include <cmath>

#include "textio/text_ops.h"

namespace zentrill {

FrequencyListRead read_frequency_list(std::string_view text) {
  FrequencyListRead list;
  std::uint64_t number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++number;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.find_first_not_of(" \t") == std::string_view::npos || line.starts_with('#')) continue;
    const std::optional<double> frequency = decimal_value(line);
    if (!frequency || !std::isfinite(*frequency)) {
      return {{}, BadListLine{number, std::string(line), frequency.has_value()}};
    }
    list.frequencies.push_back(*frequency);
  }
  return list;
}

}  // namespace zentrill
