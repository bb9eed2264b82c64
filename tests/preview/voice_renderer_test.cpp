#include "preview/voice_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "band_limited_wave.h"
#include "preview/preview_timing.h"
#include "vocabulary/tracker_song.h"

namespace zentrill {
namespace {

using namespace preview_timing;
using test_support::wave_at;

std::vector<std::int16_t> render(const std::vector<std::uint16_t>& registers, const Voice& voice = {}) {
  std::vector<std::int16_t> samples;
  render_preview(registers, voice, [&](std::span<const std::int16_t> block) {
    EXPECT_LE(block.size(), kSampleBlockSize);
    samples.insert(samples.end(), block.begin(), block.end());
  });
  return samples;
}

double cycles_to_samples(double cycles, Machine machine = Machine::ntsc) {
  const Ratio ratio = samples_per_cycle(machine);
  return static_cast<double>(static_cast<long double>(cycles) * ratio.numerator / ratio.denominator);
}

// Where row `row` starts, in samples: exact to far below a sample.
double row_start(std::int64_t row, const Voice& voice = {}) {
  return cycles_to_samples(static_cast<double>(row_start_cycle(voice, row)), voice.machine);
}

// The times at which the wave rises through `level` between samples `from`
// and `to`, each found to a millionth of a sample; after one, the next counts
// only once the wave has fallen below level - hysteresis (the ringing of a
// step of the triangle's staircase can cross a level more than once).
std::vector<double> rising_crossings(const std::vector<std::int16_t>& samples, double from,
                                     double to, double level, double hysteresis = 0) {
  std::vector<double> times;
  bool armed = false;
  for (auto k = static_cast<std::size_t>(std::ceil(from)); k + 1 < samples.size() && k < to; ++k) {
    armed = armed || samples[k] < level - hysteresis;
    if (!(armed && samples[k] < level && samples[k + 1] >= level)) continue;
    armed = false;
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

TEST(VoiceRenderer, HandsOnTheRowsSamplesAndNoMore) {
  for (const Voice voice : {Voice{}, Voice{Channel::triangle, Machine::pal, 7}}) {
    for (const std::size_t rows : {0, 1, 3, 10}) {
      const std::vector<std::int16_t> samples = render(std::vector<std::uint16_t>(rows, 253), voice);
      EXPECT_EQ(samples.size(), static_cast<std::size_t>(sample_count(voice, static_cast<std::int64_t>(rows))))
          << rows << " rows";
    }
  }
}

// Silent rows (R below 8, and R >> 8 = 0) before sounding ones (R >> 8 =
// 1): each sounding row starts its duty sequence, with the timer, which
// reloads on every even cycle in the silent row, moving it to its high step
// at once. So every sounding row rises through half the step where it
// starts, where the tracker's tempo counter starts it (tracker_song.h), or
// one cycle later when that cycle is odd.
TEST(VoiceRenderer, EveryRowStartsAtItsExactTimeWithoutDrift) {
  const struct {
    Voice voice;
    std::int64_t rows;
    std::int64_t every;  // one sounding row in so many, the first row 1
  } cases[] = {{{}, 1200, 2},
               {{Channel::pulse2, Machine::ntsc, 7}, 600, 2},
               {{Channel::pulse1, Machine::pal, 9}, 600, 2},
               {{Channel::pulse1, Machine::ntsc, 1}, 600, 7},
               {{Channel::pulse1, Machine::pal, 20}, 300, 2}};
  for (const auto& c : cases) {
    std::vector<std::uint16_t> registers;
    for (std::int64_t row = 0; row < c.rows; ++row) registers.push_back(row % c.every == 1 ? 0x1FF : 0);
    const std::vector<std::int16_t> samples = render(registers, c.voice);
    for (std::int64_t row = 1; row < c.rows; row += c.every) {
      const std::int64_t start_cycle = row_start_cycle(c.voice, row);
      const double start = cycles_to_samples(static_cast<double>(start_cycle + start_cycle % 2), c.voice.machine);
      const std::vector<double> rises =
          rising_crossings(samples, start - 4, start + 4, kPulseStepHeight / 2);
      ASSERT_EQ(rises.size(), 1u) << "row " << row << ", speed " << c.voice.speed;
      EXPECT_NEAR(rises[0], start, 0.01) << "row " << row << ", speed " << c.voice.speed;
      // The silent rows before it end in silence once the high-pass has let go.
      const auto end = static_cast<std::size_t>(start) - 32;
      for (std::size_t i = end - (row > 1 ? 1000 : 0); i < end; ++i) ASSERT_EQ(samples[i], 0) << "row " << row;
    }
  }
}

// Each row's period measured between the rises of its wave through the middle
// of its range, away from the row's ends; a lead-in row lets the high-pass
// settle first. The triangle's period unit is 32 cycles, a pulse's 16; its
// gentle slopes read the high-pass settling after a change of period, so its
// rows (at speed 20) are measured from 2500 samples in.
TEST(VoiceRenderer, EachRowSoundsItsPeriod) {
  const std::vector<std::uint16_t> registers = {2047, 2047, 1708, 253, 14};
  const struct {
    Voice voice;
    double settling;  // samples
  } cases[] = {{{}, 40},
               {{Channel::pulse2, Machine::pal, 6}, 40},
               {{Channel::triangle, Machine::ntsc, 20}, 2500},
               {{Channel::triangle, Machine::pal, 20}, 2500}};
  for (const auto& [voice, settling] : cases) {
    const std::vector<std::int16_t> samples = render(registers, voice);
    for (std::int64_t row = 1; row < static_cast<std::int64_t>(registers.size()); ++row) {
      const double from = row_start(row, voice) + settling;
      const double to = row_start(row + 1, voice) - 20;
      const auto begin = samples.begin() + static_cast<std::ptrdiff_t>(from);
      const auto end = samples.begin() + static_cast<std::ptrdiff_t>(to);
      const auto [lowest, highest] = std::minmax_element(begin, end);
      const std::vector<double> rises =
          rising_crossings(samples, from, to, (*lowest + *highest) / 2.0, (*highest - *lowest) / 4.0);
      ASSERT_GE(rises.size(), 4u) << "row " << row;
      const double period_samples = (rises.back() - rises.front()) / static_cast<double>(rises.size() - 1);
      const double unit = cycles_to_samples(cpu_cycles_per_period_unit(voice.channel), voice.machine);
      EXPECT_NEAR(period_samples / unit, registers[static_cast<std::size_t>(row)] + 1, 0.05) << "row " << row;
    }
  }
}

// Its linear counter loaded at the APU's first quarter-frame clock, 7458
// cycles in, the triangle's first step (output 0 to 1) comes one step later.
TEST(VoiceRenderer, TheTriangleStartsAtTheFirstQuarterFrameClock) {
  const std::vector<std::int16_t> samples = render({253}, {Channel::triangle, Machine::ntsc, 6});
  const std::vector<double> rises = rising_crossings(samples, 0, 400, kPulseStepHeight / 59 * 7 / 2);
  ASSERT_FALSE(rises.empty());
  EXPECT_NEAR(rises[0], cycles_to_samples(7458 + 254), 0.05);
}

// The tracker writes the high register, and so restarts the duty sequence,
// where R >> 8 changes. In 255, 256 the second row starts in step 3 of the
// sequence; the restart takes it to step 0, so the high step comes at the next
// reload, at 179200 (350 steps of 512 cycles). Where R >> 8 stays, the
// sequence runs on: in 255, 254 steps 2, 1 and 0 of 510 cycles come first.
// The same down across the boundary: the reload at 179386 (349 steps of 514
// cycles) brings the high step after a restart, and step 3 without one.
TEST(VoiceRenderer, TheDutySequenceRestartsWhereTheHighRegisterChanges) {
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
