// Phase 2: every frequency of the frequency list becomes one line of the
// pitch list - the tracker note and octave whose zone holds its NTSC timer
// period, and the fine-pitch parameter that bends that note onto it.
#ifndef ZENTRILL_PITCH_PITCH_ANALYSIS_H_
#define ZENTRILL_PITCH_PITCH_ANALYSIS_H_

#include <cstdint>
#include <optional>
#include <string>

#include "textio/file_slots.h"

namespace zentrill {

// The frequency at which the analysis stopped early.
struct OutOfRangeFrequency {
  std::uint64_t line_number;  // counting from 1
  double frequency;
};

// Reads slot 1 (the frequency list, open for reading) to its end, writing one
// pitch-list line per frequency to slot 2 (open for writing). Stops at the
// first frequency whose period lies outside 14.5 to 2048.5 and tells which.
// Opens and closes nothing.
std::optional<OutOfRangeFrequency> run_pitch_analysis(FileSlots& slots);

// The one-line warning for the user about a stop: which line, its frequency,
// the playable range, and that it and every later line were left out.
std::string out_of_range_message(const OutOfRangeFrequency& stop);

}  // namespace zentrill

#endif  // ZENTRILL_PITCH_PITCH_ANALYSIS_H_
