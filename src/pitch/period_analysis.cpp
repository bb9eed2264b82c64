#include "pitch/period_analysis.h"

#include <cmath>

#include "pitch/note_table.h"
#include "textio/number_form.h"

namespace zentrill {

double timer_period(double frequency) {
  return static_cast<double>(static_cast<long double>(kTimerBase) / frequency);
}

bool period_in_range(double period) {
  return period >= kShortestPeriod && period <= kLongestPeriod;
}

std::optional<NoteMatch> find_note(double period) {
  if (!period_in_range(period)) return std::nullopt;
  float divisor = 1;
  float octave = 0;
  // Every period in range falls into one zone of passes 0 to 7, so the bound
  // on the passes never cuts the search short.
  for (int pass = 0; pass < kOctavePasses; ++pass) {
    // Multiplying by a power of two is exact, so comparing the scaled period
    // with a table value is comparing the period with that value divided by
    // the divisor, exactly, and without a division per zone.
    const double scaled = period * divisor;
    // The zones of a pass are contiguous and the pass before ended where
    // this one's A zone starts, so no zone of this pass holds a period at or
    // below its G# zone's lower bound: skip the pass, keeping its octave step.
    if (scaled <= kNoteTable.back().lower_bound) {
      octave = octave + 1;
      divisor = divisor * 2;
      continue;
    }
    for (std::size_t row = 0; row < kNoteTable.size(); ++row) {
      // The octave counter carries over from pass to pass: it ends up as the
      // pass number, plus one once the pass has gone past B.
      if (row == kFirstRowOfNextOctave) octave = octave + 1;
      const NoteRow& zone = kNoteTable[row];
      if ((scaled > zone.lower_bound && scaled < zone.upper_bound) || scaled == zone.upper_bound) {
        return NoteMatch{row, pass, divisor, octave};
      }
    }
    divisor = divisor * 2;
  }
  return std::nullopt;
}

double fine_pitch_value(const NoteMatch& match, double period) {
  const double exact = kNoteTable[match.row].exact_period;
  const double difference =
      static_cast<double>(exact / static_cast<long double>(match.divisor) - period);
  return static_cast<double>(static_cast<long double>(kNeutralFinePitch) + difference);
}

std::int64_t fine_pitch_parameter(double value) { return to_int64(value); }

std::optional<PitchEntry> analyse_period(double period) {
  const std::optional<NoteMatch> match = find_note(period);
  if (!match) return std::nullopt;
  return PitchEntry{kNoteTable[match->row].name, match->octave,
                    fine_pitch_parameter(fine_pitch_value(*match, period))};
}

}  // namespace zentrill
