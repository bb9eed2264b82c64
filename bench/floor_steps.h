// The steps of the floor loop (floor.cpp), one per step of the program's long
// run, with the standard library alone: the least work that gives the same
// bytes. hot_paths_benchmark.cpp times each beside the program's own step.
#ifndef ZENTRILL_BENCH_FLOOR_STEPS_H_
#define ZENTRILL_BENCH_FLOOR_STEPS_H_

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "pitch/note_table.h"  // the tracker's zone table: data, not code

namespace zentrill::floor_steps {

// "%.16g" with at least three exponent digits, then CR LF, from `out` on;
// `out` has room for 40 bytes. Gives the end.
inline char* frequency_line(char* out, double value) {
  char* end = std::to_chars(out, out + 32, value, std::chars_format::general, 16).ptr;
  if (char* e = static_cast<char*>(std::memchr(out, 'e', static_cast<std::size_t>(end - out)))) {
    const std::size_t digits = static_cast<std::size_t>(end - (e + 2));
    if (digits < 3) {
      std::memmove(e + 2 + (3 - digits), e + 2, digits);
      std::memset(e + 2, '0', 3 - digits);
      end += 3 - digits;
    }
  }
  *end++ = '\r';
  *end++ = '\n';
  return end;
}

// The frequency of a line of freq.txt without its line end.
inline double frequency(const char* first, const char* last) {
  double value = 0;
  std::from_chars(first, last, value);
  return value;
}

struct Pitch {
  std::size_t row;
  int octave;
  unsigned parameter;
};

// The zone, octave and fine pitch of a frequency; false when its period is
// out of range.
inline bool analyse(double frequency, Pitch& pitch) {
  const double period = static_cast<double>(static_cast<long double>(kTimerBase) / frequency);
  if (!(period >= kShortestPeriod && period <= kLongestPeriod)) return false;
  // The zones descend without gaps, so the first in search order whose lower
  // bound lies below the period holds it. Doubling is exact.
  int pass = 0;
  double scaled = period;
  float divisor = 1;
  while (!(scaled > kNoteTable.back().lower_bound)) scaled *= 2, divisor *= 2, ++pass;
  std::size_t row = 0;
  while (!(scaled > kNoteTable[row].lower_bound)) ++row;
  const double difference =
      static_cast<double>(kNoteTable[row].exact_period / static_cast<long double>(divisor) - period);
  pitch.row = row;
  pitch.octave = pass + (row >= kFirstRowOfNextOctave ? 1 : 0);
  pitch.parameter = static_cast<unsigned>(std::nearbyint(static_cast<double>(128.0L + difference)));
  return true;
}

// The pitch-list line, as G-1 P97 and CR LF, from `out` on; gives the end.
inline char* pitch_line(char* out, const Pitch& pitch) {
  constexpr char kHex[] = "0123456789ABCDEF";
  const std::string_view name = kNoteTable[pitch.row].name;
  *out++ = name[0];
  *out++ = name[1];
  *out++ = static_cast<char>('0' + pitch.octave);
  *out++ = ' ';
  *out++ = 'P';
  if (pitch.parameter >= 16) *out++ = kHex[pitch.parameter >> 4];
  *out++ = kHex[pitch.parameter & 15];
  *out++ = '\r';
  *out++ = '\n';
  return out;
}

}  // namespace zentrill::floor_steps

#endif  // ZENTRILL_BENCH_FLOOR_STEPS_H_
