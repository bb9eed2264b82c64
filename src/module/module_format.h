// The layout of pxx.ftm, the FamiTracker module (version 0x430). Integers are
// unsigned little-endian (u8, u32), nothing is aligned, texts are zero-filled.
// The file is the header, these blocks in order, and "END" unterminated:
//
//   header       "FamiTracker Module" (18 bytes), version u32 = 0x430
//   block        name (16 bytes), version u32, data size u32, then the data
//
//   block         version  data
//   PARAMS        6        chip u8 = 0, channels u32 = 5, machine u32 (0 NTSC,
//                          1 PAL), engine speed u32 = 0, vibrato style u32 = 1,
//                          highlights u32 = 4 and 16, split u32 = 32: 29 bytes
//   INFO          1        title, author, copyright: 32 bytes each, empty
//   HEADER        3        extra songs u8 = 0, name (9 bytes) "New song", per
//                          channel its type u8 = 0..4 and extra effect
//                          columns u8 = 0: 20 bytes
//   INSTRUMENTS   5        count u32, 0 or 1; the instrument: index u32 = 0,
//                          type u8 = 1 (2A03), sequences u32 = 5, per sequence
//                          enabled u8 = 0 and index u8 = 0, per note of 8 x 12
//                          DPCM sample u8 = 0 and pitch u8 = 0, name length
//                          u32 = 8, "Zentrill": 223 bytes
//   SEQUENCES     6        count u32 = 0
//   FRAMES        3        frames u32 = N, speed u32, tempo u32, rows u32 =
//                          256, per frame a pattern u8 per channel: 16 + 5N
//   PATTERNS      5        per pattern: song u32 = 0, channel u32, pattern
//                          u32, items u32 = 256, 256 items: 2576N bytes
//   DPCM SAMPLES  1        count u8 = 0
//
// An item: row u32, note u8, octave u8, instrument u8, volume u8, effect u8,
// parameter u8.
#ifndef ZENTRILL_MODULE_MODULE_FORMAT_H_
#define ZENTRILL_MODULE_MODULE_FORMAT_H_

#include <cstddef>
#include <cstdint>

#include "vocabulary/tracker_song.h"

namespace zentrill::module_format {

inline constexpr std::size_t kFileHeaderSize = 22;
inline constexpr std::size_t kBlockHeadSize = 24;
inline constexpr std::size_t kBlockNameSize = 16;
inline constexpr std::uint32_t kChannelCount = 5;
inline constexpr std::size_t kInstrumentSize = 223;
inline constexpr std::size_t kFrameSize = kChannelCount;
inline constexpr std::size_t kPatternHeadSize = 16;
inline constexpr std::size_t kRowSize = 10;
inline constexpr std::size_t kPatternSize = kPatternHeadSize + kPatternRows * kRowSize;

// The data sizes of the blocks.
inline constexpr std::uint32_t kParamsDataSize = 29;
inline constexpr std::uint32_t kInfoDataSize = 96;
inline constexpr std::uint32_t kHeaderDataSize = 20;
constexpr std::uint32_t instruments_data_size(bool instrument) {
  return static_cast<std::uint32_t>(4 + (instrument ? kInstrumentSize : 0));
}
inline constexpr std::uint32_t kSequencesDataSize = 4;
constexpr std::uint32_t frames_data_size(std::uint32_t patterns) {
  return static_cast<std::uint32_t>(16 + patterns * kFrameSize);
}
constexpr std::uint32_t patterns_data_size(std::uint32_t patterns) {
  return static_cast<std::uint32_t>(patterns * kPatternSize);
}
inline constexpr std::uint32_t kDpcmSamplesDataSize = 1;

// Where the items of pattern `pattern` start.
constexpr std::size_t pattern_items_offset(std::uint32_t patterns, bool instrument, std::uint32_t pattern) {
  // 7: the heads of the six blocks before PATTERNS and of PATTERNS itself.
  return kFileHeaderSize + 7 * kBlockHeadSize + kParamsDataSize + kInfoDataSize + kHeaderDataSize +
         instruments_data_size(instrument) + kSequencesDataSize + frames_data_size(patterns) +
         pattern * kPatternSize + kPatternHeadSize;
}
constexpr std::size_t module_size(std::uint32_t patterns, bool instrument) {
  return pattern_items_offset(patterns, instrument, patterns) - kPatternHeadSize + kBlockHeadSize +
         kDpcmSamplesDataSize + 3;
}

// The patterns that hold `lines` lines and the row that ends the song.
constexpr std::uint32_t patterns_with_end(std::uint32_t lines) { return lines / kPatternRows + 1; }

// The sizes the tracker needs to read a module.
static_assert(pattern_items_offset(1, false, 0) == 380);
static_assert(kRowSize == 10);
static_assert(module_size(1, false) == 2968);

// Cell values. Note rows name instrument 0, an empty slot the user fills in
// the tracker unless the module defines it.
inline constexpr int kNoNote = 0;
inline constexpr int kFirstInstrument = 0;
inline constexpr int kNoInstrument = 0x40;
inline constexpr int kNoVolume = 0x10;
inline constexpr int kFinePitchEffect = 0x0D;  // the tracker's P effect
// The song ends on a row with a note cut, which silences the channel at
// once, and the halt (the tracker's C), which stops before the row plays.
inline constexpr int kNoteCut = 14;
inline constexpr int kHaltEffect = 4;
inline constexpr int kHaltParameter = 0;

}  // namespace zentrill::module_format

#endif  // ZENTRILL_MODULE_MODULE_FORMAT_H_
