#include "module/module_writer.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "driver/phase_files.h"
#include "module/module_format.h"
#include "pitch/pitch_list_format.h"
#include "textio/number_form.h"
#include "textio/text_ops.h"

namespace zentrill {
namespace {

using namespace module_format;
using namespace pitch_list_format;

constexpr int kPitchListSlot = phase_files::kPitchListRead.slot;
constexpr int kModuleSlot = phase_files::kModuleWritten.slot;

constexpr int kHighestNote = 12;  // B

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

// The file header, the fixed blocks and the head of the PATTERNS block.
std::string fixed_head() {
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

  head.block_head(kInstruments);
  head.u32(0);
  head.block_head(kSequences);
  head.u32(0);

  head.block_head(kFrames);
  head.u32(kFrameCount);
  head.u32(kSpeed);
  head.u32(kTempo);
  head.u32(kPatternRows);
  for (std::uint32_t channel = 0; channel < kChannelCount; ++channel) head.u8(0);

  head.block_head(kPatterns);
  head.u32(0);  // song
  head.u32(0);  // channel: pulse 1
  head.u32(0);  // pattern number
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
// short); anything not in the table, lower case included, gives nullopt.
std::optional<int> note_number(std::string_view character) {
  static constexpr struct {
    char letter;
    int note;
  } kLetters[] = {{'C', 1}, {'D', 3}, {'E', 5}, {'F', 6}, {'G', 8}, {'A', 10}, {'B', 12}};
  if (character.size() != 1) return std::nullopt;
  for (const auto& entry : kLetters) {
    if (entry.letter == character[0]) return entry.note;
  }
  return std::nullopt;
}

std::optional<int> hexadecimal_digit(std::string_view character) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  if (character.size() != 1) return std::nullopt;
  const std::size_t value = kDigits.find(character[0]);
  if (value == std::string_view::npos) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace

void write_module(FileSlots& slots) {
  phase_files::open_slot_file(slots, phase_files::kPitchListRead);
  phase_files::open_slot_file(slots, phase_files::kModuleWritten);
  slots.print(kModuleSlot, fixed_head());

  // The line state. A character that is not recognised keeps the value of
  // the line before; the octave alone is taken afresh from every line.
  int note = kNoNote;
  int octave = 0;
  int high_digit = 0;
  int low_digit = 0;
  int previous_note = kNoNote;
  int previous_octave = 0;
  std::uint32_t row = 0;
  // Lines after the 256th are never read.
  while (row < kPatternRows && !slots.at_end(kPitchListSlot)) {
    const std::string line = slots.read_text_item(kPitchListSlot);
    note = note_number(substring(line, kNoteLetterColumn, 1)).value_or(note);
    // B# stays B.
    if (substring(line, kAccidentalColumn, 1) == kSharp && note < kHighestNote) ++note;
    octave = to_int32(numeric_value(substring(line, kOctaveColumn, 1)));
    high_digit = hexadecimal_digit(substring(line, kHighDigitColumn, 1)).value_or(high_digit);
    low_digit = hexadecimal_digit(substring(line, kLowDigitColumn, 1)).value_or(low_digit);
    const int parameter = 16 * high_digit + low_digit;

    if (note == previous_note && octave == previous_octave) {
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

  slots.print(kModuleSlot, tail());
  slots.close(kPitchListSlot);
  slots.close(kModuleSlot);
}

}  // namespace zentrill
