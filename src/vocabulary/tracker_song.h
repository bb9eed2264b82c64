// What the phases must agree on about the song the tracker plays: its rows,
// patterns and frames, and when each row starts.
#ifndef ZENTRILL_VOCABULARY_TRACKER_SONG_H_
#define ZENTRILL_VOCABULARY_TRACKER_SONG_H_

#include <cstdint>

#include "vocabulary/voice.h"

namespace zentrill {

inline constexpr std::uint32_t kPatternRows = 256;
// The tracker's limit, for frames and for patterns per channel.
inline constexpr std::uint32_t kMaxPatterns = 128;
inline constexpr std::uint32_t kMaxRows = kMaxPatterns * kPatternRows;
// With -a the song ends on the row after the last line: one line fewer than
// rows.
inline constexpr std::uint32_t kLinesWithoutAllRows = kPatternRows;
inline constexpr std::uint32_t kMaxLinesWithEnd = kMaxRows - 1;

static_assert(kMaxRows == 32768 && kMaxLinesWithEnd == 32767);

// By the tracker's tempo counter, which rises by 60 x the frame rate as each
// row starts and falls by floor(24 x tempo / speed) each frame: when the fall
// does not divide the rise, a few rows, the first among them, last a frame
// more than `speed`.
constexpr std::int64_t row_start_frame(const Voice& voice, std::int64_t row) {
  const MachineFacts machine = machine_facts(voice.machine);
  const std::int64_t rise = 60 * std::int64_t{machine.frames_per_second};
  const std::int64_t fall = 24 * std::int64_t{machine.tempo} / voice.speed;
  return (row * rise + fall - 1) / fall;
}

// Whole frames, so no drift.
constexpr std::int64_t row_start_cycle(const Voice& voice, std::int64_t row) {
  return row_start_frame(voice, row) * cpu_cycles_per_frame(voice.machine);
}

// As the tracker plays them.
static_assert(row_start_frame(kDefaultVoice, 1200) == 7200);
static_assert(row_start_frame({Channel::pulse1, Machine::ntsc, 7}, 1200) == 8405 &&
              row_start_frame({Channel::pulse1, Machine::ntsc, 19}, 1200) == 22858 &&
              row_start_frame({Channel::pulse1, Machine::pal, 9}, 1200) == 10811 &&
              row_start_frame({Channel::pulse1, Machine::pal, 19}, 1200) == 22930);

}  // namespace zentrill

#endif  // ZENTRILL_VOCABULARY_TRACKER_SONG_H_
