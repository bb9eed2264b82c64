// The layout of pxx.ftm, the FamiTracker module (format version 0x430) that
// phase 3 writes: block names, versions and sizes, the values of the fixed
// song, and the layout of one pattern row. The writer builds the file from
// these; the tests find the rows through them.
#ifndef ZENTRILL_MODULE_MODULE_FORMAT_H_
#define ZENTRILL_MODULE_MODULE_FORMAT_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zentrill::module_format {

// All integers are unsigned and little-endian; nothing is aligned.

// File header: the magic text without terminator, then the version as a u32.
inline constexpr std::string_view kMagic = "FamiTracker Module";
inline constexpr std::uint32_t kFormatVersion = 0x430;
inline constexpr std::size_t kFileHeaderSize = kMagic.size() + 4;

// Every block starts with its name, filled up with zero bytes to 16, its
// version and the number of data bytes after this head.
inline constexpr std::size_t kBlockNameSize = 16;
inline constexpr std::size_t kBlockHeadSize = kBlockNameSize + 4 + 4;

struct Block {
  std::string_view name;
  std::uint32_t version;
  std::uint32_t data_size;

  constexpr std::size_t size() const { return kBlockHeadSize + data_size; }
};

// One pattern item: the row index (u32), then one byte each for note, octave,
// instrument and volume, then the one effect column (command, parameter).
inline constexpr std::size_t kRowIndexOffset = 0;
inline constexpr std::size_t kNoteOffset = 4;
inline constexpr std::size_t kOctaveOffset = 5;
inline constexpr std::size_t kInstrumentOffset = 6;
inline constexpr std::size_t kVolumeOffset = 7;
inline constexpr std::size_t kEffectCommandOffset = 8;
inline constexpr std::size_t kEffectParameterOffset = 9;
inline constexpr std::size_t kRowSize = 10;
static_assert(kNoteOffset == kRowIndexOffset + 4 && kEffectParameterOffset + 1 == kRowSize);
static_assert(kRowSize == 10);

// Cell values. Notes 1 to 12 are C to B; the module defines no instruments,
// so instrument 0 names an empty slot that the user fills in the tracker.
inline constexpr int kNoNote = 0;
inline constexpr int kFirstInstrument = 0;
inline constexpr int kNoInstrument = 0x40;
inline constexpr int kNoVolume = 0x10;
inline constexpr int kFinePitchEffect = 0x0D;  // the tracker's P effect
inline constexpr int kNeutralFinePitch = 0x80;

// The one song: five NES channels, NTSC, one frame of one 256-row pattern.
inline constexpr int kNoExpansionChip = 0;
inline constexpr std::uint32_t kChannelCount = 5;
inline constexpr std::uint32_t kNtsc = 0;
inline constexpr std::uint32_t kDefaultEngineSpeed = 0;
inline constexpr std::uint32_t kVibratoStyle = 1;
inline constexpr std::uint32_t kFirstHighlight = 4;
inline constexpr std::uint32_t kSecondHighlight = 16;
inline constexpr std::uint32_t kSpeedTempoSplit = 32;
inline constexpr std::size_t kInfoFieldSize = 32;  // title, author, copyright
inline constexpr std::string_view kSongName = "New song";
inline constexpr std::size_t kSongNameSize = 9;
inline constexpr std::uint32_t kFrameCount = 1;
inline constexpr std::uint32_t kSpeed = 6;
inline constexpr std::uint32_t kTempo = 150;
inline constexpr std::uint32_t kPatternRows = 256;
// The head of the one stored pattern: song, channel, pattern number, items.
inline constexpr std::size_t kPatternHeadSize = 4 * 4;

inline constexpr Block kParams{"PARAMS", 6, 1 + 7 * 4};
inline constexpr Block kInfo{"INFO", 1, 3 * kInfoFieldSize};
inline constexpr Block kHeader{"HEADER", 3, 1 + kSongNameSize + kChannelCount * 2};
inline constexpr Block kInstruments{"INSTRUMENTS", 5, 4};
inline constexpr Block kSequences{"SEQUENCES", 6, 4};
inline constexpr Block kFrames{"FRAMES", 3, 4 * 4 + kChannelCount};
inline constexpr Block kPatterns{"PATTERNS", 5, kPatternHeadSize + kPatternRows * kRowSize};
inline constexpr Block kDpcmSamples{"DPCM SAMPLES", 1, 1};  // the sample count, 0
inline constexpr std::string_view kEndMarker = "END";

static_assert(kSongName.size() < kSongNameSize);
static_assert(kDpcmSamples.name.size() <= kBlockNameSize &&
              kInstruments.name.size() <= kBlockNameSize);

// Everything before the first pattern item, the same in every module.
inline constexpr std::size_t kFixedHeadSize =
    kFileHeaderSize + kParams.size() + kInfo.size() + kHeader.size() + kInstruments.size() +
    kSequences.size() + kFrames.size() + kBlockHeadSize + kPatternHeadSize;
// Everything after the last pattern item.
inline constexpr std::size_t kTailSize = kDpcmSamples.size() + kEndMarker.size();
inline constexpr std::size_t kModuleSize = kFixedHeadSize + kPatternRows * kRowSize + kTailSize;

static_assert(kFixedHeadSize == 380);
static_assert(kTailSize == 28);
static_assert(kModuleSize == 2968);

}  // namespace zentrill::module_format

#endif  // ZENTRILL_MODULE_MODULE_FORMAT_H_
