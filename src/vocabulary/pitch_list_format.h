// The line of pxx.txt, the pitch list: seven characters and the line end, as
// G-1 P97 - note letter, accidental, octave digit, " P", and the fine-pitch
// parameter in two upper-case hexadecimal digits. The pitch-list writer
// writes the fields in this order; the module writer cuts every line it reads
// at these columns, one character each, counted from 1 as substring counts.
#ifndef ZENTRILL_VOCABULARY_PITCH_LIST_FORMAT_H_
#define ZENTRILL_VOCABULARY_PITCH_LIST_FORMAT_H_

#include <cstddef>
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

// The fields follow one another without a gap and fill the line.
static_assert(kAccidentalColumn == kNoteLetterColumn + 1 &&
              kOctaveColumn == kAccidentalColumn + 1 && kSeparatorColumn == kOctaveColumn + 1 &&
              kHighDigitColumn == kSeparatorColumn + static_cast<int>(kSeparator.size()) &&
              kLowDigitColumn == kHighDigitColumn + 1 && kLowDigitColumn == kLineLength);

namespace checks {
constexpr char at(std::string_view line, int column) {
  return line[static_cast<std::size_t>(column - 1)];
}
inline constexpr std::string_view kLine = "G-1 P97";
static_assert(kLine.size() == kLineLength);
static_assert(at(kLine, kNoteLetterColumn) == 'G' && at(kLine, kAccidentalColumn) == '-' &&
              at(kLine, kOctaveColumn) == '1' && at(kLine, kHighDigitColumn) == '9' &&
              at(kLine, kLowDigitColumn) == '7');
static_assert(kLine.substr(kSeparatorColumn - 1, kSeparator.size()) == kSeparator);
}  // namespace checks

}  // namespace zentrill::pitch_list_format

#endif  // ZENTRILL_VOCABULARY_PITCH_LIST_FORMAT_H_
