// Phase 1: glides entered as note pairs and step counts, or given whole,
// written to the frequency list.
#ifndef ZENTRILL_GLIDE_FREQUENCY_LIST_BUILDER_H_
#define ZENTRILL_GLIDE_FREQUENCY_LIST_BUILDER_H_

#include <cstdint>
#include <ostream>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

#include "glide/note_entry.h"
#include "textio/console.h"
#include "textio/file_slots.h"
#include "vocabulary/voice.h"

namespace zentrill {

// A glide writes this many values at the fewest and at the most.
inline constexpr int kFewestSteps = 2;
inline constexpr int kMostSteps = 1200;

// A glide given whole, as on the command line: two notes that are not
// identical and a whole step count from kFewestSteps to kMostSteps.
struct NoteGlide {
  Note start;
  Note end;
  float step_count;
};

// Where phase 1 takes its glides from: the dialogue; glides given whole,
// written as the dialogue writes them; or frequencies given whole, written as
// they stand, one glide of the user's own shape.
struct Dialogue {};
using GlideSource = std::variant<Dialogue, std::vector<NoteGlide>, std::vector<double>>;

// From the dialogue: asks for glides until the user answers "N" to
// "Another? " (or Ctrl-D at a terminal there or before a starting note, or no
// key can arrive any more), appending each glide's frequencies to the
// frequency list, open for writing in its slot of phase 1 (phase_files.h);
// then closes that slot. Returns how many glides were written: 0 when the
// input ended before the first count was accepted. A glide with a value the
// pitch analysis will find outside the playable range is told at once, in
// one line on `diagnostics` naming its first such step and the files that
// will end before it, `files_cut_short` (phase_files.h), before "Another? "
// (on a terminal from the start of a line); the transcript gets no byte more.
// Glides given whole are written and told so, without a word on the
// console; a list of frequencies counts as one glide, none when it is empty.
// A glide's notes are written as `voice`'s channel sounds them, on the
// triangle an octave below a pulse; a list of frequencies as it stands.
std::uint64_t run_frequency_list_builder(Console& console, FileSlots& slots, std::ostream& diagnostics,
                                         std::span<const std::string_view> files_cut_short,
                                         const GlideSource& source, const Voice& voice);

}  // namespace zentrill

#endif  // ZENTRILL_GLIDE_FREQUENCY_LIST_BUILDER_H_
