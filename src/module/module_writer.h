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

// What the module holds beyond the default one (2968 bytes: one 256-row
// pattern of pulse 1 from the first 256 lines). No field has a default, so a
// designated initializer that leaves one out draws a warning.
struct ModuleOptions {
  // Instrument 0, a 2A03 instrument named "Zentrill", so the rows sound at
  // once: 223 bytes more.
  bool instrument;
  // The whole list, up to 32767 lines, 256 rows a pattern and a frame; the
  // row after the last line cuts the note and halts the song.
  bool all_rows;
  // The channel whose pattern holds the rows, the machine with its tempo,
  // and the speed; the size stays the same.
  Voice voice;
};

// Writes pxx.ftm from pxx.txt in their slots of phase 3 (phase_files.h),
// holding one line at a time however long the list. Returns how many lines
// the module left out: those after the 32767th with all_rows, after the
// 256th without. Throws FileError when pxx.txt cannot be read or pxx.ftm
// written.
std::uint64_t write_module(FileSlots& slots, const ModuleOptions& options);

// The one line telling that `lines` (above 0) lines of the pitch list were
// left out of the module and of the files made from its rows,
// `files_cut_short` (the module first, phase_files.h), as write_module counts
// them with `all_rows` as given, and what keeps them; no line end.
std::string lines_left_out_message(std::uint64_t lines, std::span<const std::string_view> files_cut_short,
                                   bool all_rows);

}  // namespace zentrill

#endif  // ZENTRILL_MODULE_MODULE_WRITER_H_
