// Phase 3 over an arbitrary pitch list: the input is the whole of pxx.txt,
// written with each of the four combinations of the options. Checked for
// every run:
//   - the module holds N patterns: 1 without all rows, else one per 256
//     lines held (at most 32767) and the row after them, rounded up (1 to
//     128), and is 2968 + 2581 (N - 1) bytes, 223 more with the instrument;
//   - the blocks before INSTRUMENTS and SEQUENCES are those of every module;
//     INSTRUMENTS is the empty block, or with the instrument always the same
//     251 bytes; FRAMES plays pattern k on the first channel in frame k;
//     each pattern's head names it and 256 items with the row indices 0 to
//     255 in order; then the fixed tail;
//   - every item is a note row (note 0-12, octave 0-9, instrument 0), a
//     continuation row or a filler row (no note, no instrument), always with
//     an empty volume and the fine-pitch effect, or with all rows the one
//     row after the last line (a note cut and the halt effect);
//   - the items are exactly those the line rules give for the first 256
//     lines of the list, or with all rows its first 32767 and the end,
//     row 0 of every pattern after the first a note row, worked out here on
//     the side;
//   - the count of lines left out is 0 without all rows, else those after
//     the 32767th;
//   - both files are closed afterwards, and neither was opened while open;
//   - on a disk that fills up, pxx.ftm holds exactly the bytes that fitted
//     and the failure is reported.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "memory_file_system.h"
#include "module/module_format.h"
#include "module/module_writer.h"
#include "textio/file_slots.h"
#include "textio/file_system.h"
#include "vocabulary/tracker_pitch.h"

