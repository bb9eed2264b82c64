#include "driver/frequency_list_input.h"

#include <string_view>
#include <utility>

#include "glide/frequency_list_reader.h"
#include "textio/file_system.h"
#include "textio/whole_file.h"
#include "vocabulary/program_message.h"

namespace zentrill {

FrequencyListInput read_frequency_list_input(const std::string& file) {
  constexpr std::string_view kNothingChanged = "; no file was changed\n";
  std::string text;
  try {
    text = read_whole_file(file);
  } catch (const FileError& failure) {
    return {{}, program_message("cannot read " + std::string(failure.what()) + std::string(kNothingChanged))};
  }
  FrequencyListRead list = read_frequency_list(text);
  if (const auto& bad = list.bad_line) {
    const std::string problem = bad->too_large ? "too large a number" : "not a frequency in hertz";
    return {{}, program_message(input_name(file) + ", line " + std::to_string(bad->number) + ": '" + bad->text +
                                "' is " + problem + std::string(kNothingChanged))};
  }
  return {std::move(list.frequencies), {}};
}

}  // namespace zentrill
