#include "module/module_writer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "module/module_format.h"
#include "textio/number_form.h"
#include "textio/text_ops.h"
#include "vocabulary/notes.h"
#include "vocabulary/phase_files.h"
#include "vocabulary/pitch_list_format.h"
#include "vocabulary/tracker_pitch.h"

namespace zentrill {
namespace {

using namespace module_format;
using namespace pitch_list_format;

constexpr int kPitchListSlot = phase_files::kPitchListRead.slot;
constexpr int kModuleSlot = phase_files::kModuleWritten.slot;

// The bytes of a piece of the module, appended field by field.
class ModuleBytes {
 public:
  void u8(std::int64_t value) { bytes_ += byte_text(value); }
  void u32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) u8((value >> shift) & 0xFF);
  }
  // The text, filled up with zero bytes to `width` (never cut).
  void text(std::string_view text, std::size_t width) {
    bytes_ += text;
    bytes_.append(width - text.size(), '\0');
  }
  void block_head(const Block& block) {
    text(block.name, kBlockNameSize);
    u32(block.version);
    u32(block.data_size);
  }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// The file header, the blocks before PATTERNS and the head of the PATTERNS
// block, for a module of this shape.
std::string module_head(const ModuleShape& shape) {
  ModuleBytes head;
  head.text(kMagic, kMagic.size());
  head.u32(kFormatVersion);

  head.block_head(kParams);
  head.u8(kNoExpansionChip);
  head.u32(kChannelCount);
  head.u32(kNtsc);
  head.u32(kDefaultEngineSpeed);
  head.u32(kVibratoStyle);
  head.u32(kFirstHighlight);
  head.u32(kSecondHighlight);
  head.u32(kSpeedTempoSplit);

  head.block_head(kInfo);
  head.text("", kInfo.data_size);  // no title, author or copyright

  head.block_head(kHeader);
  head.u8(0);  // one song
  head.text(kSongName, kSongNameSize);
  for (std::uint32_t channel = 0; channel < kChannelCount; ++channel) {
    head.u8(channel);  // channel type: pulse 1, pulse 2, triangle, noise, DPCM
    head.u8(0);        // one effect column
  }

  head.block_head(instruments_block(shape));
  if (shape.instrument) {
    head.u32(1);  // one instrument
    head.u32(kInstrumentIndex);
    head.u8(k2A03Instrument);
    head.u32(kSequenceKinds);
    head.text("", kSequenceKinds * kSequenceReferenceSize);  // none enabled
    head.text("", kDpcmKeyMapSize);                           // no sample on any key
    head.u32(kInstrumentName.size());
    head.text(kInstrumentName, kInstrumentName.size());
  } else {
    head.u32(0);
  }
  head.block_head(kSequences);
  head.u32(0);

  head.block_head(frames_block(shape));
  head.u32(shape.patterns);  // frames
  head.u32(kSpeed);
  head.u32(kTempo);
  head.u32(kPatternRows);
  // Frame k plays pattern k on the first pulse channel, pattern 0 elsewhere.
  for (std::uint32_t frame = 0; frame < shape.patterns; ++frame) {
    head.u8(frame);
    for (std::uint32_t channel = 1; channel < kChannelCount; ++channel) head.u8(0);
  }

  head.block_head(patterns_block(shape));
  return head.bytes();
}

std::string pattern_head(std::uint32_t pattern) {
  ModuleBytes head;
  head.u32(0);  // song
  head.u32(0);  // channel: pulse 1
  head.u32(pattern);
  head.u32(kPatternRows);
  return head.bytes();
}

std::string pattern_item(std::uint32_t row, int note, int octave, int instrument,
                         int parameter) {
  ModuleBytes item;
  item.u32(row);
  item.u8(note);
  item.u8(octave);
  item.u8(instrument);
  item.u8(kNoVolume);
  item.u8(kFinePitchEffect);
  item.u8(parameter);
  return item.bytes();
}

std::string tail() {
  ModuleBytes tail;
  tail.block_head(kDpcmSamples);
  tail.u8(0);  // no samples
  tail.text(kEndMarker, kEndMarker.size());
  return tail.bytes();
}

// Lookups of one character of a line (an empty text when the line is too
// short); anything else, lower case included, gives nullopt.
std::optional<int> note_number(std::string_view character) {
  if (character.size() != 1) return std::nullopt;
  const std::optional<int> semitone = natural_semitone(character[0]);
  if (!semitone) return std::nullopt;
  return tracker_note_number(*semitone);
}

std::optional<int> hexadecimal_digit(std::string_view character) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  if (character.size() != 1) return std::nullopt;
  const std::size_t value = kDigits.find(character[0]);
  if (value == std::string_view::npos) return std::nullopt;
  return static_cast<int>(value);
}

