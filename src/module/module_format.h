// The layout of pxx.ftm, the FamiTracker module (format version 0x430) that
// phase 3 writes: block names, versions and sizes, the values of the fixed
// song, the one instrument it may define, the frames and patterns for a
// given count of patterns, and the fields of every record. The writer places
// each field where its record's layout says; every size here is the end of a
// record's last field, and the tests find the rows through the same layouts.
#ifndef ZENTRILL_MODULE_MODULE_FORMAT_H_
#define ZENTRILL_MODULE_MODULE_FORMAT_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "vocabulary/notes.h"
#include "vocabulary/tracker_song.h"

namespace zentrill::module_format {

// All integers are unsigned and little-endian; nothing is aligned.
inline constexpr std::size_t kU8Size = 1;
inline constexpr std::size_t kU32Size = 4;

// Where a field lies in its record: its first byte and its size. A record
// lists its fields in file order, each starting where the one before ends.
struct Field {
  std::size_t offset;
  std::size_t size;

  constexpr std::size_t end() const { return offset + size; }
  // The field of `next_size` bytes that follows this one.
  constexpr Field then(std::size_t next_size) const { return {end(), next_size}; }
  // The same field in the `index`th of consecutive records of `record_size`
  // bytes that start at `start`.
  constexpr Field in_record(std::size_t start, std::size_t index, std::size_t record_size) const {
    return {start + index * record_size + offset, size};
  }
};

// File header: the magic text without terminator, then the format version.
inline constexpr std::string_view kMagic = "FamiTracker Module";
inline constexpr std::uint32_t kFormatVersion = 0x430;
struct FileHeaderLayout {
  Field magic{0, kMagic.size()};
  Field version = magic.then(kU32Size);
  constexpr std::size_t size() const { return version.end(); }
};
inline constexpr FileHeaderLayout kFileHeader;

// Every block starts with its name, filled up with zero bytes to 16, its
// version and the number of data bytes after this head.
struct BlockHeadLayout {
  Field name{0, 16};
  Field version = name.then(kU32Size);
  Field data_size = version.then(kU32Size);
  constexpr std::size_t size() const { return data_size.end(); }
};
inline constexpr BlockHeadLayout kBlockHead;

struct Block {
  std::string_view name;
  std::uint32_t version;
  std::uint32_t data_size;

