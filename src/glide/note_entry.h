// Note entry: a note typed as three single keys - letter, accidental, octave
// digit - with only the accepted keys echoed.
#ifndef ZENTRILL_GLIDE_NOTE_ENTRY_H_
#define ZENTRILL_GLIDE_NOTE_ENTRY_H_

#include <optional>
#include <string_view>

#include "textio/console.h"

namespace zentrill {

// A note as typed: its letter, accidental and octave.
struct Note {
  char letter;      // 'A' to 'G'
  char accidental;  // '-' or '#'
  float octave;     // 1 to 7
};

struct NotePair {
  double start_frequency;  // hertz
  double end_frequency;

  // Two names of one pitch (B#3 and C-3) are identical too: no glide joins them.
  bool identical() const { return start_frequency == end_frequency; }
};

// "Starting note? " and "Ending note? ", each followed by the echo of its
// three accepted keys and a line end. Keys that do not fit the current stage
// are dropped without a word. Throws what Console::wait_for_key throws, and
// InputEnded for Ctrl-D at a terminal before the starting note's first key.
NotePair enter_note_pair(Console& console);

// The note a word names when its three characters are the three keys the
// dialogue would take for it ("a-1", "C#4", "b#3"); empty for any other word.
std::optional<Note> note_of_word(std::string_view word);

// The frequencies of two notes, as note entry gives them.
NotePair note_pair(const Note& start, const Note& end);

// The frequency of a note: the base value of its semitone in octave 1 times
// 2^(octave - 1). `letter` is 'A' to 'G', `accidental` '-' or '#', where B#
// and E# are the C and F of the same octave number.
double note_frequency(char letter, char accidental, float octave);

}  // namespace zentrill

#endif  // ZENTRILL_GLIDE_NOTE_ENTRY_H_
