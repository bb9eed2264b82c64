#ifndef ZENTRILL_PITCH_PITCH_LIST_WRITER_H_
#define ZENTRILL_PITCH_PITCH_LIST_WRITER_H_

#include "pitch/period_analysis.h"
#include "textio/file_slots.h"

namespace zentrill {

// One line to phase 2's slot; an entry from analyse_period fills the seven
// columns exactly.
void write_pitch_list_line(FileSlots& slots, const PitchEntry& entry);

}  // namespace zentrill

#endif  // ZENTRILL_PITCH_PITCH_LIST_WRITER_H_
