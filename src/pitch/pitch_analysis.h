// Phase 2: every frequency of the frequency list becomes one line of the
// pitch list - the tracker note and octave whose zone holds the NTSC timer
// period of its note, and the fine-pitch parameter that bends that note onto
// it on the voice's channel and machine.
#ifndef ZENTRILL_PITCH_PITCH_ANALYSIS_H_
#define ZENTRILL_PITCH_PITCH_ANALYSIS_H_

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "pitch/period_analysis.h"
#include "textio/file_slots.h"
#include "vocabulary/voice.h"

namespace zentrill {

// The frequency at which the analysis stopped early.
struct OutOfRangeFrequency {
  std::uint64_t line_number;  // counting from 1
  double frequency;
};

// Reads the frequency list to its end, writing one pitch-list line per
// frequency before the next frequency is read; both files are open in their
// slots of phase 2 (phase_files.h). Each frequency is one that `voice`
// sounds (analyse_frequency). Stops at the first frequency whose note's
// period lies outside 14.5 to 2048.5 (an empty line reads as 0 Hz and stops
// it too), writing no line for it and reading nothing after it, and tells
// which. Empty when every frequency was analysed. `fine_pitch` and the
// voice's machine choose how each line's parameter is worked out; nothing
// else depends on them. Opens and closes nothing; holds one frequency at a
// time, however long the list. Throws FileError when a read of freq.txt or a
// write of pxx.txt fails.
std::optional<OutOfRangeFrequency> run_pitch_analysis(FileSlots& slots, FinePitch fine_pitch,
                                                      const Voice& voice);

// The one-line warning for the user about a stop: which line, its frequency,
// the playable range of `channel`, and that it and every later line were
// left out of `files_cut_short` (phase_files.h); no line end.
std::string out_of_range_message(const OutOfRangeFrequency& stop,
                                 std::span<const std::string_view> files_cut_short,
                                 Channel channel);

}  // namespace zentrill

#endif  // ZENTRILL_PITCH_PITCH_ANALYSIS_H_
