#include "preview/band_limited_steps.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

#include "preview/wav_format.h"

namespace zentrill {
namespace {

// The integral of a Kaiser-windowed sinc. The table holds a step's changes to
// kTaps samples for kPhases fractions of a sample; a step between two takes
// the straight line between their rows, which keeps the error 100 dB down.
constexpr std::int64_t kKernelReach = 15;
constexpr std::int64_t kFirstTap = 1 - kKernelReach;
constexpr std::size_t kTaps = 2 * kKernelReach + 1;
constexpr std::int64_t kPhases = 256;
constexpr double kCutoffHz = 18000;
constexpr double kKaiserBeta = 8.5;

constexpr double kHighPassHz = 20;

// The zeroth modified Bessel function of the first kind.
double bessel_i0(double x) {
  double sum = 1;
  double term = 1;
  for (int k = 1; term > sum * 1e-17; ++k) {
    const double factor = x / (2.0 * k);
    term *= factor * factor;
    sum += term;
  }
  return sum;
}

double windowed_sinc(double x) {
  if (std::abs(x) >= kKernelReach) return 0;
  const double band = 2 * kCutoffHz / wav_format::kSampleRate;
  const double u = std::numbers::pi * band * x;
  const double sinc = u == 0 ? 1 : std::sin(u) / u;
  const double r = x / kKernelReach;
  static const double window_at_middle = bessel_i0(kKaiserBeta);
  return band * sinc * bessel_i0(kKaiserBeta * std::sqrt(1 - r * r)) / window_at_middle;
}

class StepTable {
 public:
  StepTable() {
    // Simpson's rule, scaled to rise by exactly 1.
    constexpr std::int64_t kPoints = 2 * kKernelReach * kPhases + 1;
    std::vector<double> rise(kPoints, 0.0);
    const double width = 1.0 / kPhases;
    double left = 0;  // the sinc at the start of each interval
    for (std::int64_t k = 1; k < kPoints; ++k) {
      const double x = static_cast<double>(k - 1 - kKernelReach * kPhases) * width;
      const double right = windowed_sinc(x + width);
      rise[static_cast<std::size_t>(k)] = rise[static_cast<std::size_t>(k - 1)] +
                                          width / 6 * (left + 4 * windowed_sinc(x + width / 2) + right);
      left = right;
    }
    const double total = rise.back();
    const auto rise_at = [&](std::int64_t k) {
      const std::int64_t index = std::clamp<std::int64_t>(k + kKernelReach * kPhases, 0, kPoints - 1);
      return rise[static_cast<std::size_t>(index)] / total;
    };
    for (std::int64_t phase = 0; phase <= kPhases; ++phase) {
      for (std::size_t tap = 0; tap < kTaps; ++tap) {
        const std::int64_t end = (kFirstTap + static_cast<std::int64_t>(tap)) * kPhases - phase;
        changes_[static_cast<std::size_t>(phase)][tap] = rise_at(end) - rise_at(end - kPhases);
      }
    }
    for (std::size_t phase = 0; phase < kPhases; ++phase) {
      for (std::size_t tap = 0; tap < kTaps; ++tap) {
        slopes_[phase][tap] = changes_[phase + 1][tap] - changes_[phase][tap];
      }
    }
  }

  // The step lies (phase + weight) / kPhases of a sample past the sample
  // kFirstTap before `samples`.
  void add(double* samples, double height, std::size_t phase, double weight) const {
    const auto& changes = changes_[phase];
    const auto& slopes = slopes_[phase];
    for (std::size_t tap = 0; tap < kTaps; ++tap) {
      samples[tap] += height * (changes[tap] + weight * slopes[tap]);
    }
  }

 private:
  std::array<std::array<double, kTaps>, kPhases + 1> changes_;
  std::array<std::array<double, kTaps>, kPhases> slopes_;
};

const StepTable& step_table() {
  static const StepTable table;
  return table;
}

}  // namespace

BandLimitedSteps::BandLimitedSteps(std::int64_t sample_count, preview_timing::Ratio samples_per_cycle,
                                   const SampleBlockSink& sink)
    : samples_per_cycle_(samples_per_cycle),
      sample_count_(sample_count),
      sink_(sink),
      decay_(std::exp(-2 * std::numbers::pi * kHighPassHz / wav_format::kSampleRate)),
      changes_(kSampleBlockSize + kTaps, 0.0),
      block_start_(kFirstTap),
      samples_(kSampleBlockSize) {}

void BandLimitedSteps::add_step(std::int64_t cycle, double height) {
  const preview_timing::SamplePosition position = preview_timing::sample_position(cycle, samples_per_cycle_);
  const std::int64_t first = position.sample + kFirstTap;
  while (first > block_start_ + static_cast<std::int64_t>(kSampleBlockSize)) hand_on_block();
  const std::int64_t scaled = position.remainder * kPhases;
  const std::int64_t phase = scaled / samples_per_cycle_.denominator;
  const double weight = static_cast<double>(scaled % samples_per_cycle_.denominator) /
                        static_cast<double>(samples_per_cycle_.denominator);
  step_table().add(&changes_[static_cast<std::size_t>(first - block_start_)], height,
                   static_cast<std::size_t>(phase), weight);
}

void BandLimitedSteps::finish() {
  while (block_start_ < sample_count_) hand_on_block();
}

void BandLimitedSteps::hand_on_block() {
  constexpr long kLowest = std::numeric_limits<std::int16_t>::min();
  constexpr long kHighest = std::numeric_limits<std::int16_t>::max();
  std::size_t handed = 0;
  for (std::size_t i = 0; i < kSampleBlockSize; ++i) {
    level_ = level_ * decay_ + changes_[i];
    const std::int64_t sample = block_start_ + static_cast<std::int64_t>(i);
    if (sample >= 0 && sample < sample_count_) {
      samples_[handed++] = static_cast<std::int16_t>(std::clamp(std::lrint(level_), kLowest, kHighest));
    }
  }
  if (handed > 0) sink_(std::span<const std::int16_t>(samples_.data(), handed));
  std::copy(changes_.begin() + kSampleBlockSize, changes_.end(), changes_.begin());
  std::fill(changes_.begin() + kTaps, changes_.end(), 0.0);
  block_start_ += static_cast<std::int64_t>(kSampleBlockSize);
}

}  // namespace zentrill
