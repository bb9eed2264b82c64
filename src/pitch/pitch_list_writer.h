// The pitch list file pxx.txt: one seven-character line per pitch entry,
// note name, octave digit, " P" and the parameter in hexadecimal, as
// G-1 P97 - the columns the module writer cuts it into.
#ifndef ZENTRILL_PITCH_PITCH_LIST_WRITER_H_
#define ZENTRILL_PITCH_PITCH_LIST_WRITER_H_

#include "pitch/period_analysis.h"
#include "textio/file_slots.h"

namespace zentrill {

// Writes the entry as one line to the pitch list's phase-2 slot in four prints (name, octave
// in short number form without its blank, " P", hexadecimal parameter with
// CR LF). An entry from analyse_period always gives exactly seven characters.
void write_pitch_list_line(FileSlots& slots, const PitchEntry& entry);

}  // namespace zentrill

#endif  // ZENTRILL_PITCH_PITCH_LIST_WRITER_H_
