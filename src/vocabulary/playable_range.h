// The playable range: the timer periods the pitch analysis can place, and the
// same range in hertz as the program tells it to the user (the help text and
// the out-of-range notice).
#ifndef ZENTRILL_VOCABULARY_PLAYABLE_RANGE_H_
#define ZENTRILL_VOCABULARY_PLAYABLE_RANGE_H_

#include <string_view>

#include "vocabulary/extended_precision.h"

namespace zentrill {

// NTSC CPU clock / 16, in hertz, as the pitch analysis takes it. A
// frequency's timer period is this divided by the frequency, without the
// hardware's minus 1.
inline constexpr double kTimerBase = 111860.7955;

// Periods from 14.5 to 2048.5, both included, can be analysed: A of octave 0
// up to B of octave 7.
inline constexpr double kLongestPeriod = 2048.5;
inline constexpr double kShortestPeriod = 14.5;
static_assert(static_cast<double>(static_cast<float>(kLongestPeriod)) == kLongestPeriod);
static_assert(static_cast<double>(static_cast<float>(kShortestPeriod)) == kShortestPeriod);

// kTimerBase / frequency, divided at extended precision and rounded to double
// once. 0 gives infinity, a negative frequency a negative period, NaN NaN.
inline double timer_period(double frequency) {
  return static_cast<double>(static_cast<long double>(kTimerBase) / frequency);
}

// True for 14.5 <= period <= 2048.5; false for NaN.
inline bool period_in_range(double period) {
  return period >= kShortestPeriod && period <= kLongestPeriod;
}

// kTimerBase / kLongestPeriod to kTimerBase / kShortestPeriod, to the
// hundredth of a hertz, as the user reads it ("about ...").
inline constexpr std::string_view kPlayableRangeInHertz = "54.61 to 7714.54 Hz";

namespace playable_range_checks {
// The figure at the start of `text`, a decimal with two places, in
// hundredths.
constexpr long long hundredths(std::string_view text) {
  long long value = 0;
  for (const char c : text) {
    if (c == ' ') break;
    if (c != '.') value = 10 * value + (c - '0');
  }
  return value;
}
constexpr long long hundredths(double hertz) { return static_cast<long long>(hertz * 100 + 0.5); }
inline constexpr std::string_view kTo = " to ";
}  // namespace playable_range_checks

static_assert(playable_range_checks::hundredths(kPlayableRangeInHertz) ==
              playable_range_checks::hundredths(kTimerBase / kLongestPeriod));
static_assert(playable_range_checks::hundredths(kPlayableRangeInHertz.substr(
                  kPlayableRangeInHertz.find(playable_range_checks::kTo) +
                  playable_range_checks::kTo.size())) ==
              playable_range_checks::hundredths(kTimerBase / kShortestPeriod));

}  // namespace zentrill

#endif  // ZENTRILL_VOCABULARY_PLAYABLE_RANGE_H_
