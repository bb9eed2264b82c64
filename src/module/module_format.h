// The layout of pxx.ftm, the FamiTracker module (format version 0x430) that
// phase 3 writes: block names, versions and sizes, the values of the fixed
// song, the one instrument it may define, the frames and patterns for a
// given count of patterns, and the layout of one pattern row. The writer
// builds the file from these; the tests find the rows through them.
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

// Cell values. Notes 1 to 12 are C to B (notes.h); the fine pitch of a row
// that bends nothing is kNeutralFinePitch (tracker_pitch.h). Every note row
// names instrument 0: an empty slot that the user fills in the tracker,
// unless the module defines the one instrument below.
inline constexpr int kNoNote = 0;
inline constexpr int kFirstInstrument = 0;
inline constexpr int kNoInstrument = 0x40;
inline constexpr int kNoVolume = 0x10;
inline constexpr int kFinePitchEffect = 0x0D;  // the tracker's P effect

// The one song: five NES channels, NTSC, 256-row patterns. The default
// module has one frame and one pattern; the first pulse channel may hold more
// (one frame each), the other channels play their empty pattern 0.
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
inline constexpr std::uint32_t kSpeed = 6;
inline constexpr std::uint32_t kTempo = 150;
inline constexpr std::uint32_t kPatternRows = 256;
// The tracker takes at most 128 frames and 128 patterns per channel.
inline constexpr std::uint32_t kMaxPatterns = 128;
inline constexpr std::uint32_t kMaxRows = kMaxPatterns * kPatternRows;
// The head of each stored pattern: song, channel, pattern number, items.
inline constexpr std::size_t kPatternHeadSize = 4 * 4;
inline constexpr std::size_t kPatternSize = kPatternHeadSize + kPatternRows * kRowSize;
// FRAMES holds the frame count, speed, tempo and pattern length, then one
// pattern number byte per channel for each frame.
inline constexpr std::size_t kFramesHeadSize = 4 * 4;

// The one instrument a module may define: a 2A03 instrument at index 0 named
// "Zentrill" with no sequence enabled, so the tracker plays it at constant
// volume 15 and duty 12.5%. Its data: index, type, the sequence count and
// for each sequence kind (volume, arpeggio, pitch, hi-pitch, duty) enabled 0
// and index 0, the DPCM key map (for each note of 8 octaves sample 0 and
// pitch 0), the name's length (u32) and the name without terminator. Every
// count and index is a u32, the type one byte.
inline constexpr std::uint32_t kInstrumentIndex = kFirstInstrument;
inline constexpr int k2A03Instrument = 1;
inline constexpr std::uint32_t kSequenceKinds = 5;
inline constexpr std::size_t kSequenceReferenceSize = 2;
inline constexpr std::size_t kDpcmKeyMapSize = 8 * 12 * 2;  // octaves x notes x 2 bytes
inline constexpr std::string_view kInstrumentName = "Zentrill";
inline constexpr std::size_t kInstrumentSize = 4 + 1 + 4 + kSequenceKinds * kSequenceReferenceSize +
                                               kDpcmKeyMapSize + 4 + kInstrumentName.size();

inline constexpr Block kParams{"PARAMS", 6, 1 + 7 * 4};
inline constexpr Block kInfo{"INFO", 1, 3 * kInfoFieldSize};
inline constexpr Block kHeader{"HEADER", 3, 1 + kSongNameSize + kChannelCount * 2};
// INSTRUMENTS holds the instrument count, then each instrument.
inline constexpr Block kInstruments{"INSTRUMENTS", 5, 4};
inline constexpr Block kInstrumentsWithOne{"INSTRUMENTS", 5, 4 + kInstrumentSize};
inline constexpr Block kSequences{"SEQUENCES", 6, 4};
inline constexpr Block kDpcmSamples{"DPCM SAMPLES", 1, 1};  // the sample count, 0
inline constexpr std::string_view kEndMarker = "END";

// What a module holds beyond the default: how many patterns of the first
// pulse channel (1 to kMaxPatterns, one frame each) and whether it defines
// the instrument.
struct ModuleShape {
  std::uint32_t patterns = 1;
  bool instrument = false;
};

constexpr Block instruments_block(const ModuleShape& shape) {
  return shape.instrument ? kInstrumentsWithOne : kInstruments;
}
constexpr Block frames_block(const ModuleShape& shape) {
  const std::size_t frames = shape.patterns;
  return {"FRAMES", 3, static_cast<std::uint32_t>(kFramesHeadSize + frames * kChannelCount)};
}
constexpr Block patterns_block(const ModuleShape& shape) {
  return {"PATTERNS", 5, static_cast<std::uint32_t>(shape.patterns * kPatternSize)};
}

static_assert(kSongName.size() < kSongNameSize);
static_assert(kMaxRows == 32768);
static_assert(kDpcmSamples.name.size() <= kBlockNameSize &&
              kInstruments.name.size() <= kBlockNameSize);

// Where the INSTRUMENTS block starts; everything before it is the same in
// every module.
inline constexpr std::size_t kInstrumentsOffset =
    kFileHeaderSize + kParams.size() + kInfo.size() + kHeader.size();
// Where the first item of pattern `pattern` starts.
constexpr std::size_t pattern_items_offset(const ModuleShape& shape, std::uint32_t pattern) {
  return kInstrumentsOffset + instruments_block(shape).size() + kSequences.size() +
         frames_block(shape).size() + kBlockHeadSize + pattern * kPatternSize + kPatternHeadSize;
}
// Everything after the last pattern item.
inline constexpr std::size_t kTailSize = kDpcmSamples.size() + kEndMarker.size();
constexpr std::size_t module_size(const ModuleShape& shape) {
  return pattern_items_offset(shape, shape.patterns) - kPatternHeadSize + kTailSize;
}

// The default module: everything before the first pattern item, and the
// whole file.
inline constexpr std::size_t kFixedHeadSize = pattern_items_offset({}, 0);
inline constexpr std::size_t kModuleSize = module_size({});

static_assert(kInstrumentsOffset == 239);
static_assert(kFixedHeadSize == 380);
static_assert(kTailSize == 28);
static_assert(kModuleSize == 2968);
static_assert(kInstrumentsWithOne.size() == 251 && kInstrumentsWithOne.data_size == 0xE3);
static_assert(module_size({1, true}) == 3191);
// Each further pattern adds its 2576 bytes and one frame of 5 bytes.
static_assert(module_size({2, false}) - kModuleSize == 2581);
static_assert(module_size({5, false}) == 13292);
static_assert(module_size({5, true}) == 13292 + 223);
static_assert(module_size({kMaxPatterns, false}) == 2968 + 2581 * 127);

}  // namespace zentrill::module_format

#endif  // ZENTRILL_MODULE_MODULE_FORMAT_H_
