// How the tracker pitches a row: its note tables and the period register a
// note and a fine pitch give, alike on the pulses and the triangle. The
// channel sounds the register value + 1, in its period units.
#ifndef ZENTRILL_VOCABULARY_TRACKER_PITCH_H_
#define ZENTRILL_VOCABULARY_TRACKER_PITCH_H_

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "vocabulary/notes.h"
#include "vocabulary/voice.h"

namespace zentrill {

// The tracker's period register for each note, trunc(clock / 16 / (32.7032 *
// 2^(i/12)) - 0.5); none lies near enough to a whole number for precision to
// matter. NTSC:
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
// PAL. C-0 to G-0 exceed the register; the clamp below plays them at 2047.
inline constexpr std::array<int, 96> kPalTrackerPeriods = {
    3176, 2998, 2830, 2671, 2521, 2379, 2246, 2120, 2001, 1888, 1782, 1682,  // octave 0
    1588, 1499, 1414, 1335, 1260, 1189, 1122, 1059, 1000, 944,  891,  841,   // octave 1
    793,  749,  707,  667,  629,  594,  561,  529,  499,  471,  445,  420,   // octave 2
    396,  374,  353,  333,  314,  297,  280,  264,  249,  235,  222,  209,   // octave 3
    198,  186,  176,  166,  157,  148,  139,  132,  124,  117,  110,  104,   // octave 4
    98,   93,   87,   82,   78,   73,   69,   65,   62,   58,   55,   52,    // octave 5
    49,   46,   43,   41,   38,   36,   34,   32,   30,   29,   27,   25,    // octave 6
    24,   22,   21,   20,   19,   18,   17,   16,   15,   14,   13,   12,    // octave 7
};

constexpr const std::array<int, 96>& tracker_periods(Machine machine) {
  return machine == Machine::pal ? kPalTrackerPeriods : kTrackerPeriods;
}

// `note` 1 = C ... 12 = B.
constexpr std::size_t tracker_note_index(int octave, int note) {
  return static_cast<std::size_t>(kNotesPerOctave * octave + note - 1);
}

// The channel starts with it; it stays in force until a row sets another.
inline constexpr int kNeutralFinePitch = 0x80;

inline constexpr int kHighestPeriodRegister = 2047;

// A pulse is silent below 8, the triangle at 1 and below.
constexpr int period_register(Machine machine, int octave, int note, int fine_pitch) {
  return std::clamp(tracker_periods(machine)[tracker_note_index(octave, note)] + kNeutralFinePitch -
                        fine_pitch,
                    0, kHighestPeriodRegister);
}

namespace tracker_pitch_checks {
constexpr bool falls_with_every_semitone(const std::array<int, 96>& periods) {
  for (std::size_t i = 1; i < periods.size(); ++i) {
    if (!(periods[i] < periods[i - 1])) return false;
  }
  return true;
}
}  // namespace tracker_pitch_checks

static_assert(tracker_pitch_checks::falls_with_every_semitone(kTrackerPeriods) &&
              tracker_pitch_checks::falls_with_every_semitone(kPalTrackerPeriods));
// A-0 and B-7, the ends of what the analysis writes.
static_assert(kTrackerPeriods[tracker_note_index(0, 10)] == 2033);
static_assert(kTrackerPeriods[tracker_note_index(7, kHighestTrackerNote)] == 13);
// A-3 at the neutral fine pitch, and both ends of the clamp.
static_assert(period_register(Machine::ntsc, 3, 10, kNeutralFinePitch) == 253 &&
              period_register(Machine::pal, 3, 10, kNeutralFinePitch) == 235);
static_assert(period_register(Machine::ntsc, 0, 1, 0) == kHighestPeriodRegister &&
              period_register(Machine::ntsc, 7, 12, 0xFF) == 0);

}  // namespace zentrill

#endif  // ZENTRILL_VOCABULARY_TRACKER_PITCH_H_
