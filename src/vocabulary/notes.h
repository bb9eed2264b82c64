// Note letters and numbers, as every phase counts them.
#ifndef ZENTRILL_VOCABULARY_NOTES_H_
#define ZENTRILL_VOCABULARY_NOTES_H_

#include <array>
#include <optional>

namespace zentrill {

inline constexpr int kNotesPerOctave = 12;

// There is no flat.
inline constexpr char kNaturalSign = '-';
inline constexpr char kSharpSign = '#';

struct NaturalNote {
  char letter;   // upper case
  int semitone;  // above C of the same octave
};

inline constexpr std::array<NaturalNote, 7> kNaturalNotes = {{
    {'C', 0}, {'D', 2}, {'E', 4}, {'F', 5}, {'G', 7}, {'A', 9}, {'B', 11},
}};

// Empty for anything but 'A' to 'G' (lower case included).
constexpr std::optional<int> natural_semitone(char letter) {
  for (const NaturalNote& natural : kNaturalNotes) {
    if (natural.letter == letter) return natural.semitone;
  }
  return std::nullopt;
}

// 1 = C ... 12 = B, as the module's note cells count.
constexpr int tracker_note_number(int semitone) { return semitone + 1; }
inline constexpr int kHighestTrackerNote = tracker_note_number(kNotesPerOctave - 1);

static_assert(natural_semitone('C') == 0 && natural_semitone('B') == kNotesPerOctave - 1);
static_assert(tracker_note_number(*natural_semitone('A')) == 10 && kHighestTrackerNote == 12);

}  // namespace zentrill

#endif  // ZENTRILL_VOCABULARY_NOTES_H_
