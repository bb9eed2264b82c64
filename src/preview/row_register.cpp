#include "preview/row_register.h"

#include "vocabulary/pitch_list_format.h"
#include "vocabulary/tracker_pitch.h"

namespace zentrill {

std::optional<std::uint16_t> row_register(std::string_view line, Machine machine) {
  using namespace pitch_list_format;
  const PitchListLine fields = read_pitch_list_line(line);
  if (!fields.laid_out || !fields.note || !fields.sharp || !fields.octave || !fields.high_digit ||
      !fields.low_digit) {
    return std::nullopt;
  }
  const int note = *fields.sharp ? sharpened(*fields.note) : *fields.note;
  if (tracker_note_index(*fields.octave, note) >= tracker_periods(machine).size()) return std::nullopt;
  return static_cast<std::uint16_t>(
      period_register(machine, *fields.octave, note, 16 * *fields.high_digit + *fields.low_digit));
}

}  // namespace zentrill
