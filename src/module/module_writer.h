// Phase 3: the pitch list becomes the FamiTracker module pxx.ftm.
#ifndef ZENTRILL_MODULE_MODULE_WRITER_H_
#define ZENTRILL_MODULE_MODULE_WRITER_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "textio/file_slots.h"
#include "vocabulary/voice.h"

namespace zentrill {

// What the module holds beyond the default module (both off, the default
// voice: 2968 bytes, one 256-row pattern of pulse 1 from the first 256
// lines). No field has a default, so a designated initializer that leaves
// one out draws a warning.
struct ModuleOptions {
  // Defines instrument 0, a 2A03 instrument named "Zentrill", so the note
  // rows sound in the tracker: 223 bytes more.
  bool instrument;
  // The whole pitch list, up to 32767 lines, and the song ends after it: line
  // 256k + r + 1 becomes row r of pattern k, row 0 of every pattern after the
  // first that holds a line is a note row, the row after the last line holds
  // a note cut and the halt effect (row 0 of a pattern of its own when the
  // line count is a multiple of 256), and filler rows complete its pattern.
  // One pattern of the voice's channel, played by one frame, for the lines
  // and that row (1 to 128 patterns): 2581 bytes more per pattern after the
  // first; with fewer than 256 lines the size of the default module.
  bool all_rows;
  // The channel whose patterns hold the rows (the others play their empty
  // pattern 0), the machine with its default tempo, and the speed; the
  // size stays the same.
  Voice voice;
};

// Opens the pitch list for reading and the module for writing in their
// slots of phase 3 (phase_files.h), writes the whole module, then closes the
// pitch list's slot and the module's. With all_rows, the pitch list is first
// opened, read through to count its lines and closed in the same slot. Holds
// one line at a time, however long the list.
// Returns how many lines of the pitch list the module left out: those after
// the 32767th with all_rows, after the 256th without.
// Throws FileError when a read of pxx.txt fails or pxx.ftm cannot be created
// or written.
std::uint64_t write_module(FileSlots& slots, const ModuleOptions& options);

// The one line telling that `lines` (above 0) lines of the pitch list were
// left out of the module and of the files made from its rows,
// `files_cut_short` (the module first, phase_files.h), as write_module counts
// them with `all_rows` as given, and what keeps them; no line end.
std::string lines_left_out_message(std::uint64_t lines, std::span<const std::string_view> files_cut_short,
                                   bool all_rows);

}  // namespace zentrill

#endif  // ZENTRILL_MODULE_MODULE_WRITER_H_