namespace zentrill {
namespace {

using test_support::MemoryFileSystem;

using namespace module_format;

constexpr int kPitchListSlot = 1;

// DPCM SAMPLES, version 1, one data byte (no samples), then END.
constexpr std::string_view kTail{
    "DPCM SAMPLES\0\0\0\0"
    "\x01\0\0\0"
    "\x01\0\0\0"
    "\0"
    "END",
    28};

struct Run {
  std::string module;
  std::uint64_t lines_left_out = 0;
  bool write_failed = false;
  bool slots_closed = false;
};

Run write(const std::string& pitch_list, const ModuleOptions& options, std::size_t capacity) {
  MemoryFileSystem files;
  files.files["pxx.txt"] = pitch_list;
  files.capacity = capacity;
  FileSlots slots(files);
  Run run;
  try {
    run.lines_left_out = write_module(slots, options);
  } catch (const FileError&) {
    run.write_failed = true;
  }
  run.module = files.files["pxx.ftm"];
  run.slots_closed = files.open_files() == 0 && files.opens_while_open == 0;
  return run;
}

// Every text item of the list: the lines.
std::vector<std::string> lines_of(const std::string& pitch_list) {
  MemoryFileSystem files;
  files.files["pxx.txt"] = pitch_list;
  FileSlots slots(files);
  slots.open_for_reading(kPitchListSlot, "pxx.txt");
  std::vector<std::string> lines;
  while (!slots.at_end(kPitchListSlot)) lines.push_back(slots.read_text_item(kPitchListSlot));
  return lines;
}

std::string u32_bytes(std::uint32_t value) {
  std::string bytes;
  for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((value >> shift) & 0xFF);
  return bytes;
}

std::string row_bytes(std::uint32_t row, int note, int octave, int instrument, int parameter) {
  std::string bytes = u32_bytes(row);
  for (int field : {note, octave, instrument, kNoVolume, kFinePitchEffect, parameter}) {
    bytes += static_cast<char>(field);
  }
  return bytes;
}

// The data of the PATTERNS block that the lines should give, by the line
// rules: characters 1 and 2 the note (kept when not a capital note letter), 3
// the octave (0 when not a digit), 6 and 7 the hexadecimal digits (each kept
// when not 0-9 or A-F); row 0 of each pattern after the first a note row.
std::string expected_patterns(const std::vector<std::string>& lines, std::uint32_t patterns,
                              bool all_rows) {
  const std::size_t held = all_rows ? std::min<std::size_t>(lines.size(), 32767) : 256;
  bool ended = !all_rows;
  // A zero byte stands for a position past the end; it matches nothing below.
  const auto character = [](const std::string& line, std::size_t position) {
    return position <= line.size() ? line[position - 1] : '\0';
  };
  const std::string_view letters = "C-D-EF-G-A-B";  // note number - 1 of each letter
  const std::string_view digits = "0123456789ABCDEF";
  int note = 0, octave = 0, high = 0, low = 0, previous_note = 0, previous_octave = 0;
  std::string data;
  std::size_t next_line = 0;
  for (std::uint32_t pattern = 0; pattern < patterns; ++pattern) {
    data += u32_bytes(0) + u32_bytes(0) + u32_bytes(pattern) + u32_bytes(kPatternRows);
    std::uint32_t row = 0;
    for (; row < kPatternRows && next_line < std::min(lines.size(), held); ++row) {
      const std::string& line = lines[next_line++];
      const char letter = character(line, 1);
      if (letter != '-' && letters.find(letter) != std::string_view::npos) {
        note = static_cast<int>(letters.find(letter)) + 1;
      }
      if (character(line, 2) == '#' && note < 12) ++note;
      const char octave_digit = character(line, 3);
      octave = octave_digit >= '0' && octave_digit <= '9' ? octave_digit - '0' : 0;
      if (digits.find(character(line, 6)) != std::string_view::npos) {
        high = static_cast<int>(digits.find(character(line, 6)));
      }
      if (digits.find(character(line, 7)) != std::string_view::npos) {
        low = static_cast<int>(digits.find(character(line, 7)));
      }
      const int parameter = 16 * high + low;
      if (note == previous_note && octave == previous_octave && (pattern == 0 || row > 0)) {
        data += row_bytes(row, kNoNote, 0, kNoInstrument, parameter);
      } else {
        data += row_bytes(row, note, octave, kFirstInstrument, parameter);
      }
      previous_note = note;
      previous_octave = octave;
    }
    if (!ended && row < kPatternRows) {
      data += u32_bytes(row) + std::string("\x0E\x00\x40\x10\x04\x00", 6);
      ++row;
      ended = true;
    }
    for (; row < kPatternRows; ++row) {
      data += row_bytes(row, kNoNote, 0, kNoInstrument, kNeutralFinePitch);
    }
  }
  return data;
}

void check_items(std::string_view items) {
  for (std::uint32_t row = 0; row < kPatternRows; ++row) {
    const std::string_view item = items.substr(row * kRowSize, kRowSize);
    const auto byte = [&](std::size_t offset) { return static_cast<unsigned char>(item[offset]); };
    const std::uint32_t index = byte(0) | byte(1) << 8 | byte(2) << 16 | std::uint32_t{byte(3)} << 24;
    ZENTRILL_FUZZ_CHECK(index == row);
    // The cells: note, octave, instrument, volume, effect, parameter.
    const int note = byte(4), octave = byte(5), instrument = byte(6), volume = byte(7), effect = byte(8);
    if (effect == kHaltEffect) {
      ZENTRILL_FUZZ_CHECK(note == kNoteCut && instrument == kNoInstrument);
      continue;
    }
    ZENTRILL_FUZZ_CHECK(note <= 12);
    ZENTRILL_FUZZ_CHECK(octave <= 9);
    ZENTRILL_FUZZ_CHECK(volume == kNoVolume);
    ZENTRILL_FUZZ_CHECK(effect == kFinePitchEffect);
    if (instrument == kNoInstrument) {
      ZENTRILL_FUZZ_CHECK(note == kNoNote && octave == 0);
    } else {
      ZENTRILL_FUZZ_CHECK(instrument == kFirstInstrument);
    }
  }
}

constexpr std::size_t kInstrumentsAt = 239;
constexpr std::size_t kSequencesAt = 267;
constexpr std::size_t kFramesAt = 295;
constexpr std::size_t kInstrumentBlockSize = 251;

// The default module of an empty list, and the instrument block of the
// module with the instrument: the same for every list.
const std::string& empty_list_module() {
  static const std::string module = write("", {}, std::numeric_limits<std::size_t>::max()).module;
  return module;
}
const std::string& instrument_block() {
  static const std::string block = write("", {.instrument = true, .all_rows = false, .voice = {}},
                                         std::numeric_limits<std::size_t>::max())
                                       .module.substr(kInstrumentsAt, kInstrumentBlockSize);
  return block;
}

// The FRAMES block and the head of the PATTERNS block for n patterns.
std::string expected_frames_and_patterns_head(std::uint32_t n) {
  std::string bytes = std::string("FRAMES", 6) + std::string(10, '\0') + u32_bytes(3) +
                      u32_bytes(16 + 5 * n) + u32_bytes(n) + u32_bytes(6) + u32_bytes(150) +
                      u32_bytes(256);
  for (std::uint32_t frame = 0; frame < n; ++frame) {
    bytes += static_cast<char>(frame) + std::string(4, '\0');
  }
  return bytes + std::string("PATTERNS", 8) + std::string(8, '\0') + u32_bytes(5) +
         u32_bytes(2576 * n);
}

void check_module(const std::uint8_t* data, std::size_t size, const ModuleOptions& options) {
  const std::string pitch_list(reinterpret_cast<const char*>(data), size);
  const Run run = write(pitch_list, options, std::numeric_limits<std::size_t>::max());
  ZENTRILL_FUZZ_CHECK(!run.write_failed);
  ZENTRILL_FUZZ_CHECK(run.slots_closed);

  const std::vector<std::string> lines = lines_of(pitch_list);
  const std::uint64_t patterns =
      options.all_rows ? std::min<std::uint64_t>(lines.size(), 32767) / 256 + 1 : 1;
  const std::uint32_t n = static_cast<std::uint32_t>(patterns);
  const std::size_t lines_held = options.all_rows ? 32767 : 256;
  ZENTRILL_FUZZ_CHECK(run.lines_left_out == (lines.size() > lines_held ? lines.size() - lines_held : 0));

  const std::string_view module = run.module;
  const std::size_t instrument_size = options.instrument ? kInstrumentBlockSize : 28;
  ZENTRILL_FUZZ_CHECK(module.size() == 2968 + 2581 * (n - 1) + (options.instrument ? 223 : 0));
  ZENTRILL_FUZZ_CHECK(module.size() == module_size(n, options.instrument));
  const std::string_view plain = empty_list_module();
  ZENTRILL_FUZZ_CHECK(module.starts_with("FamiTracker Module"));
  ZENTRILL_FUZZ_CHECK(module.substr(0, kInstrumentsAt) == plain.substr(0, kInstrumentsAt));
  ZENTRILL_FUZZ_CHECK(module.substr(kInstrumentsAt, instrument_size) ==
                      (options.instrument ? std::string_view(instrument_block())
                                          : plain.substr(kInstrumentsAt, 28)));
  std::string_view rest = module.substr(kInstrumentsAt + instrument_size);
  ZENTRILL_FUZZ_CHECK(rest.substr(0, kFramesAt - kSequencesAt) ==
                      plain.substr(kSequencesAt, kFramesAt - kSequencesAt));
  rest.remove_prefix(kFramesAt - kSequencesAt);
  const std::string heads = expected_frames_and_patterns_head(n);
  ZENTRILL_FUZZ_CHECK(rest.substr(0, heads.size()) == heads);
  rest.remove_prefix(heads.size());
  const std::string pattern_data = expected_patterns(lines, n, options.all_rows);
  for (std::uint32_t pattern = 0; pattern < n; ++pattern) {
    check_items(rest.substr(pattern * kPatternSize + kPatternHeadSize, kPatternRows * kRowSize));
  }
  ZENTRILL_FUZZ_CHECK(rest.substr(0, pattern_data.size()) == pattern_data);
  ZENTRILL_FUZZ_CHECK(rest.substr(pattern_data.size()) == kTail);

  // A disk that fills up part way through the module.
  const std::size_t room = (size > 0 ? data[0] * 31u + data[size - 1] * 7u : 0) % module.size();
  const Run cut = write(pitch_list, options, pitch_list.size() + room);
  ZENTRILL_FUZZ_CHECK(cut.write_failed);
  ZENTRILL_FUZZ_CHECK(cut.module == module.substr(0, room));
}

}  // namespace
}  // namespace zentrill

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using zentrill::ModuleOptions;
  for (const ModuleOptions options : {ModuleOptions{}, ModuleOptions{true, false, {}},
                                      ModuleOptions{false, true, {}}, ModuleOptions{true, true, {}}}) {
    zentrill::check_module(data, size, options);
  }
  return 0;
}
