// Samples from the steps of a wave, each band-limited at its exact cycle; the
// sum is gently high-passed, as the tracker's output is.
#ifndef ZENTRILL_PREVIEW_BAND_LIMITED_STEPS_H_
#define ZENTRILL_PREVIEW_BAND_LIMITED_STEPS_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "preview/preview_timing.h"

namespace zentrill {

// Takes the samples of a preview in order, a block at a time.
using SampleBlockSink = std::function<void(std::span<const std::int16_t>)>;

inline constexpr std::size_t kSampleBlockSize = 8192;

// Each step is an integrated windowed sinc, flat to 14 kHz and 80 dB down from
// 21.94 kHz, so no harmonic folds back audibly. A one-pole 20 Hz high-pass
// keeps the wave around 0. Blocks are handed on once no later step reaches
// them, saturated to 16 bits; memory stays the same however many steps come.
class BandLimitedSteps {
 public:
  // Cycle 0 is at sample 0.
  BandLimitedSteps(std::int64_t sample_count, preview_timing::Ratio samples_per_cycle,
                   const SampleBlockSink& sink);

  // `cycle` no earlier than the step before.
  void add_step(std::int64_t cycle, double height);

  void finish();

 private:
  void hand_on_block();

  const preview_timing::Ratio samples_per_cycle_;
  const std::int64_t sample_count_;
  const SampleBlockSink& sink_;
  const double decay_;  // of the high-pass, per sample
  // From block_start_ on, which starts before 0: a step at 0 reaches back.
  std::vector<double> changes_;
  std::int64_t block_start_;
  double level_ = 0;
  std::vector<std::int16_t> samples_;
};

}  // namespace zentrill

#endif  // ZENTRILL_PREVIEW_BAND_LIMITED_STEPS_H_
