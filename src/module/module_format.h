// The layout of pxx.ftm, the FamiTracker module (format version 0x430) that
// phase 3 writes. Integers are unsigned and little-endian (u8, u32), nothing
// is aligned, and a text is filled up with zero bytes to its size.
//
// The file is the header, the blocks below in this order, and "END" with no
// terminator:
//
//   header       "FamiTracker Module" (18 bytes), version u32 = 0x430
//   block        name (16 bytes), version u32, data size u32, then the data
//
//   block         version  data
//   PARAMS        6        expansion chip u8 = 0, channels u32 = 5, machine
//                          u32 (0 NTSC, 1 PAL), engine speed u32 = 0 (the
//                          machine's), vibrato style u32 = 1, highlights u32
//                          = 4 and 16, speed/tempo split u32 = 32: 29 bytes
//   INFO          1        title, author, copyright: 32 bytes each, empty
//   HEADER        3        songs after the first u8 = 0, song name (9 bytes)
//                          "New song", then for each channel (pulse 1,
//                          pulse 2, triangle, noise, DPCM) its type u8 = 0
//                          to 4 and its effect columns after the first u8 =
//                          0: 20 bytes
//   INSTRUMENTS   5        count u32, 0 or 1; the instrument: index u32 = 0,
//                          type u8 = 1 (2A03), sequence count u32 = 5, for
//                          each sequence (volume, arpeggio, pitch, hi-pitch,
//                          duty) enabled u8 = 0 and index u8 = 0, for each
//                          of 8 x 12 notes of the DPCM key map sample u8 = 0
//                          and pitch u8 = 0, name length u32 = 8,
//                          "Zentrill": 223 bytes
//   SEQUENCES     6        count u32 = 0
//   FRAMES        3        frames u32 = N, speed u32, tempo u32, pattern rows
//                          u32 = 256, then for each frame one pattern number
//                          u8 per channel: 16 + 5N bytes
//   PATTERNS      5        for each of N patterns: song u32 = 0, channel
//                          u32, pattern number u32, items u32 = 256, then
//                          256 items: 2576N bytes
//   DPCM SAMPLES  1        count u8 = 0
//
// A pattern item, one row of one effect column:
//
//   row u32, note u8, octave u8, instrument u8, volume u8, effect u8,
//   parameter u8
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

// The data sizes of the blocks; FRAMES and PATTERNS for `patterns` frames
// and patterns.
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

// Where the items of pattern `pattern` start, in a module of `patterns`
// patterns, with or without the instrument.
constexpr std::size_t pattern_items_offset(std::uint32_t patterns, bool instrument, std::uint32_t pattern) {
  // The heads of the six blocks before PATTERNS and of PATTERNS itself.
  return kFileHeaderSize + 7 * kBlockHeadSize + kParamsDataSize + kInfoDataSize + kHeaderDataSize +
         instruments_data_size(instrument) + kSequencesDataSize + frames_data_size(patterns) +
         pattern * kPatternSize + kPatternHeadSize;
}
constexpr std::size_t module_size(std::uint32_t patterns, bool instrument) {
  return pattern_items_offset(patterns, instrument, patterns) - kPatternHeadSize + kBlockHeadSize +
         kDpcmSamplesDataSize + 3;
}

// The patterns that hold `lines` lines (at most kMaxLinesWithEnd) and the
// row after them that ends the song, 256 rows to a pattern.
constexpr std::uint32_t patterns_with_end(std::uint32_t lines) { return lines / kPatternRows + 1; }

// The sizes that make a module the tracker reads: everything before the
// first item, a row, and the module of one pattern without the instrument.
static_assert(pattern_items_offset(1, false, 0) == 380);
static_assert(kRowSize == 10);
static_assert(module_size(1, false) == 2968);

// Cell values. Notes 1 to 12 are C to B (notes.h); the fine pitch of a row
// that bends nothing is kNeutralFinePitch (tracker_pitch.h). Every note row
// names instrument 0: an empty slot that the user fills in the tracker,
// unless the module defines the instrument.
inline constexpr int kNoNote = 0;
inline constexpr int kFirstInstrument = 0;
inline constexpr int kNoInstrument = 0x40;
inline constexpr int kNoVolume = 0x10;
inline constexpr int kFinePitchEffect = 0x0D;  // the tracker's P effect
// The row that ends the song: a note cut, which silences the channel at
// once, and the halt effect (the tracker's C), which stops the song before
// the row would play. The player ignores the halt's parameter, the cut's
// octave and instrument.
inline constexpr int kNoteCut = 14;
inline constexpr int kHaltEffect = 4;
inline constexpr int kHaltParameter = 0;

}  // namespace zentrill::module_format

#endif  // ZENTRILL_MODULE_MODULE_FORMAT_H_