  constexpr std::size_t size() const { return kBlockHead.size() + data_size; }
};

// The one song: five NES channels, NTSC, speed, tempo and 256-row patterns
// as tracker_song.h gives them. The default module has one frame and one
// pattern; the first pulse channel may hold more (one frame each), the other
// channels play their empty pattern 0.
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

// PARAMS: the expansion chip, then the song's settings.
struct ParamsLayout {
  Field expansion_chip{0, kU8Size};
  Field channels = expansion_chip.then(kU32Size);
  Field machine = channels.then(kU32Size);
  Field engine_speed = machine.then(kU32Size);
  Field vibrato_style = engine_speed.then(kU32Size);
  Field first_highlight = vibrato_style.then(kU32Size);
  Field second_highlight = first_highlight.then(kU32Size);
  Field speed_tempo_split = second_highlight.then(kU32Size);
  constexpr std::size_t size() const { return speed_tempo_split.end(); }
};
inline constexpr ParamsLayout kParamsData;

// INFO: three texts, each filled up with zero bytes.
struct InfoLayout {
  Field title{0, kInfoFieldSize};
  Field author = title.then(kInfoFieldSize);
  Field copyright = author.then(kInfoFieldSize);
  constexpr std::size_t size() const { return copyright.end(); }
};
inline constexpr InfoLayout kInfoData;

// HEADER: the count of songs after the first, the song's name, then for each
// channel its type (pulse 1, pulse 2, triangle, noise, DPCM) and its count
// of effect columns after the first.
struct ChannelLayout {
  Field type{0, kU8Size};
  Field extra_effect_columns = type.then(kU8Size);
  constexpr std::size_t size() const { return extra_effect_columns.end(); }
};
inline constexpr ChannelLayout kChannel;
struct HeaderLayout {
  Field extra_songs{0, kU8Size};
  Field song_name = extra_songs.then(kSongNameSize);
  Field channels = song_name.then(kChannelCount * kChannel.size());
  constexpr std::size_t size() const { return channels.end(); }
};
inline constexpr HeaderLayout kHeaderData;

// The one instrument a module may define: a 2A03 instrument at index 0 named
// "Zentrill" with no sequence enabled, so the tracker plays it at constant
// volume 15 and duty 12.5%. For each sequence kind (volume, arpeggio, pitch,
// hi-pitch, duty) a byte "enabled" and a byte "index"; for each note of 8
// octaves in the DPCM key map a byte "sample" and a byte "pitch"; all 0.
inline constexpr std::uint32_t kInstrumentIndex = 0;
inline constexpr int k2A03Instrument = 1;
inline constexpr std::uint32_t kSequenceKinds = 5;
inline constexpr std::size_t kSequenceReferenceSize = 2 * kU8Size;
inline constexpr std::size_t kDpcmOctaves = 8;
inline constexpr std::size_t kDpcmKeySize = 2 * kU8Size;
inline constexpr std::string_view kInstrumentName = "Zentrill";
struct InstrumentLayout {
  Field index{0, kU32Size};
  Field type = index.then(kU8Size);
  Field sequence_count = type.then(kU32Size);
  Field sequences = sequence_count.then(kSequenceKinds * kSequenceReferenceSize);
  Field dpcm_key_map = sequences.then(kDpcmOctaves * kNotesPerOctave * kDpcmKeySize);
  Field name_length = dpcm_key_map.then(kU32Size);
  Field name = name_length.then(kInstrumentName.size());
  constexpr std::size_t size() const { return name.end(); }
};
inline constexpr InstrumentLayout kInstrument;

// The data of INSTRUMENTS, SEQUENCES and DPCM SAMPLES starts with a count:
// of instruments (then each instrument), of sequences, of samples.
inline constexpr Field kInstrumentCount{0, kU32Size};
inline constexpr Field kSequenceCount{0, kU32Size};
inline constexpr Field kSampleCount{0, kU8Size};

// FRAMES: this head, then for each frame one pattern number byte per
// channel.
struct FramesHeadLayout {
  Field frames{0, kU32Size};
  Field speed = frames.then(kU32Size);
  Field tempo = speed.then(kU32Size);
  Field pattern_rows = tempo.then(kU32Size);
  constexpr std::size_t size() const { return pattern_rows.end(); }
};
inline constexpr FramesHeadLayout kFramesHead;
constexpr Field frame_pattern(std::uint32_t channel) { return {channel * kU8Size, kU8Size}; }
inline constexpr std::size_t kFrameSize = frame_pattern(kChannelCount - 1).end();

// PATTERNS: for each stored pattern this head, then its items.
struct PatternHeadLayout {
  Field song{0, kU32Size};
  Field channel = song.then(kU32Size);
  Field pattern = channel.then(kU32Size);
  Field items = pattern.then(kU32Size);
  constexpr std::size_t size() const { return items.end(); }
};
inline constexpr PatternHeadLayout kPatternHead;

// One pattern item: the row index, then note, octave, instrument and volume,
// then the one effect column (command, parameter).
struct RowLayout {
  Field index{0, kU32Size};
  Field note = index.then(kU8Size);
  Field octave = note.then(kU8Size);
  Field instrument = octave.then(kU8Size);
  Field volume = instrument.then(kU8Size);
  Field effect_command = volume.then(kU8Size);
  Field effect_parameter = effect_command.then(kU8Size);
  constexpr std::size_t size() const { return effect_parameter.end(); }
};
inline constexpr RowLayout kRow;
inline constexpr std::size_t kRowSize = kRow.size();
inline constexpr std::size_t kPatternSize = kPatternHead.size() + kPatternRows * kRowSize;

// Cell values. Notes 1 to 12 are C to B (notes.h); the fine pitch of a row
// that bends nothing is kNeutralFinePitch (tracker_pitch.h). Every note row
// names instrument 0: an empty slot that the user fills in the tracker,
// unless the module defines the one instrument above.
inline constexpr int kNoNote = 0;
inline constexpr int kFirstInstrument = kInstrumentIndex;
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

inline constexpr Block kParams{"PARAMS", 6, kParamsData.size()};
inline constexpr Block kInfo{"INFO", 1, kInfoData.size()};
inline constexpr Block kHeader{"HEADER", 3, kHeaderData.size()};
inline constexpr Block kInstruments{"INSTRUMENTS", 5, kInstrumentCount.end()};
inline constexpr Block kInstrumentsWithOne{"INSTRUMENTS", 5, kInstrumentCount.end() + kInstrument.size()};
inline constexpr Block kSequences{"SEQUENCES", 6, kSequenceCount.end()};
inline constexpr Block kDpcmSamples{"DPCM SAMPLES", 1, kSampleCount.end()};
inline constexpr std::string_view kEndMarker = "END";

// What a module holds beyond the default: how many patterns of the first
// pulse channel (1 to kMaxPatterns, one frame each) and whether it defines
// the instrument.
struct ModuleShape {
  std::uint32_t patterns = 1;
  bool instrument = false;
};

// The patterns that hold `lines` lines (at most kMaxLinesWithEnd) and the
// row after them that ends the song, 256 rows to a pattern.
constexpr std::uint32_t patterns_with_end(std::uint32_t lines) { return lines / kPatternRows + 1; }

constexpr Block instruments_block(const ModuleShape& shape) {
  return shape.instrument ? kInstrumentsWithOne : kInstruments;
}
constexpr Block frames_block(const ModuleShape& shape) {
  return {"FRAMES", 3, static_cast<std::uint32_t>(kFramesHead.size() + shape.patterns * kFrameSize)};
}
constexpr Block patterns_block(const ModuleShape& shape) {
  return {"PATTERNS", 5, static_cast<std::uint32_t>(shape.patterns * kPatternSize)};
}

static_assert(kSongName.size() < kSongNameSize);
static_assert(kDpcmSamples.name.size() <= kBlockHead.name.size &&
              kInstruments.name.size() <= kBlockHead.name.size);

// The sizes the tracker's format gives.
static_assert(kFileHeader.size() == 22 && kBlockHead.size() == 24);
static_assert(kParams.data_size == 29 && kInfo.data_size == 96 && kHeader.data_size == 20);
static_assert(kInstrument.size() == 223 && kFramesHead.size() == 16);
static_assert(kRowSize == 10 && kPatternSize == 2576);

// Where the INSTRUMENTS block starts; everything before it is the same in
// every module.
inline constexpr std::size_t kInstrumentsOffset =
    kFileHeader.size() + kParams.size() + kInfo.size() + kHeader.size();
// Where the first item of pattern `pattern` starts.
constexpr std::size_t pattern_items_offset(const ModuleShape& shape, std::uint32_t pattern) {
  return kInstrumentsOffset + instruments_block(shape).size() + kSequences.size() +
         frames_block(shape).size() + kBlockHead.size() + pattern * kPatternSize + kPatternHead.size();
}
// Everything after the last pattern item.
inline constexpr std::size_t kTailSize = kDpcmSamples.size() + kEndMarker.size();
constexpr std::size_t module_size(const ModuleShape& shape) {
  return pattern_items_offset(shape, shape.patterns) - kPatternHead.size() + kTailSize;
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
// With the end: one more pattern only when the last line is on row 255.
static_assert(patterns_with_end(0) == 1 && patterns_with_end(255) == 1 &&
              patterns_with_end(256) == 2 && patterns_with_end(kMaxLinesWithEnd) == kMaxPatterns);
static_assert(module_size({patterns_with_end(4), true}) == 3191 &&
              module_size({patterns_with_end(256), true}) == 5772 &&
              module_size({patterns_with_end(257), true}) == 5772 &&
              module_size({patterns_with_end(512), true}) == 8353 &&
              module_size({patterns_with_end(1200), true}) == 13515);

}  // namespace zentrill::module_format

#endif  // ZENTRILL_MODULE_MODULE_FORMAT_H_
