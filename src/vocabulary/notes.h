// Note letters and numbers, as every phase counts them: the seven naturals
// with their semitone above C, from which note entry's semitone (C = 0 ...
// B = 11), the tracker's note number (C = 1 ... B = 12) and the note of each
// row of the pitch analysis' zone table all come.
#ifndef ZENTRILL_VOCABULARY_NOTES_H_
#define ZENTRILL_VOCABULARY_NOTES_H_

#include <array>
#include <optional>

namespace zentrill {

inline constexpr int kNotesPerOctave = 12;

// The accidentals a note name may carry; there is no flat.
inline constexpr char kNaturalSign = '-';
inline constexpr char kSharpSign = '#';

struct NaturalNote {
  char letter;   // upper case
  int semitone;  // above C of the same octave
};

inline constexpr std::array<NaturalNote, 7> kNaturalNotes = {{
    {'C', 0}, {'D', 2}, {'E', 4}, {'F', 5}, {'G', 7}, {'A', 9}, {'B', 11},
}};

// The semitone of a natural by its letter; empty for anything but 'A' to
// 'G' (lower case included).
constexpr std::optional<int> natural_semitone(char letter) {
  for (const NaturalNote& natural : kNaturalNotes) {
    if (natural.letter == letter) return natural.semitone;
  }
  return std::nullopt;
}

// The tracker's note number of a semitone 0 to 11: 1 = C ... 12 = B. The
// module's note cells and the tracker's note table count notes so.
constexpr int tracker_note_number(int semitone) { return semitone + 1; }
inline constexpr int kHighestTrackerNote = tracker_note_number(kNotesPerOctave - 1);

static_assert(natural_semitone('C') == 0 && natural_semitone('B') == kNotesPerOctave - 1);
static_assert(tracker_note_number(*natural_semitone('A')) == 10 && kHighestTrackerNote == 12);

}  // namespace zentrill

#endif  // ZENTRILL_VOCABULARY_NOTES_H_
