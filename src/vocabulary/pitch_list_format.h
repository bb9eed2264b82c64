// A line of pxx.txt, as "G-1 P97": note, accidental, octave, " P", and the
// fine pitch in two upper-case hexadecimal digits. Columns count from 1.
#ifndef ZENTRILL_VOCABULARY_PITCH_LIST_FORMAT_H_
#define ZENTRILL_VOCABULARY_PITCH_LIST_FORMAT_H_

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string_view>

#include "textio/line_end.h"
#include "vocabulary/notes.h"

namespace zentrill::pitch_list_format {

inline constexpr int kNoteLetterColumn = 1;  // A to G
inline constexpr int kAccidentalColumn = 2;  // "-" natural or "#" sharp
inline constexpr int kOctaveColumn = 3;      // 0 to 7
inline constexpr int kSeparatorColumn = 4;
inline constexpr int kHighDigitColumn = 6;
inline constexpr int kLowDigitColumn = 7;
inline constexpr int kLineLength = 7;
inline constexpr LineEnd kLineEnd = LineEnd::with;  // CR LF

inline constexpr std::string_view kNatural{&kNaturalSign, 1};
inline constexpr std::string_view kSharp{&kSharpSign, 1};
inline constexpr std::string_view kSeparator = " P";

static_assert(kAccidentalColumn == kNoteLetterColumn + 1 &&
              kOctaveColumn == kAccidentalColumn + 1 && kSeparatorColumn == kOctaveColumn + 1 &&
              kHighDigitColumn == kSeparatorColumn + static_cast<int>(kSeparator.size()) &&
              kLowDigitColumn == kHighDigitColumn + 1 && kLowDigitColumn == kLineLength);

// Each field from its own column alone; empty when the line is too short or
// the column holds anything else (lower case included).
struct PitchListLine {
  std::optional<int> note;        // the letter's tracker note number, 1 = C ... 12 = B
  std::optional<bool> sharp;      // true for "#", false for "-"
  std::optional<int> octave;      // the digit, 0 to 9
  std::optional<int> high_digit;  // of the fine-pitch parameter, 0 to 15
  std::optional<int> low_digit;
  bool laid_out = false;  // exactly seven characters, " P" in its place
};

namespace detail {
constexpr std::optional<char> at(std::string_view line, int column) {
  const auto index = static_cast<std::size_t>(column - 1);
  if (index >= line.size()) return std::nullopt;
  return line[index];
}
constexpr std::optional<int> hexadecimal_digit(std::optional<char> character) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  if (!character) return std::nullopt;
  const std::size_t value = kDigits.find(*character);
  if (value == std::string_view::npos) return std::nullopt;
  return static_cast<int>(value);
}
}  // namespace detail

constexpr PitchListLine read_pitch_list_line(std::string_view line) {
  using detail::at;
  PitchListLine fields;
  if (const auto letter = at(line, kNoteLetterColumn)) {
    if (const auto semitone = natural_semitone(*letter)) {
      fields.note = tracker_note_number(*semitone);
    }
  }
  if (const auto accidental = at(line, kAccidentalColumn)) {
    if (*accidental == kSharpSign || *accidental == kNaturalSign) {
      fields.sharp = *accidental == kSharpSign;
    }
  }
  if (const auto digit = at(line, kOctaveColumn); digit && *digit >= '0' && *digit <= '9') {
    fields.octave = *digit - '0';
  }
  fields.high_digit = detail::hexadecimal_digit(at(line, kHighDigitColumn));
  fields.low_digit = detail::hexadecimal_digit(at(line, kLowDigitColumn));
  fields.laid_out = line.size() == kLineLength &&
                    line.substr(kSeparatorColumn - 1, kSeparator.size()) == kSeparator;
  return fields;
}

// B# stays B, as the module has always written it (E# is F).
constexpr int sharpened(int note) { return std::min(note + 1, kHighestTrackerNote); }

namespace checks {
constexpr char at(std::string_view line, int column) {
  return line[static_cast<std::size_t>(column - 1)];
}
constexpr PitchListLine kRead = read_pitch_list_line("G#1 PA7");
static_assert(kRead.note == 8 && kRead.sharp == true && kRead.octave == 1 &&
              kRead.high_digit == 10 && kRead.low_digit == 7 && kRead.laid_out);
static_assert(!read_pitch_list_line("g-").note && !read_pitch_list_line("g-").octave &&
              !read_pitch_list_line("G-1 Pa7").high_digit &&
              !read_pitch_list_line("G-1 P97 ").laid_out);
static_assert(sharpened(tracker_note_number(*natural_semitone('B'))) == kHighestTrackerNote &&
              sharpened(tracker_note_number(*natural_semitone('E'))) == 6);
inline constexpr std::string_view kLine = "G-1 P97";
static_assert(kLine.size() == kLineLength);
static_assert(at(kLine, kNoteLetterColumn) == 'G' && at(kLine, kAccidentalColumn) == '-' &&
              at(kLine, kOctaveColumn) == '1' && at(kLine, kHighDigitColumn) == '9' &&
              at(kLine, kLowDigitColumn) == '7');
static_assert(kLine.substr(kSeparatorColumn - 1, kSeparator.size()) == kSeparator);
}  // namespace checks

}  // namespace zentrill::pitch_list_format

#endif  // ZENTRILL_VOCABULARY_PITCH_LIST_FORMAT_H_
