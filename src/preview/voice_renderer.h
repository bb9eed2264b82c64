// The voice's channel as the tracker plays a Zentrill module with its one
// instrument (constant volume, duty 12.5%). Pure: rows in, samples out.
#ifndef ZENTRILL_PREVIEW_VOICE_RENDERER_H_
#define ZENTRILL_PREVIEW_VOICE_RENDERER_H_

#include <cstdint>
#include <span>

#include "preview/band_limited_steps.h"
#include "vocabulary/voice.h"

namespace zentrill {

// With a band-limited rise's overshoot the wave peaks near 8100 (-12.1 dBFS),
// as the tracker's does at volume 15.
inline constexpr double kPulseStepHeight = 7700;

// Plays one period register value R per row and hands `sink` exactly
// preview_timing::sample_count(voice, registers.size()) samples at 44100 Hz.
// Row n starts at row_start_cycle(voice, n); its R takes effect when the
// current step ends, as the timer reloads. Steps are band-limited, the wave
// sits around 0, and memory stays the same whatever the count of rows.
//
// Pulse: high for one of eight steps of (R + 1) * 2 cycles. The duty restarts
// (at a low step) at the first row and wherever R >> 8 changes, as the tracker
// then writes the high period register. R below 8 is silent: the channel
// mutes it.
//
// Triangle: 32 steps of R + 1 cycles at the 2A03 mixer's levels, never
// restarted. The first note sounds
// from the next quarter-frame clock, which loads the linear counter; R of 1
// or less holds the wave where it is.
void render_preview(std::span<const std::uint16_t> registers, const Voice& voice,
                    const SampleBlockSink& sink);

}  // namespace zentrill

#endif  // ZENTRILL_PREVIEW_VOICE_RENDERER_H_
