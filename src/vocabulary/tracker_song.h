// The song the tracker plays from a module of this program, as far as more
// than one phase must agree on it: how its rows are laid out in patterns and
// frames, how many lines of the pitch list become rows, and how long a row
// lasts (FamiTracker, NTSC).
#ifndef ZENTRILL_VOCABULARY_TRACKER_SONG_H_
#define ZENTRILL_VOCABULARY_TRACKER_SONG_H_

#include <cstdint>

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

// Speed 6: a row lasts six of the tracker's frames (ticks), and a frame lasts
// 29829 CPU cycles, 1/60 s; tempo 150 leaves that speed as it is.
inline constexpr std::uint32_t kSpeed = 6;
inline constexpr std::uint32_t kTempo = 150;
inline constexpr std::uint32_t kCpuCyclesPerTick = 29829;
inline constexpr std::uint32_t kCpuCyclesPerRow = kSpeed * kCpuCyclesPerTick;

static_assert(kMaxRows == 32768 && kMaxLinesWithEnd == 32767);
static_assert(kCpuCyclesPerRow == 178974);

}  // namespace zentrill

#endif  // ZENTRILL_VOCABULARY_TRACKER_SONG_H_
