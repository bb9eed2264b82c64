// The timer periods the pitch analysis can place, and the range in hertz as
// the user reads it. Notes keep their pitch on every machine, so the range is
// judged on the NTSC period of the pulse frequency for every voice.
#ifndef ZENTRILL_VOCABULARY_PLAYABLE_RANGE_H_
#define ZENTRILL_VOCABULARY_PLAYABLE_RANGE_H_

#include <string_view>

#include "vocabulary/extended_precision.h"
#include "vocabulary/voice.h"

namespace zentrill {

// NTSC CPU clock / 16 in hertz. A period is this / frequency, without the
// hardware's minus 1.
inline constexpr double kTimerBase = 111860.7955;

constexpr double timer_base(Machine machine) {
  return machine == Machine::pal
             ? static_cast<double>(machine_facts(machine).cpu_clock) /
                   cpu_cycles_per_period_unit(Channel::pulse1)
             : kTimerBase;
}
static_assert(timer_base(Machine::pal) == 103912.9375);

// A-0 to B-7, both included.
inline constexpr double kLongestPeriod = 2048.5;
inline constexpr double kShortestPeriod = 14.5;
static_assert(static_cast<double>(static_cast<float>(kLongestPeriod)) == kLongestPeriod);
static_assert(static_cast<double>(static_cast<float>(kShortestPeriod)) == kShortestPeriod);

// 0 gives infinity, a negative frequency a negative period, NaN NaN.
inline double timer_period(double frequency, Machine machine = Machine::ntsc) {
  return static_cast<double>(static_cast<long double>(timer_base(machine)) / frequency);
}

// The note's frequency on a pulse, by which zones and range are judged.
inline double pulse_frequency(double frequency, Channel channel) {
  return frequency * frequency_divisor(channel);
}

// False for NaN.
inline bool period_in_range(double period) {
  return period >= kShortestPeriod && period <= kLongestPeriod;
}

// To the hundredth, as the user reads it; checked below.
inline constexpr std::string_view kPlayableRangeInHertz = "54.61 to 7714.54 Hz";
inline constexpr std::string_view kTrianglePlayableRangeInHertz = "27.30 to 3857.27 Hz";

constexpr std::string_view playable_range_in_hertz(Channel channel) {
  return channel == Channel::triangle ? kTrianglePlayableRangeInHertz : kPlayableRangeInHertz;
}

namespace playable_range_checks {
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

constexpr bool tells_the_range(Channel channel) {
  const std::string_view text = playable_range_in_hertz(channel);
  const double lowest = kTimerBase / kLongestPeriod / frequency_divisor(channel);
  const double highest = kTimerBase / kShortestPeriod / frequency_divisor(channel);
  return hundredths(text) == hundredths(lowest) &&
         hundredths(text.substr(text.find(kTo) + kTo.size())) == hundredths(highest);
}
}  // namespace playable_range_checks

static_assert(playable_range_checks::tells_the_range(Channel::pulse1) &&
              playable_range_checks::tells_the_range(Channel::triangle));

}  // namespace zentrill

#endif  // ZENTRILL_VOCABULARY_PLAYABLE_RANGE_H_
