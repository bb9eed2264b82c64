// The sound of the voice's channel as the tracker plays a Zentrill module
// with its one instrument (constant volume, a pulse's duty 12.5%), one period
// register value per row. Pure: rows in, samples out.
#ifndef ZENTRILL_PREVIEW_VOICE_RENDERER_H_
#define ZENTRILL_PREVIEW_VOICE_RENDERER_H_

#include <cstdint>
#include <span>

#include "preview/band_limited_steps.h"
#include "vocabulary/voice.h"

namespace zentrill {

// How far each edge of the pulse moves the wave: with the overshoot of a
// band-limited rise, the wave peaks at about 8100 of 32768 (-12.1 dBFS), as
// the tracker's does at volume 15.
inline constexpr double kPulseStepHeight = 7700;

// Plays `registers`, the period register value R of each row (0 to
// kHighestPeriodRegister, tracker_pitch.h), on the voice's channel, one row
// after another, and hands the samples to `sink`: exactly
// preview_timing::sample_count(voice, registers.size()) of them at 44100 Hz,
// the last row's end being the end, with nothing after it. Row n starts at
// CPU cycle row_start_cycle(voice, n) (tracker_song.h), at the machine's
// clock. A row's R takes effect when the step of the wave under way ends, as
// the channel's timer reloads.
//
// Pulse 1 and pulse 2 sound alike: high for one of eight duty steps of
// (R + 1) * 2 cycles each. The duty sequence runs on from row to row and
// starts again (at a low step, the high step coming at the next reload) at
// the first row and at each row whose R >> 8 differs from the row before,
// where the tracker writes the channel's high period register. A row with R
// below 8 is silent, as the channel mutes such periods.
//
// The triangle climbs and falls through 32 steps of R + 1 cycles, 4-bit
// outputs 0, 1 ... 15, 15 ... 0 at the levels the 2A03's mixer gives them
// (about -19.5 dBFS rms); its wave never restarts. The first note sounds
// from the APU's quarter-frame clock after it (its linear counter is loaded
// then), and a row with R of 1 or less holds the wave where it is.
//
// Each step is band-limited at its exact time (band_limited_steps.h), the
// wave sits around 0, and memory stays the same whatever the count of rows.
void render_preview(std::span<const std::uint16_t> registers, const Voice& voice,
                    const SampleBlockSink& sink);

}  // namespace zentrill

#endif  // ZENTRILL_PREVIEW_VOICE_RENDERER_H_
