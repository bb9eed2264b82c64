#include "module/module_writer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "module/module_format.h"
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

// One record of the module, its fields placed at their offsets; the bytes
// no field covers stay zero.
template <std::size_t kSize>
class Record {
 public:
  // The value's low bytes, little-endian, filling the field.
  void put(const Field& field, std::int64_t value) {
    const auto bits = static_cast<std::uint64_t>(value);
    for (std::size_t i = 0; i < field.size; ++i) {
      bytes_[field.offset + i] = static_cast<char>(static_cast<std::uint8_t>(bits >> (8 * i)));
    }
  }
  // The text, filled up with zero bytes to the field's size (the layouts
  // make every text fit).
  void put_text(const Field& field, std::string_view text) {
    text.copy(bytes_.data() + field.offset, field.size);
  }
  std::string_view bytes() const { return {bytes_.data(), bytes_.size()}; }

 private:
  static_assert(kSize > 0);
  std::array<char, kSize> bytes_{};
};

template <std::size_t kSize>
void append(std::string& bytes, const Record<kSize>& record) {
  bytes += record.bytes();
}

void append_block_head(std::string& bytes, const Block& block) {
  Record<kBlockHead.size()> head;
  head.put_text(kBlockHead.name, block.name);
  head.put(kBlockHead.version, block.version);
  head.put(kBlockHead.data_size, block.data_size);
  append(bytes, head);
}

// The file header, the blocks before PATTERNS and the head of the PATTERNS
// block, for a module of this shape.
std::string module_head(const ModuleShape& shape) {
  std::string head;
  Record<kFileHeader.size()> file_header;
  file_header.put_text(kFileHeader.magic, kMagic);
  file_header.put(kFileHeader.version, kFormatVersion);
  append(head, file_header);

  append_block_head(head, kParams);
  Record<kParams.data_size> params;
  params.put(kParamsData.expansion_chip, kNoExpansionChip);
  params.put(kParamsData.channels, kChannelCount);
  params.put(kParamsData.machine, kNtsc);
  params.put(kParamsData.engine_speed, kDefaultEngineSpeed);
  params.put(kParamsData.vibrato_style, kVibratoStyle);
  params.put(kParamsData.first_highlight, kFirstHighlight);
  params.put(kParamsData.second_highlight, kSecondHighlight);
  params.put(kParamsData.speed_tempo_split, kSpeedTempoSplit);
  append(head, params);

  append_block_head(head, kInfo);
  append(head, Record<kInfo.data_size>{});  // no title, author or copyright

  append_block_head(head, kHeader);
  Record<kHeader.data_size> header;
  header.put(kHeaderData.extra_songs, 0);  // one song
  header.put_text(kHeaderData.song_name, kSongName);
  for (std::uint32_t channel = 0; channel < kChannelCount; ++channel) {
    // Channel types 0 to 4 are pulse 1, pulse 2, triangle, noise, DPCM.
    header.put(kChannel.type.in_record(kHeaderData.channels.offset, channel, kChannel.size()), channel);
    header.put(kChannel.extra_effect_columns.in_record(kHeaderData.channels.offset, channel,
                                                       kChannel.size()),
               0);  // one effect column
  }
  append(head, header);

  append_block_head(head, instruments_block(shape));
  Record<kInstrumentCount.end()> instrument_count;
  instrument_count.put(kInstrumentCount, shape.instrument ? 1 : 0);
  append(head, instrument_count);
  if (shape.instrument) {
    Record<kInstrument.size()> instrument;
    instrument.put(kInstrument.index, kInstrumentIndex);
    instrument.put(kInstrument.type, k2A03Instrument);
    instrument.put(kInstrument.sequence_count, kSequenceKinds);
    instrument.put_text(kInstrument.sequences, "");     // none enabled
    instrument.put_text(kInstrument.dpcm_key_map, "");  // no sample on any key
    instrument.put(kInstrument.name_length, static_cast<std::int64_t>(kInstrumentName.size()));
    instrument.put_text(kInstrument.name, kInstrumentName);
    append(head, instrument);
  }
  append_block_head(head, kSequences);
  Record<kSequences.data_size> sequences;
  sequences.put(kSequenceCount, 0);
  append(head, sequences);

  append_block_head(head, frames_block(shape));
  Record<kFramesHead.size()> frames_head;
  frames_head.put(kFramesHead.frames, shape.patterns);
  frames_head.put(kFramesHead.speed, kSpeed);
  frames_head.put(kFramesHead.tempo, kTempo);
  frames_head.put(kFramesHead.pattern_rows, kPatternRows);
  append(head, frames_head);
  // Frame k plays pattern k on the first pulse channel, pattern 0 elsewhere.
  for (std::uint32_t frame = 0; frame < shape.patterns; ++frame) {
    Record<kFrameSize> patterns;
    for (std::uint32_t channel = 0; channel < kChannelCount; ++channel) {
      patterns.put(frame_pattern(channel), channel == 0 ? frame : 0);
    }
    append(head, patterns);
  }

  append_block_head(head, patterns_block(shape));
  return head;
}

std::string pattern_head(std::uint32_t pattern) {
  Record<kPatternHead.size()> head;
  head.put(kPatternHead.song, 0);
  head.put(kPatternHead.channel, 0);  // pulse 1
  head.put(kPatternHead.pattern, pattern);
  head.put(kPatternHead.items, kPatternRows);
  return std::string(head.bytes());
}

