// The sound of the first pulse channel as the tracker plays a Zentrill
// module with its one instrument: duty 12.5%, constant volume, one period
// register value per row. Pure: rows in, samples out.
#ifndef ZENTRILL_PREVIEW_PULSE_RENDERER_H_
#define ZENTRILL_PREVIEW_PULSE_RENDERER_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace zentrill {

// How far each edge of the pulse moves the wave: with the overshoot of a
// band-limited rise, the wave peaks at about 8100 of 32768 (-12.1 dBFS), as
// the tracker's does at volume 15.
inline constexpr double kPulseStepHeight = 7700;

// Takes the samples of a preview in order, a block at a time.
using SampleBlockSink = std::function<void(std::span<const std::int16_t>)>;

// The most samples one call of the sink takes.
inline constexpr std::size_t kSampleBlockSize = 8192;

// Plays `registers`, the period register value R of each row (0 to
// kHighestPeriodRegister, tracker_pitch.h), one row after another, and hands the samples to
// `sink`: exactly preview_timing::sample_count(registers.size()) of them at
// 44100 Hz, the last row's end being the end, with nothing after it.
//
// Row n starts n * preview_timing::kCyclesPerRow CPU cycles into the
// samples. The pulse is high for one of its eight duty steps; a step lasts
// (R + 1) * 2 cycles, a period (R + 1) * 16. A row's R takes effect when the
// step under way ends, as the channel's timer reloads; the duty sequence runs
// on from row to row and starts again (at a low step, the high step coming
// at the next reload) at the first row and at each row whose R >> 8 differs
// from the row before, where the tracker writes the channel's high period
// register. A row with R
// below 8 is silent, as the channel mutes such periods.
//
// Each edge is a band-limited step at its exact time: what harmonics above
// 22.05 kHz fold back lies more than 80 dB down, below 16-bit rounding. A gentle high-pass (20 Hz) removes the
// mean, as the tracker's output path does, so the wave sits around 0; its
// peak is about -12 dBFS, and every sample is saturated to 16 bits.
// Memory stays the same whatever the count of rows.
void render_pulse_preview(std::span<const std::uint16_t> registers, const SampleBlockSink& sink);

}  // namespace zentrill

#endif  // ZENTRILL_PREVIEW_PULSE_RENDERER_H_
