// A note as three keys (letter, accidental, octave), echoed as accepted.
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

// Reads the starting and ending notes, each at its prompt; keys that do not
// fit are dropped without a word. Throws what Console::wait_for_key throws,
// and InputEnded for Ctrl-D at a terminal before the first key.
NotePair enter_note_pair(Console& console);

// The note a word names when its three characters are the three keys the
// dialogue would take for it ("a-1", "C#4", "b#3"); empty for any other word.
std::optional<Note> note_of_word(std::string_view word);

// The frequencies of two notes, as note entry gives them.
NotePair note_pair(const Note& start, const Note& end);

// `accidental` is '-' or '#'; B# and E# are the C and F of the same octave.
double note_frequency(char letter, char accidental, float octave);

}  // namespace zentrill

#endif  // ZENTRILL_GLIDE_NOTE_ENTRY_H_
