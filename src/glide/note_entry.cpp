#include "glide/note_entry.h"

#include <array>
#include <cmath>
#include <string>

#include "textio/number_form.h"
#include "textio/text_ops.h"

namespace zentrill {
namespace {

// Octave 1, from C upwards, held as single-precision values; A alone is the
// double 110.
constexpr std::array<double, 12> kBaseFrequency = {
    65.4065f, 69.2957f, 73.4163f,  77.7818f, 82.407f,  87.3072f,
    92.4987f, 97.999f,  103.8263f, 110.0,    116.5411f, 123.471f,
};

int natural_semitone(char letter) {
  switch (letter) {
    case 'C': return 0;
    case 'D': return 2;
    case 'E': return 4;
    case 'F': return 5;
    case 'G': return 7;
    case 'A': return 9;
    default: return 11;  // B
  }
}

bool is_note_letter(const std::string& key) {
  return key.size() == 1 && key[0] >= 'A' && key[0] <= 'G';
}

struct Note {
  std::string letter;
  std::string accidental;
  float octave;
};

Note read_note(Console& console) {
  Note note;
  do {
    note.letter = upper_case(console.wait_for_key());
  } while (!is_note_letter(note.letter));
  console.print(note.letter);

  do {
    note.accidental = console.wait_for_key();
  } while (note.accidental != "-" && note.accidental != "#");
  console.print(note.accidental);

  // Only the keys 1 to 7 have a value strictly between 0 and 8.
  do {
    note.octave = static_cast<float>(numeric_value(console.wait_for_key()));
  } while (!(note.octave > 0.0f && note.octave < 8.0f));
  console.print(remove_leading_blanks(short_number_form(note.octave)), LineEnd::with);
  return note;
}

}  // namespace

double note_frequency(std::string_view letter, std::string_view accidental, float octave) {
  // B# and E# wrap to the C and F of the same octave number.
  const int semitone = (natural_semitone(letter[0]) + (accidental == "#" ? 1 : 0)) % 12;
  const double exponent = static_cast<double>(octave + -1.0L);
  return kBaseFrequency[static_cast<std::size_t>(semitone)] * std::pow(2.0, exponent);
}

NotePair enter_note_pair(Console& console) {
  NotePair pair{};
  console.print("Starting note? ");
  const Note start = read_note(console);
  pair.start_frequency = note_frequency(start.letter, start.accidental, start.octave);
  console.print("Ending note? ");
  const Note end = read_note(console);
  pair.end_frequency = note_frequency(end.letter, end.accidental, end.octave);
  return pair;
}

}  // namespace zentrill
