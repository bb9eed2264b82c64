// The tracker's own note table (FamiTracker, NTSC): for each note, the whole
// number it loads into the pulse channel's period register when a row starts
// that note. A row with fine-pitch parameter X then plays the timer period
// table value + 128 - X + 1, in units of 16 CPU cycles.
#ifndef ZENTRILL_PITCH_TRACKER_NOTE_TABLE_H_
#define ZENTRILL_PITCH_TRACKER_NOTE_TABLE_H_

#include <array>
#include <cstddef>

namespace zentrill {

// Index 12 * octave + note - 1, with note 1 = C ... 12 = B: C-0 is 0, A-0 is
// 9, B-7 is 95. The values are trunc(1789773 / 16 / (32.7032 * 2^(i/12)) -
// 0.5), the tracker's clock and its C-0; none lies near enough to a whole
// number for the precision of that arithmetic to matter.
inline constexpr std::array<int, 96> kTrackerPeriods = {
    3419, 3228, 3046, 2875, 2714, 2561, 2418, 2282, 2154, 2033, 1919, 1811,  // octave 0
    1709, 1613, 1523, 1437, 1356, 1280, 1208, 1140, 1076, 1016, 959,  905,   // octave 1
    854,  806,  761,  718,  678,  640,  604,  570,  538,  507,  479,  452,   // octave 2
    427,  403,  380,  359,  338,  319,  301,  284,  268,  253,  239,  225,   // octave 3
    213,  201,  189,  179,  169,  159,  150,  142,  134,  126,  119,  112,   // octave 4
    106,  100,  94,   89,   84,   79,   75,   70,   66,   63,   59,   56,    // octave 5
    52,   49,   47,   44,   41,   39,   37,   35,   33,   31,   29,   27,    // octave 6
    26,   24,   23,   21,   20,   19,   18,   17,   16,   15,   14,   13,    // octave 7
};

inline constexpr int kNotesPerOctave = 12;

// The table index of a note: `note` 1 = C ... 12 = B.
constexpr std::size_t tracker_note_index(int octave, int note) {
  return static_cast<std::size_t>(kNotesPerOctave * octave + note - 1);
}

namespace tracker_note_table_checks {
constexpr bool falls_with_every_semitone() {
  for (std::size_t i = 1; i < kTrackerPeriods.size(); ++i) {
    if (!(kTrackerPeriods[i] < kTrackerPeriods[i - 1])) return false;
  }
  return true;
}
}  // namespace tracker_note_table_checks

static_assert(tracker_note_table_checks::falls_with_every_semitone());
// The lowest note the analysis writes, A-0, and the highest, B-7.
static_assert(kTrackerPeriods[tracker_note_index(0, 10)] == 2033);
static_assert(kTrackerPeriods[tracker_note_index(7, 12)] == 13);

}  // namespace zentrill

#endif  // ZENTRILL_PITCH_TRACKER_NOTE_TABLE_H_
