#include "preview/row_register.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string_view>

#include "vocabulary/notes.h"
#include "vocabulary/pitch_list_format.h"
#include "vocabulary/tracker_pitch.h"

namespace zentrill {
namespace {

using namespace pitch_list_format;

// The character at a column counted from 1.
char at(std::string_view line, int column) { return line[static_cast<std::size_t>(column - 1)]; }

// The tracker's note number (1 = C ... 12 = B) of a note name; B# is B, as
// the module has it, and E# is F.
std::optional<int> note_number(char letter, char accidental) {
  const auto semitone = natural_semitone(letter);
  if (!semitone) return std::nullopt;
  const int natural = tracker_note_number(*semitone);
  if (accidental == kSharpSign) return std::min(natural + 1, kHighestTrackerNote);
  if (accidental == kNaturalSign) return natural;
  return std::nullopt;
}

std::optional<int> hexadecimal_digit(char digit) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  const std::size_t value = kDigits.find(digit);
  if (value == std::string_view::npos) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace

std::optional<std::uint16_t> row_register(std::string_view line) {
  if (line.size() != kLineLength ||
      line.substr(kSeparatorColumn - 1, kSeparator.size()) != kSeparator) {
    return std::nullopt;
  }
  const auto note = note_number(at(line, kNoteLetterColumn), at(line, kAccidentalColumn));
  const char octave_digit = at(line, kOctaveColumn);
  const auto high = hexadecimal_digit(at(line, kHighDigitColumn));
  const auto low = hexadecimal_digit(at(line, kLowDigitColumn));
  if (!note || octave_digit < '0' || octave_digit > '9' || !high || !low) return std::nullopt;
  const int octave = octave_digit - '0';
  if (tracker_note_index(octave, *note) >= kTrackerPeriods.size()) return std::nullopt;
  return static_cast<std::uint16_t>(period_register(octave, *note, 16 * *high + *low));
}

}  // namespace zentrill
