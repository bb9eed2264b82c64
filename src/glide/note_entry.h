// A note as three keys (letter, accidental, octave), echoed as accepted.
#ifndef ZENTRILL_GLIDE_NOTE_ENTRY_H_
#define ZENTRILL_GLIDE_NOTE_ENTRY_H_

#include "textio/console.h"

namespace zentrill {

struct NotePair {
  double start_frequency;  // hertz
  double end_frequency;
};

// Reads the starting and ending notes, each at its prompt; keys that do not
// fit are dropped without a word. Throws what Console::wait_for_key throws,
// and InputEnded for Ctrl-D at a terminal before the first key.
NotePair enter_note_pair(Console& console);

// `accidental` is '-' or '#'; B# and E# are the C and F of the same octave.
double note_frequency(char letter, char accidental, float octave);

}  // namespace zentrill

#endif  // ZENTRILL_GLIDE_NOTE_ENTRY_H_
