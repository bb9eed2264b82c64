// The preview's samples from the steps of a wave: each step, at its exact CPU
// cycle, is band-limited, and the sum is gently high-passed, as the
// tracker's output is.
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

// The most samples one call of the sink takes.
inline constexpr std::size_t kSampleBlockSize = 8192;

// Steps in, samples out. Each step is the integral of a windowed sinc whose
// response is flat to 14 kHz and at least 80 dB down from 21.94 kHz on, so
// no harmonic above 22.05 kHz folds back audibly; it is spread over the
// samples it reaches as changes from one sample to the next, and a leaky sum
// of the changes (a one-pole high-pass at 20 Hz) is the wave, around 0.
// Samples are handed on a block at a time, once no later step can reach
// them, each saturated to 16 bits. Memory stays the same however many steps
// come.
class BandLimitedSteps {
 public:
  // Makes `sample_count` samples, each cycle lying `samples_per_cycle` of a
  // sample after the one before, cycle 0 at sample 0.
  BandLimitedSteps(std::int64_t sample_count, preview_timing::Ratio samples_per_cycle,
                   const SampleBlockSink& sink);

  // A step of `height` at `cycle`, no earlier than the step before.
  void add_step(std::int64_t cycle, double height);

  // Hands on every sample not yet handed on.
  void finish();

 private:
  void hand_on_block();

  const preview_timing::Ratio samples_per_cycle_;
  const std::int64_t sample_count_;
  const SampleBlockSink& sink_;
  const double decay_;  // of the high-pass, per sample
  // The change into each sample from block_start_ on; a step at sample 0
  // reaches back before it, so the first block starts there.
  std::vector<double> changes_;
  std::int64_t block_start_;
  double level_ = 0;
  std::vector<std::int16_t> samples_;
};

}  // namespace zentrill

#endif  // ZENTRILL_PREVIEW_BAND_LIMITED_STEPS_H_
