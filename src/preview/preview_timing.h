// Time in the preview: whole CPU cycles, and a cycle's sample position an
// exact fraction, so a preview of any length keeps every row where the
// tracker plays it.
#ifndef ZENTRILL_PREVIEW_PREVIEW_TIMING_H_
#define ZENTRILL_PREVIEW_PREVIEW_TIMING_H_

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <numeric>

#include "preview/wav_format.h"
#include "vocabulary/tracker_song.h"
#include "vocabulary/voice.h"

namespace zentrill::preview_timing {

// In lowest terms.
struct Ratio {
  std::int64_t numerator;
  std::int64_t denominator;
};
constexpr Ratio samples_per_cycle(Machine machine) {
  const std::int64_t clock = machine_facts(machine).cpu_clock;
  const std::int64_t divisor = std::gcd<std::int64_t>(wav_format::kSampleRate, clock);
  return {wav_format::kSampleRate / divisor, clock / divisor};
}
static_assert(samples_per_cycle(Machine::ntsc).numerator == 14700 &&
              samples_per_cycle(Machine::ntsc).denominator == 596591);

// The sample at or before a cycle, and the rest in 1 / denominator samples.
struct SamplePosition {
  std::int64_t sample;
  std::int64_t remainder;  // 0 to denominator - 1
};
constexpr SamplePosition sample_position(std::int64_t cycle, Ratio ratio) {
  const std::int64_t scaled = cycle * ratio.numerator;
  return {scaled / ratio.denominator, scaled % ratio.denominator};
}

// The length of `rows` rows, rounded to the nearest sample (ties to even).
constexpr std::int64_t sample_count(const Voice& voice, std::int64_t rows) {
  const Ratio ratio = samples_per_cycle(voice.machine);
  const SamplePosition end = sample_position(row_start_cycle(voice, rows), ratio);
  const std::int64_t twice_remainder = 2 * end.remainder;
  if (twice_remainder > ratio.denominator) return end.sample + 1;
  if (twice_remainder == ratio.denominator) return end.sample + end.sample % 2;
  return end.sample;
}

// The longest preview's cycles stay exact in 64 bits and its samples fit the
// header.
constexpr bool longest_previews_fit() {
  for (const Machine machine : {Machine::ntsc, Machine::pal}) {
    for (int speed = kLowestSpeed; speed <= kHighestSpeed; ++speed) {
      const Voice voice{Channel::pulse1, machine, speed};
      if (row_start_cycle(voice, kMaxLinesWithEnd) >=
          std::numeric_limits<std::int64_t>::max() / samples_per_cycle(machine).numerator) {
        return false;
      }
      if (sample_count(voice, kMaxLinesWithEnd) > static_cast<std::int64_t>(wav_format::kMaxSamples)) {
        return false;
      }
    }
  }
  return true;
}
static_assert(longest_previews_fit());
// A row of 4409.92 samples; the longest preview is 3.64 hours, 1.16 GB.
static_assert(sample_count(kDefaultVoice, 1) == 4410 && sample_count(kDefaultVoice, 10) == 44099);
static_assert(sample_count(kDefaultVoice, 1200) == 5291902);
static_assert(sample_count({Channel::pulse1, Machine::pal, kHighestSpeed}, kMaxLinesWithEnd) == 578007446);

}  // namespace zentrill::preview_timing

#endif  // ZENTRILL_PREVIEW_PREVIEW_TIMING_H_
