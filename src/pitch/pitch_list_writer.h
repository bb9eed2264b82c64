// The pitch list file: one line per pitch entry, laid out as
// pitch_list_format.h says.
#ifndef ZENTRILL_PITCH_PITCH_LIST_WRITER_H_
#define ZENTRILL_PITCH_PITCH_LIST_WRITER_H_

#include "pitch/period_analysis.h"
#include "textio/file_slots.h"

namespace zentrill {

// Writes the entry as one line to the pitch list's slot of phase 2: the note
// name, the octave in short number form without its blank, " P", the
// parameter in hexadecimal form, the line end. An entry from analyse_period
// always fills the seven columns exactly.
void write_pitch_list_line(FileSlots& slots, const PitchEntry& entry);

}  // namespace zentrill

#endif  // ZENTRILL_PITCH_PITCH_LIST_WRITER_H_
