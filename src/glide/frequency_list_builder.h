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

inline constexpr int kFewestSteps = 2;
inline constexpr int kMostSteps = 1200;

// As on the command line: two different notes and a whole step count from
// kFewestSteps to kMostSteps.
struct NoteGlide {
  Note start;
  Note end;
  float step_count;
};

// The dialogue, glides given whole, or frequencies given whole (written as
// they stand, one glide of the user's own shape).
struct Dialogue {};
using GlideSource = std::variant<Dialogue, std::vector<NoteGlide>, std::vector<double>>;

// Appends each glide's frequencies to the frequency list, open in phase 1's
// slot, then closes the slot; the dialogue asks until "N" to "Another? " or
// the input ends. Returns how many glides were written (a frequency list is
// one, none when empty). A glide that leaves the playable range is told at
// once in one line on `diagnostics`, naming its first such step and
// `files_cut_short`; the transcript gets no byte more. Notes are written as
// `voice`'s channel sounds them: on the triangle an octave below a pulse.
std::uint64_t run_frequency_list_builder(Console& console, FileSlots& slots, std::ostream& diagnostics,
                                         std::span<const std::string_view> files_cut_short,
                                         const GlideSource& source, const Voice& voice);

}  // namespace zentrill

#endif  // ZENTRILL_GLIDE_FREQUENCY_LIST_BUILDER_H_
