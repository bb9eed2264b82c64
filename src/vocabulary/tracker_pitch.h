// How the tracker (FamiTracker, NTSC) pitches a row of the first pulse
// channel: its own note table, the fine-pitch effect's neutral value, and the
// period register a note and a fine pitch give. The channel sounds the
// register value + 1, in units of 16 CPU cycles.
#ifndef ZENTRILL_VOCABULARY_TRACKER_PITCH_H_
#define ZENTRILL_VOCABULARY_TRACKER_PITCH_H_

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "vocabulary/notes.h"

namespace zentrill {

// The NTSC CPU clock in hertz, and the CPU cycles of one unit of the pulse
// channel's period.
inline constexpr std::uint32_t kCpuClock = 1789773;
inline constexpr std::uint32_t kCpuCyclesPerPeriodUnit = 16;

// For each note, the whole number the tracker loads into the period register
// when a row starts that note. Index 12 * octave + note - 1, with note 1 = C
// ... 12 = B: C-0 is 0, A-0 is 9, B-7 is 95. The values are
// trunc(1789773 / 16 / (32.7032 * 2^(i/12)) - 0.5), the tracker's clock and
// its C-0; none lies near enough to a whole number for the precision of that
// arithmetic to matter.
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

// The table index of a note: `note` 1 = C ... 12 = B.
constexpr std::size_t tracker_note_index(int octave, int note) {
  return static_cast<std::size_t>(kNotesPerOctave * octave + note - 1);
}

// The fine-pitch effect's parameter that leaves a note untouched; the channel
// starts with it, and it stays in force until a row sets another.
inline constexpr int kNeutralFinePitch = 0x80;

// The period register holds 11 bits.
inline constexpr int kHighestPeriodRegister = 2047;

// The register value of a row that plays the note (`note` 1 = C ... 12 = B)
// at fine pitch `fine_pitch`: R = clamp(T[i] + 128 - X, 0, 2047). A value
// below 8 is silent.
constexpr int period_register(int octave, int note, int fine_pitch) {
  return std::clamp(kTrackerPeriods[tracker_note_index(octave, note)] + kNeutralFinePitch - fine_pitch,
                    0, kHighestPeriodRegister);
}

namespace tracker_pitch_checks {
constexpr bool falls_with_every_semitone() {
  for (std::size_t i = 1; i < kTrackerPeriods.size(); ++i) {
    if (!(kTrackerPeriods[i] < kTrackerPeriods[i - 1])) return false;
  }
  return true;
}
}  // namespace tracker_pitch_checks

static_assert(tracker_pitch_checks::falls_with_every_semitone());
// The lowest note the analysis writes, A-0, and the highest, B-7.
static_assert(kTrackerPeriods[tracker_note_index(0, 10)] == 2033);
static_assert(kTrackerPeriods[tracker_note_index(7, kHighestTrackerNote)] == 13);
// A-3 at the neutral fine pitch, and both ends of the clamp.
static_assert(period_register(3, 10, kNeutralFinePitch) == 253);
static_assert(period_register(0, 1, 0) == kHighestPeriodRegister && period_register(7, 12, 0xFF) == 0);

}  // namespace zentrill

#endif  // ZENTRILL_VOCABULARY_TRACKER_PITCH_H_
