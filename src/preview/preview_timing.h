// Time in the preview: the tracker's rows counted in CPU cycles of the
// voice's machine (tracker_song.h), and where a cycle falls among the
// samples. Every time is a whole number of cycles, and a cycle's sample
// position an exact fraction, so a preview of any length keeps every row
// where the tracker plays it.
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

// Each cycle lies numerator / denominator of a sample further into the file,
// in lowest terms: 44100 / 1789773 = 14700 / 596591 on NTSC, 44100 / 1662607
// on PAL.
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

// The sample at or before a cycle, and how far past it the cycle lies, in
// 1 / ratio.denominator of a sample.
struct SamplePosition {
  std::int64_t sample;
  std::int64_t remainder;  // 0 to denominator - 1
};
constexpr SamplePosition sample_position(std::int64_t cycle, Ratio ratio) {
  const std::int64_t scaled = cycle * ratio.numerator;
  return {scaled / ratio.denominator, scaled % ratio.denominator};
}

// The samples of a preview of `rows` rows in `voice`: its length in samples
// rounded to the nearest whole sample (a tie, which the odd denominators
// rule out, to the even one).
constexpr std::int64_t sample_count(const Voice& voice, std::int64_t rows) {
  const Ratio ratio = samples_per_cycle(voice.machine);
  const SamplePosition end = sample_position(row_start_cycle(voice, rows), ratio);
  const std::int64_t twice_remainder = 2 * end.remainder;
  if (twice_remainder > ratio.denominator) return end.sample + 1;
  if (twice_remainder == ratio.denominator) return end.sample + end.sample % 2;
  return end.sample;
}

// For every machine and speed, the whole cycle range of the longest
// preview, which holds the most lines a module holds, stays exact in 64 bits,
// and its samples fit the header.
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
// At speed 6 on NTSC a row lasts 4409.92 samples; 10 rows, 44099.19; 1200
// rows, 2 minutes. The longest preview, PAL at speed 20 (rows of 0.4 s),
// lasts 3.64 hours, 1.16 GB.
static_assert(sample_count(kDefaultVoice, 1) == 4410 && sample_count(kDefaultVoice, 10) == 44099);
static_assert(sample_count(kDefaultVoice, 1200) == 5291902);
static_assert(sample_count({Channel::pulse1, Machine::pal, kHighestSpeed}, kMaxLinesWithEnd) == 578007446);

}  // namespace zentrill::preview_timing

#endif  // ZENTRILL_PREVIEW_PREVIEW_TIMING_H_