// The number of lines of the pitch list, read through once in the module
// writer's input slot, which is free again afterwards.
std::uint64_t count_pitch_list_lines(FileSlots& slots) {
  phase_files::open_slot_file(slots, phase_files::kPitchListRead);
  std::uint64_t lines = 0;
  for (; !slots.at_end(kPitchListSlot); ++lines) slots.read_text_item(kPitchListSlot);
  slots.close(kPitchListSlot);
  return lines;
}

// One pattern per 256 lines, rounded up: at least one, at most kMaxPatterns.
std::uint32_t patterns_for(std::uint64_t lines) {
  const std::uint64_t patterns = (lines + kPatternRows - 1) / kPatternRows;
  return static_cast<std::uint32_t>(std::clamp<std::uint64_t>(patterns, 1, kMaxPatterns));
}

}  // namespace

std::uint64_t write_module(FileSlots& slots, const ModuleOptions& options) {
  // FRAMES and PATTERNS come before the rows and their sizes depend on the
  // count of lines, so that count takes a reading pass of its own.
  const std::uint64_t lines = options.all_rows ? count_pitch_list_lines(slots) : 0;
  const ModuleShape shape{patterns_for(lines), options.instrument};

  phase_files::open_slot_file(slots, phase_files::kPitchListRead);
  phase_files::open_slot_file(slots, phase_files::kModuleWritten);
  slots.print(kModuleSlot, module_head(shape));

  // The line state, carried from one pattern to the next. A character that
  // is not recognised keeps the value of the line before; the octave alone is
  // taken afresh from every line.
  int note = kNoNote;
  int octave = 0;
  int high_digit = 0;
  int low_digit = 0;
  int previous_note = kNoNote;
  int previous_octave = 0;
  for (std::uint32_t pattern = 0; pattern < shape.patterns; ++pattern) {
    slots.print(kModuleSlot, pattern_head(pattern));
    std::uint32_t row = 0;
    // Lines after the last pattern's are never read.
    while (row < kPatternRows && !slots.at_end(kPitchListSlot)) {
      const std::string line = slots.read_text_item(kPitchListSlot);
      note = note_number(substring(line, kNoteLetterColumn, 1)).value_or(note);
      // B# stays B.
      if (substring(line, kAccidentalColumn, 1) == kSharp && note < kHighestTrackerNote) ++note;
      octave = to_int32(numeric_value(substring(line, kOctaveColumn, 1)));
      high_digit = hexadecimal_digit(substring(line, kHighDigitColumn, 1)).value_or(high_digit);
      low_digit = hexadecimal_digit(substring(line, kLowDigitColumn, 1)).value_or(low_digit);
      const int parameter = 16 * high_digit + low_digit;

      // Every frame after the first starts its own note, so that it can be
      // played or copied alone.
      const bool starts_frame = pattern > 0 && row == 0;
      if (note == previous_note && octave == previous_octave && !starts_frame) {
        // The note sounds on; only the fine pitch changes.
        slots.print(kModuleSlot, pattern_item(row, kNoNote, 0, kNoInstrument, parameter));
      } else {
        slots.print(kModuleSlot, pattern_item(row, note, octave, kFirstInstrument, parameter));
      }
      ++row;
      previous_note = note;
      previous_octave = octave;
    }
    for (; row < kPatternRows; ++row) {
      slots.print(kModuleSlot, pattern_item(row, kNoNote, 0, kNoInstrument, kNeutralFinePitch));
    }
  }

  slots.print(kModuleSlot, tail());
  slots.close(kPitchListSlot);
  slots.close(kModuleSlot);
  return lines > kMaxRows ? lines - kMaxRows : 0;
}

std::string lines_left_out_message(std::uint64_t lines) {
  using namespace phase_files;
  const std::string pitch_list(kPitchListName);
  const std::string first_left_out = std::to_string(kMaxRows + 1);
  const std::string limit = "which holds at most " + std::to_string(kMaxPatterns) +
                            " patterns of " + std::to_string(kPatternRows) + " rows";
  if (lines == 1) {
    return "zentrill: 1 line of " + pitch_list + ", line " + first_left_out +
           ", was left out of " + std::string(kModuleName) + ", " + limit + "; " + pitch_list +
           " keeps it";
  }
  return "zentrill: " + std::to_string(lines) + " lines of " + pitch_list + ", lines " +
         first_left_out + " on, were left out of " + std::string(kModuleName) + ", " + limit +
         "; " + pitch_list + " keeps them all";
}

}  // namespace zentrill
