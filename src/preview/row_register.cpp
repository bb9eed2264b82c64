#include "preview/row_register.h"

#include <algorithm>
#include <cstddef>

// The tracker's vocabulary the preview shares with the pitch analysis: the
// line's layout and the note table.
#include "pitch/pitch_list_format.h"
#include "pitch/tracker_note_table.h"
#include "preview/pulse_renderer.h"

namespace zentrill {
namespace {

using namespace pitch_list_format;

constexpr int kNeutralFinePitch = 0x80;

// The character at a column counted from 1.
char at(std::string_view line, int column) { return line[static_cast<std::size_t>(column - 1)]; }

std::optional<int> note_number(char letter, char accidental) {
  constexpr std::string_view kLetters = "C D EF G A B";  // note 1 = C ... 12 = B
  const std::size_t index = letter == ' ' ? std::string_view::npos : kLetters.find(letter);
  if (index == std::string_view::npos) return std::nullopt;
  const int natural = static_cast<int>(index) + 1;
  if (std::string_view(&accidental, 1) == kSharp) return std::min(natural + 1, kNotesPerOctave);
  if (std::string_view(&accidental, 1) == kNatural) return natural;
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
  const std::size_t index = tracker_note_index(octave_digit - '0', *note);
  if (index >= kTrackerPeriods.size()) return std::nullopt;
  const int fine_pitch = 16 * *high + *low;
  return static_cast<std::uint16_t>(std::clamp(
      kTrackerPeriods[index] + kNeutralFinePitch - fine_pitch, 0, int{kMaxPeriodRegister}));
}

}  // namespace zentrill
