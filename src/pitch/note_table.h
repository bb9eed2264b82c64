// The twelve note zones of octave pass 0, which place a period.
#ifndef ZENTRILL_PITCH_NOTE_TABLE_H_
#define ZENTRILL_PITCH_NOTE_TABLE_H_

#include <array>
#include <cstddef>
#include <string_view>

#include "vocabulary/notes.h"
#include "vocabulary/playable_range.h"

namespace zentrill {

// lower_bound < p <= upper_bound: a period on a bound belongs to the higher
// note.
struct NoteRow {
  std::string_view name;  // two characters, as the pitch list writes them
  double upper_bound;
  double lower_bound;
  double exact_period;
};

// A-0 in hertz; row n is 2^(n/12) times as high.
inline constexpr double kFirstRowPitch = 55;

// Pass k divides every period by 2^k.
inline constexpr int kOctavePasses = 8;

// The octave number steps up between B and C.
inline constexpr std::size_t kFirstRowOfNextOctave = 3;

// Never recompute these from 111860.7955 / (55 * 2^(n/12)): they agree to 14
// digits only, and the last bit decides zones.
inline constexpr std::array<NoteRow, 12> kNoteTable = {{
    {"A-", 2093.428490924913, 1975.933378020029, 2033.832645454545},
    {"A#", 1975.933378020029, 1865.032759083474, 1919.682390338001},
    {"B-", 1865.032759083474, 1760.356513608758, 1811.938896747433},
    {"C-", 1760.356513608758, 1661.55529435721, 1710.242580788711},
    {"C#", 1661.55529435721, 1568.299361444042, 1614.254040460912},
    {"D-", 1568.299361444042, 1480.277481862136, 1523.652922933692},
    {"D#", 1480.277481862136, 1397.195890770813, 1438.136855399493},
    {"E-", 1397.195890770813, 1318.777311082989, 1357.42043593241},
    {"F-", 1318.777311082989, 1244.76002807867, 1281.23428098579},
    {"F#", 1244.76002807867, 1174.897015956401, 1209.324126349687},
    {"G-", 1174.897015956401, 1108.955113407622, 1141.449978567702},
    {"G#", 1108.955113407622, 1046.7142454624566, 1077.385313981124},
}};

namespace note_table_checks {
constexpr bool zones_are_contiguous() {
  for (std::size_t n = 0; n + 1 < kNoteTable.size(); ++n) {
    if (kNoteTable[n].lower_bound != kNoteTable[n + 1].upper_bound) return false;
  }
  return true;
}
constexpr bool exact_periods_inside_zones() {
  for (const NoteRow& row : kNoteTable) {
    if (!(row.lower_bound < row.exact_period && row.exact_period < row.upper_bound)) return false;
  }
  return true;
}
}  // namespace note_table_checks

static_assert(note_table_checks::zones_are_contiguous());
static_assert(note_table_checks::exact_periods_inside_zones());
static_assert(kNoteTable[11].lower_bound == kNoteTable[0].upper_bound / 2);

// 1 = C ... 12 = B.
constexpr int note_number_of_row(std::size_t row) {
  const std::string_view name = kNoteTable[row].name;
  const int sharp = name[1] == kSharpSign ? 1 : 0;
  return tracker_note_number((natural_semitone(name[0]).value() + sharp) % kNotesPerOctave);
}

namespace note_table_checks {
constexpr bool rows_climb_by_semitones() {
  for (std::size_t row = 0; row < kNoteTable.size(); ++row) {
    const std::string_view name = kNoteTable[row].name;
    if (name.size() != 2 || (name[1] != kNaturalSign && name[1] != kSharpSign)) return false;
    const int expected = (note_number_of_row(0) - 1 + static_cast<int>(row)) % kNotesPerOctave + 1;
    if (note_number_of_row(row) != expected) return false;
  }
  return true;
}
}  // namespace note_table_checks

static_assert(kNoteTable.size() == static_cast<std::size_t>(kNotesPerOctave) &&
              note_table_checks::rows_climb_by_semitones());
static_assert(note_number_of_row(kFirstRowOfNextOctave) == 1 &&
              note_number_of_row(kFirstRowOfNextOctave - 1) == kHighestTrackerNote);

}  // namespace zentrill

#endif  // ZENTRILL_PITCH_NOTE_TABLE_H_
