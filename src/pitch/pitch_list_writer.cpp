#include "pitch/pitch_list_writer.h"

#include "driver/phase_files.h"
#include "textio/number_form.h"

namespace zentrill {
namespace {

constexpr int kPitchListSlot = phase_files::kPitchListWritten.slot;

}  // namespace

void write_pitch_list_line(FileSlots& slots, const PitchEntry& entry) {
  slots.print(kPitchListSlot, entry.note_name);
  slots.print(kPitchListSlot, remove_leading_blanks(short_number_form(entry.octave)));
  slots.print(kPitchListSlot, " P");
  slots.print(kPitchListSlot, hexadecimal_form(entry.parameter), LineEnd::with);
}

}  // namespace zentrill
