// One frequency's way to a pitch entry: its NTSC timer period, the note zone
// and octave that hold the period, and the fine-pitch parameter that bends
// that note onto it. Pure functions, no files; the numbers follow the rule
// of extended_precision.h. The zones are pitches, the same on every machine;
// on PAL only the fine pitch changes, worked out against PAL periods.
#ifndef ZENTRILL_PITCH_PERIOD_ANALYSIS_H_
#define ZENTRILL_PITCH_PERIOD_ANALYSIS_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "vocabulary/playable_range.h"
#include "vocabulary/voice.h"

namespace zentrill {

// Where the note search stopped.
struct NoteMatch {
  std::size_t row;   // index into kNoteTable
  int pass;          // 0 to 7
  float divisor;     // 2^pass, the value every table period was divided by
  float octave;      // the octave written: pass, plus 1 from C on
};

// Searches pass 0, 1, ... and in each the rows in table order for the zone
// that holds the period (each table value divided by the pass's divisor).
// Empty only when the period is out of range.
std::optional<NoteMatch> find_note(double period);

// The exact period of a row of pass 0 on `machine`: the table's on NTSC; on
// PAL the row's pitch, 55 x 2^(row/12) Hz, against the PAL timer base,
// evaluated at extended precision and stored as a double.
double exact_period(std::size_t row, Machine machine);

// 128 + (the row's exact period / divisor - period), each step evaluated at
// extended precision and stored as a double, with `period` and the exact
// period on `machine`. The difference is left in the units of the matched
// octave, not scaled back by the divisor.
double fine_pitch_value(const NoteMatch& match, double period, Machine machine);

// The fine-pitch value rounded to the nearest whole number, halves to even:
// 128.5 gives 128, 129.5 gives 130. Always 72 to 186 for a period in range.
std::int64_t fine_pitch_parameter(double value);

// The parameter that makes the tracker play the whole timer period nearest
// to `period`, a period on `machine`: the tracker's table value of the
// matched note on that machine (tracker_pitch.h) + 129 - the period rounded
// half to even. The row then plays that rounded period (table value + 128 -
// parameter, plus the channel's 1). Always 72 to 186 for a period in range.
std::int64_t nearest_period_parameter(const NoteMatch& match, double period, Machine machine);

// How the fine-pitch parameter is worked out once the note is found.
enum class FinePitch {
  // fine_pitch_parameter: against the note's exact fractional period, as if
  // the tracker played that. The tracker plays its own whole period instead,
  // so a row can land up to one timer unit from its wanted period. The
  // default, so that pitch lists made before come out the same.
  exact_period,
  // nearest_period_parameter: each row plays the whole period nearest its
  // wanted one, at most half a unit away.
  nearest_period,
};

// One line of the pitch list before it is written.
struct PitchEntry {
  std::string_view note_name;  // "A-" ... "G#"
  float octave;                // 0 to 7
  std::int64_t parameter;      // 72 to 186
};

// The whole analysis of one NTSC pulse period; empty when it is out of range.
// The note and octave do not depend on `fine_pitch`.
std::optional<PitchEntry> analyse_period(double period, FinePitch fine_pitch);

// The whole analysis of a frequency that `voice` sounds: the note and octave
// from the NTSC period of its pulse frequency (playable_range.h), which must
// be in range, and the fine pitch against the period of that pulse frequency
// on the voice's machine. So a triangle's line is the pulse's line of the
// same note, and an NTSC line is analyse_period's.
std::optional<PitchEntry> analyse_frequency(double frequency, FinePitch fine_pitch, const Voice& voice);

}  // namespace zentrill

#endif  // ZENTRILL_PITCH_PERIOD_ANALYSIS_H_
