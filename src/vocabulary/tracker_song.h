// The song the tracker plays from a module of this program, as far as more
// than one phase must agree on it: how its rows are laid out in patterns and
// frames, how many lines of the pitch list become rows, and when each row
// starts (FamiTracker).
#ifndef ZENTRILL_VOCABULARY_TRACKER_SONG_H_
#define ZENTRILL_VOCABULARY_TRACKER_SONG_H_

#include <cstdint>

#include "vocabulary/voice.h"

namespace zentrill {

inline constexpr std::uint32_t kPatternRows = 256;
// The tracker takes at most 128 frames and 128 patterns per channel.
inline constexpr std::uint32_t kMaxPatterns = 128;
inline constexpr std::uint32_t kMaxRows = kMaxPatterns * kPatternRows;
// Without -a the module holds the first pattern's worth of lines. With -a it
// holds the whole list and ends the song on the row after its last line, so
// it holds one line fewer than it has rows.
inline constexpr std::uint32_t kLinesWithoutAllRows = kPatternRows;
inline constexpr std::uint32_t kMaxLinesWithEnd = kMaxRows - 1;

static_assert(kMaxRows == 32768 && kMaxLinesWithEnd == 32767);

// The frame (tick) at which row `row` starts, by the tracker's tempo
// counter: it starts at 0, and at each frame, when it is 0 or less, the next
// row starts and it rises by 60 x the frame rate; then it falls by
// floor(24 x tempo / speed). At the machine's own tempo the rise is 24 x
// tempo, so row k starts at frame ceil(k x rise / fall): each row lasts
// `speed` frames when the fall divides the rise, and otherwise a few rows,
// the first among them, last one frame more.
constexpr std::int64_t row_start_frame(const Voice& voice, std::int64_t row) {
  const MachineFacts machine = machine_facts(voice.machine);
  const std::int64_t rise = 60 * std::int64_t{machine.frames_per_second};
  const std::int64_t fall = 24 * std::int64_t{machine.tempo} / voice.speed;
  return (row * rise + fall - 1) / fall;
}

// The CPU cycle at which row `row` starts: whole frames, so no drift.
constexpr std::int64_t row_start_cycle(const Voice& voice, std::int64_t row) {
  return row_start_frame(voice, row) * cpu_cycles_per_frame(voice.machine);
}

// Frames of 1200 rows as the tracker plays them.
static_assert(row_start_frame(kDefaultVoice, 1200) == 7200);
static_assert(row_start_frame({Channel::pulse1, Machine::ntsc, 7}, 1200) == 8405 &&
              row_start_frame({Channel::pulse1, Machine::ntsc, 19}, 1200) == 22858 &&
              row_start_frame({Channel::pulse1, Machine::pal, 9}, 1200) == 10811 &&
              row_start_frame({Channel::pulse1, Machine::pal, 19}, 1200) == 22930);

}  // namespace zentrill

#endif  // ZENTRILL_VOCABULARY_TRACKER_SONG_H_
