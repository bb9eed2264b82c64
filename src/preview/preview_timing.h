// Time in the preview: the tracker's rows counted in CPU cycles of the NTSC
// NES, and where a cycle falls among the samples. Every time is a whole
// number of cycles, and a cycle's sample position an exact fraction, so a
// preview of any length keeps every row where the tracker plays it.
#ifndef ZENTRILL_PREVIEW_PREVIEW_TIMING_H_
#define ZENTRILL_PREVIEW_PREVIEW_TIMING_H_

#include <cstdint>
#include <limits>
#include <numeric>

#include "preview/wav_format.h"
#include "vocabulary/tracker_pitch.h"
#include "vocabulary/tracker_song.h"

namespace zentrill::preview_timing {

inline constexpr std::int64_t kCyclesPerSecond = kCpuClock;
inline constexpr std::int64_t kCyclesPerRow = kCpuCyclesPerRow;

// Each cycle lies kSamplesPerCycle.numerator / denominator of a sample
// further into the file, in lowest terms: 44100 / 1789773 = 14700 / 596591.
struct Ratio {
  std::int64_t numerator;
  std::int64_t denominator;
};
inline constexpr std::int64_t kRatioDivisor =
    std::gcd<std::int64_t>(wav_format::kSampleRate, kCyclesPerSecond);
inline constexpr Ratio kSamplesPerCycle{wav_format::kSampleRate / kRatioDivisor,
                                        kCyclesPerSecond / kRatioDivisor};
static_assert(kSamplesPerCycle.numerator == 14700 && kSamplesPerCycle.denominator == 596591);

// The sample at or before a cycle, and how far past it the cycle lies, in
// 1 / kSamplesPerCycle.denominator of a sample.
struct SamplePosition {
  std::int64_t sample;
  std::int64_t remainder;  // 0 to denominator - 1
};
constexpr SamplePosition sample_position(std::int64_t cycle) {
  const std::int64_t scaled = cycle * kSamplesPerCycle.numerator;
  return {scaled / kSamplesPerCycle.denominator, scaled % kSamplesPerCycle.denominator};
}

// The samples of a preview of `rows` rows: its length in samples rounded to
// the nearest whole sample (a tie, which the odd denominator rules out, to
// the even one).
constexpr std::int64_t sample_count(std::int64_t rows) {
  const SamplePosition end = sample_position(rows * kCyclesPerRow);
  const std::int64_t twice_remainder = 2 * end.remainder;
  if (twice_remainder > kSamplesPerCycle.denominator) return end.sample + 1;
  if (twice_remainder == kSamplesPerCycle.denominator) return end.sample + end.sample % 2;
  return end.sample;
}

// The whole cycle range of the longest preview, which holds the most lines a
// module holds, stays exact in 64 bits, and its samples fit the header.
static_assert(kMaxLinesWithEnd * kCyclesPerRow <
              std::numeric_limits<std::int64_t>::max() / kSamplesPerCycle.numerator);
static_assert(sample_count(kMaxLinesWithEnd) <= static_cast<std::int64_t>(wav_format::kMaxSamples));
// A row lasts 4409.92 samples; 10 rows, 44099.19; 1200 rows, 2 minutes. The
// longest preview lasts 54.6 minutes, 289.0 MB.
static_assert(sample_count(1) == 4410 && sample_count(10) == 44099);
static_assert(sample_count(1200) == 5291902 && sample_count(kMaxLinesWithEnd) == 144499806);

}  // namespace zentrill::preview_timing

#endif  // ZENTRILL_PREVIEW_PREVIEW_TIMING_H_
