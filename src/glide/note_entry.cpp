#include "glide/note_entry.h"

#include <array>
#include <cmath>
#include <string_view>

#include "textio/number_form.h"
#include "textio/text_ops.h"
#include "vocabulary/extended_precision.h"
#include "vocabulary/notes.h"

namespace zentrill {
namespace {

// Octave 1 from C, held as singles; A alone is the double 110.
constexpr std::array<double, kNotesPerOctave> kBaseFrequency = {
    65.4065f, 69.2957f, 73.4163f,  77.7818f, 82.407f,  87.3072f,
    92.4987f, 97.999f,  103.8263f, 110.0,    116.5411f, 123.471f,
};

// Each stage gives the character a key stands for, or 0 when it does not fit.
char letter_of(Key key) {  // A to G in either case, upper-cased
  if (key.special) return 0;
  const char letter = upper_case(static_cast<char>(key.value));
  return letter >= 'A' && letter <= 'G' ? letter : 0;
}
char accidental_of(Key key) {  // '-' or '#'
  return key.is('-') || key.is('#') ? static_cast<char>(key.value) : 0;
}
char octave_digit_of(Key key) {  // '1' to '7'
  return !key.special && key.value >= '1' && key.value <= '7' ? static_cast<char>(key.value) : 0;
}

// When `may_end`, Ctrl-D at a terminal ends the input, as its end does.
char wait_for_fitting_key(Console& console, char (*stage)(Key), bool may_end) {
  for (;;) {
    const Key key = console.wait_for_key();
    if (may_end && console.is_end_key(key)) throw InputEnded{};
    if (const char fitting = stage(key)) return fitting;
  }
}

Note read_note(Console& console, bool may_end) {
  Note note{};
  note.letter = wait_for_fitting_key(console, letter_of, may_end);
  console.print(std::string_view(&note.letter, 1));
  note.accidental = wait_for_fitting_key(console, accidental_of, false);
  console.print(std::string_view(&note.accidental, 1));
  note.octave = static_cast<float>(wait_for_fitting_key(console, octave_digit_of, false) - '0');
  console.print(remove_leading_blanks(short_number_form(note.octave)), LineEnd::with);
  return note;
}

}  // namespace

double note_frequency(char letter, char accidental, float octave) {
  const int semitone =
      (natural_semitone(letter).value() + (accidental == kSharpSign ? 1 : 0)) % kNotesPerOctave;
  const double exponent = static_cast<double>(octave - 1.0L);
  return kBaseFrequency[static_cast<std::size_t>(semitone)] * std::pow(2.0, exponent);
}

NotePair enter_note_pair(Console& console) {
  console.print("Starting note? ");
  const Note start = read_note(console, true);
  console.print("Ending note? ");
  const Note end = read_note(console, false);
  return note_pair(start, end);
}

std::optional<Note> note_of_word(std::string_view word) {
  if (word.size() != 3) return std::nullopt;
  const char letter = letter_of(Key::character(word[0]));
  const char accidental = accidental_of(Key::character(word[1]));
  const char octave_digit = octave_digit_of(Key::character(word[2]));
  if (!letter || !accidental || !octave_digit) return std::nullopt;
  return Note{letter, accidental, static_cast<float>(octave_digit - '0')};
}

NotePair note_pair(const Note& start, const Note& end) {
  return {note_frequency(start.letter, start.accidental, start.octave),
          note_frequency(end.letter, end.accidental, end.octave)};
}

}  // namespace zentrill
