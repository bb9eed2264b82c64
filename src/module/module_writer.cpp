#include "module/module_writer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "module/module_format.h"
#include "vocabulary/notes.h"
#include "vocabulary/phase_files.h"
#include "vocabulary/pitch_list_format.h"
#include "vocabulary/tracker_pitch.h"
#include "vocabulary/tracker_song.h"
#include "vocabulary/voice.h"
#include "vocabulary/program_message.h"

namespace zentrill {
namespace {

using namespace module_format;
using namespace pitch_list_format;

constexpr int kPitchListSlot = phase_files::kPitchListRead.slot;
constexpr int kModuleSlot = phase_files::kModuleWritten.slot;

// Appenders of the module's fields, little-endian.
void put_u8(std::string& bytes, std::uint32_t value) { bytes += static_cast<char>(value & 0xFF); }

void put_u32(std::string& bytes, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) put_u8(bytes, value >> shift);
}

// The text, filled up with zero bytes to `size`.
void put_text(std::string& bytes, std::string_view text, std::size_t size) {
  bytes += text;
  bytes.append(size - text.size(), '\0');
}

void put_block_head(std::string& bytes, std::string_view name, std::uint32_t version,
                    std::uint32_t data_size) {
  put_text(bytes, name, kBlockNameSize);
  put_u32(bytes, version);
  put_u32(bytes, data_size);
}

constexpr std::string_view kInstrumentName = "Zentrill";

// The file header, the blocks before PATTERNS and the head of the PATTERNS
// block, for a module of `patterns` frames and patterns (module_format.h).
std::string module_head(std::uint32_t patterns, const ModuleOptions& options) {
  const Voice& voice = options.voice;
  const MachineFacts machine = machine_facts(voice.machine);
  std::string head = "FamiTracker Module";
  put_u32(head, 0x430);

  put_block_head(head, "PARAMS", 6, kParamsDataSize);
  put_u8(head, 0);  // no expansion chip
  put_u32(head, kChannelCount);
  put_u32(head, machine.module_code);
  put_u32(head, 0);  // the engine runs at the machine's frame rate
  put_u32(head, 1);  // vibrato style
  put_u32(head, 4);  // first and second row highlight
  put_u32(head, 16);
  put_u32(head, 32);  // values of the speed effect from here on set the tempo

  put_block_head(head, "INFO", 1, kInfoDataSize);
  head.append(kInfoDataSize, '\0');  // no title, author or copyright

  put_block_head(head, "HEADER", 3, kHeaderDataSize);
  put_u8(head, 0);  // one song
  put_text(head, "New song", 9);
  for (std::uint32_t channel = 0; channel < kChannelCount; ++channel) {
    put_u8(head, channel);  // its type: pulse 1, pulse 2, triangle, noise, DPCM
    put_u8(head, 0);        // one effect column
  }

  put_block_head(head, "INSTRUMENTS", 5, instruments_data_size(options.instrument));
  put_u32(head, options.instrument ? 1 : 0);
  if (options.instrument) {
    // A 2A03 instrument, index 0, with no sequence enabled: the tracker plays
    // it at constant volume 15 and duty 12.5%, and no sample on any key.
    put_u32(head, kFirstInstrument);
    put_u8(head, 1);
    put_u32(head, 5);
    head.append(5 * 2 + 8 * kNotesPerOctave * 2, '\0');
    put_u32(head, static_cast<std::uint32_t>(kInstrumentName.size()));
    head += kInstrumentName;
  }

  put_block_head(head, "SEQUENCES", 6, kSequencesDataSize);
  put_u32(head, 0);

  put_block_head(head, "FRAMES", 3, frames_data_size(patterns));
  put_u32(head, patterns);
  put_u32(head, static_cast<std::uint32_t>(voice.speed));
  put_u32(head, machine.tempo);
  put_u32(head, kPatternRows);
  // Frame k plays pattern k on the voice's channel, pattern 0 elsewhere.
  for (std::uint32_t frame = 0; frame < patterns; ++frame) {
    for (std::uint32_t channel = 0; channel < kChannelCount; ++channel) {
      put_u8(head, channel == static_cast<std::uint32_t>(voice.channel) ? frame : 0);
    }
  }

  put_block_head(head, "PATTERNS", 5, patterns_data_size(patterns));
  return head;
}

std::string pattern_head(std::uint32_t pattern, Channel channel) {
  std::string head;
  put_u32(head, 0);  // song
  put_u32(head, static_cast<std::uint32_t>(channel));
  put_u32(head, pattern);
  put_u32(head, kPatternRows);
  return head;
}

std::string pattern_item(std::uint32_t row, int note, int octave, int instrument, int effect,
                         int parameter) {
  std::string item;
  put_u32(item, row);
  for (const int cell : {note, octave, instrument, kNoVolume, effect, parameter}) {
    put_u8(item, static_cast<std::uint32_t>(cell));
  }
  return item;
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
  put_block_head(tail, "DPCM SAMPLES", 1, kDpcmSamplesDataSize);
  put_u8(tail, 0);  // no samples
  tail += "END";    // no block head, no terminator
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
  const std::uint32_t patterns = options.all_rows ? patterns_with_end(lines_held) : 1;

  phase_files::open_slot_file(slots, phase_files::kPitchListRead);
  phase_files::open_slot_file(slots, phase_files::kModuleWritten);
  slots.print(kModuleSlot, module_head(patterns, options));

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
  for (std::uint32_t pattern = 0; pattern < patterns; ++pattern) {
    slots.print(kModuleSlot, pattern_head(pattern, options.voice.channel));
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
  std::uint64_t left_out = lines > kMaxLinesWithEnd ? lines - kMaxLinesWithEnd : 0;
  // Without all_rows, the lines after the one pattern are counted only now.
  if (!options.all_rows) {
    for (; !slots.at_end(kPitchListSlot); ++left_out) slots.read_text_item(kPitchListSlot);
  }
  slots.close(kPitchListSlot);
  slots.close(kModuleSlot);
  return left_out;
}

std::string lines_left_out_message(std::uint64_t lines, std::span<const std::string_view> files_cut_short,
                                   bool all_rows) {
  using namespace phase_files;
  const std::string pitch_list(kPitchListName);
  const std::string files = listed(files_cut_short);
  if (!all_rows) {
    // One pattern: the option that keeps the rest is named.
    const std::string first = std::to_string(kLinesWithoutAllRows + 1);
    const std::string last = std::to_string(kLinesWithoutAllRows + lines);
    const std::string which = lines == 1 ? "line " + first + " of " + pitch_list + " was"
                                         : "lines " + first + " to " + last + " of " + pitch_list + " were";
    return program_message(which + " left out of " + files + ", which " +
                           (files_cut_short.size() == 1 ? "holds" : "hold") + " the first " +
                           std::to_string(kLinesWithoutAllRows) + " lines without -a; -a keeps " +
                           (lines == 1 ? "it" : "them"));
  }
  const std::string first_left_out = std::to_string(kMaxLinesWithEnd + 1);
  // The limit is the module's; the other files hold the rows it holds.
  const std::string limit =
      (files_cut_short.size() == 1 ? "which holds" : "as " + std::string(kModuleName) + " holds") +
      " at most " + std::to_string(kMaxLinesWithEnd) + " lines and the row that ends the song";
  if (lines == 1) {
    return program_message("1 line of " + pitch_list + ", line " + first_left_out + ", was left out of " + files +
                           ", " + limit + "; " + pitch_list + " keeps it");
  }
  return program_message(std::to_string(lines) + " lines of " + pitch_list + ", lines " + first_left_out +
                         " on, were left out of " + files + ", " + limit + "; " + pitch_list + " keeps them all");
}

}  // namespace zentrill
