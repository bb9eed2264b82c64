#include "pitch/pitch_list_writer.h"

#include "pitch/note_table.h"
#include "textio/number_form.h"
#include "vocabulary/phase_files.h"
#include "vocabulary/pitch_list_format.h"

namespace zentrill {
namespace {

using namespace pitch_list_format;

constexpr int kPitchListSlot = phase_files::kPitchListWritten.slot;

// Every note name fills the letter and accidental columns.
constexpr bool note_names_fit() {
  for (const NoteRow& row : kNoteTable) {
    if (static_cast<int>(row.name.size()) != kOctaveColumn - kNoteLetterColumn) return false;
    const std::string_view accidental = row.name.substr(kAccidentalColumn - kNoteLetterColumn, 1);
    if (accidental != kNatural && accidental != kSharp) return false;
  }
  return true;
}
static_assert(note_names_fit());

}  // namespace

void write_pitch_list_line(FileSlots& slots, const PitchEntry& entry) {
  slots.print(kPitchListSlot, entry.note_name);
  slots.print(kPitchListSlot, remove_leading_blanks(short_number_form(entry.octave)));
  slots.print(kPitchListSlot, kSeparator);
  slots.print(kPitchListSlot, hexadecimal_form(entry.parameter), kLineEnd);
}

}  // namespace zentrill
