#include "preview/pulse_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "band_limited_wave.h"
#include "preview/preview_timing.h"

namespace zentrill {
namespace {

using namespace preview_timing;
using test_support::wave_at;

std::vector<std::int16_t> render(const std::vector<std::uint16_t>& registers) {
  std::vector<std::int16_t> samples;
  render_pulse_preview(registers, [&](std::span<const std::int16_t> block) {
    EXPECT_LE(block.size(), kSampleBlockSize);
    samples.insert(samples.end(), block.begin(), block.end());
  });
  return samples;
}

// Where row `row` starts, in samples: exact to far below a sample.
double row_start(std::int64_t row) {
  return static_cast<double>(static_cast<long double>(row * kCyclesPerRow) *
                             kSamplesPerCycle.numerator / kSamplesPerCycle.denominator);
}

double cycles_to_samples(double cycles) {
  return cycles * kSamplesPerCycle.numerator / kSamplesPerCycle.denominator;
}

// The times at which the wave rises through `level` between samples `from`
// and `to`, each found to a millionth of a sample.
std::vector<double> rising_crossings(const std::vector<std::int16_t>& samples, double from,
                                     double to, double level) {
  std::vector<double> times;
  for (auto k = static_cast<std::size_t>(std::ceil(from)); k + 1 < samples.size() && k < to; ++k) {
    if (!(samples[k] < level && samples[k + 1] >= level)) continue;
    double low = static_cast<double>(k);
    double high = low + 1;
    while (high - low > 1e-6) {
      const double middle = (low + high) / 2;
      (wave_at(samples, middle) < level ? low : high) = middle;
    }
    times.push_back(low);
  }
  return times;
}

TEST(PulseRenderer, HandsOnTheRowsSamplesAndNoMore) {
  for (const std::size_t rows : {0, 1, 3, 10}) {
    const std::vector<std::int16_t> samples = render(std::vector<std::uint16_t>(rows, 253));
    EXPECT_EQ(samples.size(), static_cast<std::size_t>(sample_count(static_cast<std::int64_t>(rows))))
        << rows << " rows";
  }
}

// Silent rows (R below 8, and R >> 8 = 0) between sounding ones (R >> 8 =
// 1): each sounding row starts its duty sequence, with the timer, which
// reloads every 2 cycles in the silent row, moving it to its high step at
// once. So every sounding row rises through half the step exactly where it
// starts.
TEST(PulseRenderer, EveryRowStartsAtItsExactTimeWithoutDrift) {
  constexpr std::int64_t kRows = 1200;
  std::vector<std::uint16_t> registers;
  for (std::int64_t row = 0; row < kRows; ++row) registers.push_back(row % 2 == 0 ? 0 : 0x1FF);
  const std::vector<std::int16_t> samples = render(registers);
  for (std::int64_t row = 1; row < kRows; row += 2) {
    const double start = row_start(row);
    const std::vector<double> rises =
        rising_crossings(samples, start - 4, start + 4, kPulseStepHeight / 2);
    ASSERT_EQ(rises.size(), 1u) << "row " << row;
    EXPECT_NEAR(rises[0], start, 0.01) << "row " << row;
  }
  // The silent rows end in silence once the high-pass has let go.
  for (std::int64_t row = 2; row < kRows; row += 2) {
    const auto end = static_cast<std::size_t>(row_start(row + 1)) - 32;
    for (std::size_t i = end - 1000; i < end; ++i) ASSERT_EQ(samples[i], 0) << "row " << row;
  }
}

// Each row's period measured between the rises of its wave through the middle
// of its range, away from the row's ends; a lead-in row lets the high-pass
// settle first.
TEST(PulseRenderer, EachRowSoundsItsPeriod) {
  const std::vector<std::uint16_t> registers = {2047, 2047, 1708, 253, 14};
  const std::vector<std::int16_t> samples = render(registers);
  for (std::int64_t row = 1; row < static_cast<std::int64_t>(registers.size()); ++row) {
    const double from = row_start(row) + 40;
    const double to = row_start(row + 1) - 20;
    const auto begin = samples.begin() + static_cast<std::ptrdiff_t>(from);
    const auto end = samples.begin() + static_cast<std::ptrdiff_t>(to);
    const auto [lowest, highest] = std::minmax_element(begin, end);
    const std::vector<double> rises = rising_crossings(samples, from, to, (*lowest + *highest) / 2.0);
    ASSERT_GE(rises.size(), 4u) << "row " << row;
    const double period_samples = (rises.back() - rises.front()) / static_cast<double>(rises.size() - 1);
    const double period_units = period_samples / cycles_to_samples(16);
    EXPECT_NEAR(period_units, registers[static_cast<std::size_t>(row)] + 1, 0.05) << "row " << row;
  }
}

// The tracker writes the high register, and so restarts the duty sequence,
// where R >> 8 changes. In 255, 256 the second row starts in step 3 of the
// sequence; the restart takes it to step 0, so the high step comes at the next
// reload, at 179200 (350 steps of 512 cycles). Where R >> 8 stays, the
// sequence runs on: in 255, 254 steps 2, 1 and 0 of 510 cycles come first.
// The same down across the boundary: the reload at 179386 (349 steps of 514
// cycles) brings the high step after a restart, and step 3 without one.
TEST(PulseRenderer, TheDutySequenceRestartsWhereTheHighRegisterChanges) {
  const struct {
    std::vector<std::uint16_t> registers;
    double first_rise_cycle;  // in the second row
  } cases[] = {
      {{255, 256}, 179200},
      {{255, 254}, 179200 + 3 * 510},
      {{256, 255}, 179386},
      {{256, 257}, 179386 + 4 * 516},
  };
  for (const auto& c : cases) {
    const std::vector<std::int16_t> samples = render(c.registers);
    const std::vector<double> rises =
        rising_crossings(samples, row_start(1), row_start(2), kPulseStepHeight / 2);
    ASSERT_FALSE(rises.empty()) << testing::PrintToString(c.registers);
    EXPECT_NEAR(rises[0], cycles_to_samples(c.first_rise_cycle), 0.5)
        << testing::PrintToString(c.registers);
  }
}

}  // namespace
}  // namespace zentrill
