// Phase 1: glides entered as note pairs and step counts, written to the
// frequency list.
#ifndef ZENTRILL_GLIDE_FREQUENCY_LIST_BUILDER_H_
#define ZENTRILL_GLIDE_FREQUENCY_LIST_BUILDER_H_

#include <cstdint>
#include <ostream>
#include <span>
#include <string_view>

#include "textio/console.h"
#include "textio/file_slots.h"
#include "vocabulary/voice.h"

namespace zentrill {

// Asks for glides until the user answers "N" to "Another? " (or Ctrl-D at a
// terminal there or before a starting note, or no key can arrive any more),
// appending each glide's frequencies to the frequency list, as `voice`'s
// channel sounds its notes (on the triangle an octave below a pulse), open
// for writing in its slot of phase 1 (phase_files.h); then closes that slot.
// Returns how many glides were written: 0 when the input ended before the
// first count was accepted. A glide with a value the pitch analysis will
// find outside the playable range is told at once, in one line on
// `diagnostics` naming its first such step and the files that will end
// before it, `files_cut_short` (phase_files.h), before "Another? " (on a
// terminal from the start of a line); the transcript gets no byte more.
std::uint64_t run_frequency_list_builder(Console& console, FileSlots& slots, std::ostream& diagnostics,
                                         std::span<const std::string_view> files_cut_short,
                                         const Voice& voice);

}  // namespace zentrill

#endif  // ZENTRILL_GLIDE_FREQUENCY_LIST_BUILDER_H_
