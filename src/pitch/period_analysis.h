// From a frequency to a pitch entry: the note and octave whose zone holds its
// NTSC period, and the fine pitch that bends that note onto it. The zones are
// the same on every machine; on PAL only the fine pitch changes.
#ifndef ZENTRILL_PITCH_PERIOD_ANALYSIS_H_
#define ZENTRILL_PITCH_PERIOD_ANALYSIS_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "vocabulary/playable_range.h"
#include "vocabulary/voice.h"

namespace zentrill {

struct NoteMatch {
  std::size_t row;   // index into kNoteTable
  int pass;          // 0 to 7
  float divisor;     // 2^pass, the value every table period was divided by
  float octave;      // the octave written: pass, plus 1 from C on
};

// Searches pass 0, 1, ..., each in table order. Empty when out of range.
std::optional<NoteMatch> find_note(double period);

// A row's period at pass 0: the table's on NTSC; on PAL from its pitch,
// 55 x 2^(row/12) Hz.
double exact_period(std::size_t row, Machine machine);

// 128 + (exact period / divisor - period), in the units of the matched
// octave: not scaled back by the divisor.
double fine_pitch_value(const NoteMatch& match, double period, Machine machine);

// Rounded halves to even. 72 to 186 for a period in range.
std::int64_t fine_pitch_parameter(double value);

// Makes the tracker play the whole period nearest `period`: its table value
// + 129 - the period rounded half to even (it plays table value + 128 -
// parameter, plus 1). 72 to 186 for a period in range.
std::int64_t nearest_period_parameter(const NoteMatch& match, double period, Machine machine);

enum class FinePitch {
  // Against the exact fractional period, though the tracker plays a whole
  // one: up to one unit off. The default, so old pitch lists come out alike.
  exact_period,
  // At most half a unit off.
  nearest_period,
};

struct PitchEntry {
  std::string_view note_name;  // "A-" ... "G#"
  float octave;                // 0 to 7
  std::int64_t parameter;      // 72 to 186
};

// Empty when `period` (NTSC pulse) is out of range.
std::optional<PitchEntry> analyse_period(double period, FinePitch fine_pitch);

// The note from the NTSC period of the voice's pulse frequency, which must be
// in range; the fine pitch against that frequency's period on the voice's
// machine. So a triangle's line is the pulse's line of the same note.
std::optional<PitchEntry> analyse_frequency(double frequency, FinePitch fine_pitch, const Voice& voice);

}  // namespace zentrill

#endif  // ZENTRILL_PITCH_PERIOD_ANALYSIS_H_