std::string pattern_item(std::uint32_t row, int note, int octave, int instrument, int effect,
                         int parameter) {
  Record<kRowSize> item;
  item.put(kRow.index, row);
  item.put(kRow.note, note);
  item.put(kRow.octave, octave);
  item.put(kRow.instrument, instrument);
  item.put(kRow.volume, kNoVolume);
  item.put(kRow.effect_command, effect);
  item.put(kRow.effect_parameter, parameter);
  return std::string(item.bytes());
}

std::string note_row(std::uint32_t row, int note, int octave, int parameter) {
  return pattern_item(row, note, octave, kFirstInstrument, kFinePitchEffect, parameter);
}
// A row without a note: the note before sounds on at this fine pitch.
std::string fine_pitch_row(std::uint32_t row, int parameter) {
  return pattern_item(row, kNoNote, 0, kNoInstrument, kFinePitchEffect, parameter);
}
std::string end_row(std::uint32_t row) {
  return pattern_item(row, kNoteCut, 0, kNoInstrument, kHaltEffect, kHaltParameter);
}

std::string tail() {
  std::string tail;
  append_block_head(tail, kDpcmSamples);
  Record<kDpcmSamples.data_size> samples;
  samples.put(kSampleCount, 0);
  append(tail, samples);
  tail += kEndMarker;  // no block head, no terminator
  return tail;
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

}  // namespace

std::uint64_t write_module(FileSlots& slots, const ModuleOptions& options) {
  // FRAMES and PATTERNS come before the rows and their sizes depend on the
  // count of lines, so that count takes a reading pass of its own.
  const std::uint64_t lines = options.all_rows ? count_pitch_list_lines(slots) : 0;
  // The lines that become rows: those of the one pattern, or the whole list
  // up to the most a module that ends the song can hold.
  const std::uint32_t lines_held =
      options.all_rows ? static_cast<std::uint32_t>(std::min<std::uint64_t>(lines, kMaxLinesWithEnd))
                       : kLinesWithoutAllRows;
  const ModuleShape shape{options.all_rows ? patterns_with_end(lines_held) : 1, options.instrument};

  phase_files::open_slot_file(slots, phase_files::kPitchListRead);
  phase_files::open_slot_file(slots, phase_files::kModuleWritten);
  slots.print(kModuleSlot, module_head(shape));

  // The line state, carried from one pattern to the next. A character that
  // is not recognised keeps the value of the line before; the octave alone is
  // taken afresh from every line, 0 when it is not a digit.
  int note = kNoNote;
  int octave = 0;
  int high_digit = 0;
  int low_digit = 0;
  int previous_note = kNoNote;
  int previous_octave = 0;
  std::uint32_t lines_placed = 0;
  bool song_ended = false;
  for (std::uint32_t pattern = 0; pattern < shape.patterns; ++pattern) {
    slots.print(kModuleSlot, pattern_head(pattern));
    std::uint32_t row = 0;
    // Lines after those held are never read.
    while (row < kPatternRows && lines_placed < lines_held && !slots.at_end(kPitchListSlot)) {
      const std::string line = slots.read_text_item(kPitchListSlot);
      const PitchListLine fields = read_pitch_list_line(line);
      note = fields.note.value_or(note);
      // A sharp raises the note kept from the line before as well.
      if (fields.sharp.value_or(false)) note = sharpened(note);
      octave = fields.octave.value_or(0);
      high_digit = fields.high_digit.value_or(high_digit);
      low_digit = fields.low_digit.value_or(low_digit);
      const int parameter = 16 * high_digit + low_digit;

      // Every frame after the first starts its own note, so that it can be
      // played or copied alone.
      const bool starts_frame = pattern > 0 && row == 0;
      if (note == previous_note && octave == previous_octave && !starts_frame) {
        // The note sounds on; only the fine pitch changes.
        slots.print(kModuleSlot, fine_pitch_row(row, parameter));
      } else {
        slots.print(kModuleSlot, note_row(row, note, octave, parameter));
      }
      ++row;
      ++lines_placed;
      previous_note = note;
      previous_octave = octave;
    }
    // With the whole list, the song stops on the row after the last line
    // (the halt acts before its row plays): the module plays the list once,
    // with no filler row heard and no loop.
    if (options.all_rows && !song_ended && row < kPatternRows) {
      slots.print(kModuleSlot, end_row(row));
      ++row;
      song_ended = true;
    }
    for (; row < kPatternRows; ++row) slots.print(kModuleSlot, fine_pitch_row(row, kNeutralFinePitch));
  }

  slots.print(kModuleSlot, tail());
  slots.close(kPitchListSlot);
  slots.close(kModuleSlot);
  return lines > kMaxLinesWithEnd ? lines - kMaxLinesWithEnd : 0;
}

std::string lines_left_out_message(std::uint64_t lines,
                                   std::span<const std::string_view> files_cut_short) {
  using namespace phase_files;
  const std::string pitch_list(kPitchListName);
  const std::string first_left_out = std::to_string(kMaxLinesWithEnd + 1);
  const std::string files = listed(files_cut_short);
  // The limit is the module's; the other files hold the rows it holds.
  const std::string limit =
      (files_cut_short.size() == 1 ? "which holds" : "as " + std::string(kModuleName) + " holds") +
      " at most " + std::to_string(kMaxLinesWithEnd) + " lines and the row that ends the song";
  if (lines == 1) {
    return "zentrill: 1 line of " + pitch_list + ", line " + first_left_out +
           ", was left out of " + files + ", " + limit + "; " + pitch_list + " keeps it";
  }
  return "zentrill: " + std::to_string(lines) + " lines of " + pitch_list + ", lines " +
         first_left_out + " on, were left out of " + files + ", " + limit + "; " + pitch_list +
         " keeps them all";
}

}  // namespace zentrill
