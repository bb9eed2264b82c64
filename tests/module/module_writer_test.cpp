#include "module/module_writer.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "memory_file_system.h"
#include "module/module_format.h"
#include "textio/file_system.h"
#include "vocabulary/phase_files.h"
#include "vocabulary/tracker_pitch.h"

namespace zentrill {
namespace {

using test_support::MemoryFileSystem;

using namespace module_format;

constexpr std::size_t kFixedHeadSize = 380;
constexpr std::size_t kModuleSize = 2968;
constexpr ModuleOptions kAllRows{.instrument = false, .all_rows = true, .voice = {}};

// How many patterns a module holds, and whether it has the instrument.
struct ModuleShape {
  std::uint32_t patterns = 1;
  bool instrument = false;
};

// Bytes from hexadecimal pairs separated by blanks: "0A 00" -> "\x0A\x00".
std::string hex_bytes(std::string_view pairs) {
  std::string bytes;
  for (std::size_t i = 0; i < pairs.size(); i += 3) {
    bytes += static_cast<char>(std::stoi(std::string(pairs.substr(i, 2)), nullptr, 16));
  }
  return bytes;
}

// The first 380 bytes of every module, as the tracker's format lays them out,
// sixteen to a row.
const std::string& expected_head() {
  static const std::string head = [] {
    const char* const rows[] = {
        "46 61 6D 69 54 72 61 63 6B 65 72 20 4D 6F 64 75",  // 0
        "6C 65 30 04 00 00 50 41 52 41 4D 53 00 00 00 00",  // 16
        "00 00 00 00 00 00 06 00 00 00 1D 00 00 00 00 05",  // 32
        "00 00 00 00 00 00 00 00 00 00 00 01 00 00 00 04",  // 48
        "00 00 00 10 00 00 00 20 00 00 00 49 4E 46 4F 00",  // 64
        "00 00 00 00 00 00 00 00 00 00 00 01 00 00 00 60",  // 80
        "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",  // 96
        "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",  // 112
        "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",  // 128
        "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",  // 144
        "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",  // 160
        "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",  // 176
        "00 00 00 48 45 41 44 45 52 00 00 00 00 00 00 00",  // 192
        "00 00 00 03 00 00 00 14 00 00 00 00 4E 65 77 20",  // 208
        "73 6F 6E 67 00 00 00 01 00 02 00 03 00 04 00 49",  // 224
        "4E 53 54 52 55 4D 45 4E 54 53 00 00 00 00 00 05",  // 240
        "00 00 00 04 00 00 00 00 00 00 00 53 45 51 55 45",  // 256
        "4E 43 45 53 00 00 00 00 00 00 00 06 00 00 00 04",  // 272
        "00 00 00 00 00 00 00 46 52 41 4D 45 53 00 00 00",  // 288
        "00 00 00 00 00 00 00 03 00 00 00 15 00 00 00 01",  // 304
        "00 00 00 06 00 00 00 96 00 00 00 00 01 00 00 00",  // 320
        "00 00 00 00 50 41 54 54 45 52 4E 53 00 00 00 00",  // 336
        "00 00 00 00 05 00 00 00 10 0A 00 00 00 00 00 00",  // 352
        "00 00 00 00 00 00 00 00 00 01 00 00",              // 368
    };
    std::string bytes;
    for (const char* row : rows) bytes += hex_bytes(row);
    return bytes;
  }();
  return head;
}

// "DPCM SAMPLES", version 1, data size 1, no samples, then "END".
const std::string kExpectedTail = hex_bytes(
    "44 50 43 4D 20 53 41 4D 50 4C 45 53 00 00 00 00 01 00 00 00 01 00 00 00 00 45 4E 44");

// The pitch list file of these lines, each ended by CR LF.
std::string pitch_list_of(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// Runs phase 3 over a pitch list (nullopt: there is no pxx.txt) and gives the
// module as it reached the disk while the slots still exist, so bytes that
// were never flushed by a close are missing; `lines_left_out` takes what the
// writer returned.
std::string module_written(const std::optional<std::string>& pitch_list,
                           const ModuleOptions& options = {},
                           std::uint64_t* lines_left_out = nullptr) {
  MemoryFileSystem file_system;
  if (pitch_list) file_system.files["pxx.txt"] = *pitch_list;
  FileSlots slots(file_system);
  const std::uint64_t left_out = write_module(slots, options);
  if (lines_left_out) *lines_left_out = left_out;
  return file_system.files["pxx.ftm"];
}

std::string module_written(const std::vector<std::string>& lines, const ModuleOptions& options = {}) {
  return module_written(std::optional<std::string>(pitch_list_of(lines)), options);
}

// Row `row` of pattern `pattern` in a module of the given shape.
std::string row_bytes(const std::string& module, std::size_t row, const ModuleShape& shape = {},
                      std::uint32_t pattern = 0) {
  return module.substr(pattern_items_offset(shape.patterns, shape.instrument, pattern) + row * kRowSize,
                       kRowSize);
}

// The cells of a pattern row that depend on the pitch list.
struct Row {
  int note;
  int octave;
  int instrument;
  int parameter;
  bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
  return out << "{note " << row.note << ", octave " << row.octave << ", instrument "
             << row.instrument << ", parameter " << row.parameter << "}";
}

Row note_row(int note, int octave, int parameter) {
  return {note, octave, kFirstInstrument, parameter};
}
Row continuation_row(int parameter) { return {kNoNote, 0, kNoInstrument, parameter}; }
const Row kFillerRow{kNoNote, 0, kNoInstrument, kNeutralFinePitch};

// Reads a row, checking the cells every row shares: its index (0x0A alone,
// with no CR added before it), an empty volume and the fine-pitch effect.
Row row_at(const std::string& module, std::size_t row, const ModuleShape& shape = {},
           std::uint32_t pattern = 0) {
  const std::string bytes = row_bytes(module, row, shape, pattern);
  EXPECT_EQ(bytes.substr(0, 4), std::string({static_cast<char>(row), '\0', '\0', '\0'})) << "row " << row;
  EXPECT_EQ(bytes.substr(7, 2), "\x10\x0D") << "row " << row;
  const auto byte = [&](std::size_t offset) { return static_cast<unsigned char>(bytes[offset]); };
  return {byte(4), byte(5), byte(6), byte(9)};  // note, octave, instrument, parameter
}

// ---------------------------------------------------------------------------
// The fixed head and the tail are the same whatever the pitch list holds.

TEST(ModuleWriter, HeadAndTailAreFixedBytes) {
  const struct {
    const char* name;
    std::optional<std::string> pitch_list;
  } cases[] = {
      {"missing pitch list", std::nullopt},
      {"empty pitch list", ""},
      {"one line", pitch_list_of({"A-3 P80"})},
      {"256 lines", pitch_list_of(std::vector<std::string>(256, "G#7 PBA"))},
      {"300 lines", pitch_list_of(std::vector<std::string>(300, "C-1 P48"))},
      {"junk", std::string("\r\n\x1A\0zz", 6)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string module = module_written(c.pitch_list);
    ASSERT_EQ(module.size(), 2968u);
    EXPECT_EQ(module.substr(0, 380), expected_head());
    EXPECT_EQ(module.substr(2940), kExpectedTail);
  }
}

// ---------------------------------------------------------------------------
// The worked example, byte for byte.

TEST(ModuleWriter, TheWorkedExampleComesOutByteForByte) {
  const std::string module = module_written({"C#3 P8A", "C#3 P7F", "D-3 P80"});
  ASSERT_EQ(module.size(), 2968u);
  const std::string filler_bytes = "00 00 00 00 40 10 0D 80";
  const struct {
    std::size_t row;
    std::string bytes;
  } rows[] = {
      {0, "00 00 00 00 02 03 00 10 0D 8A"},   {1, "01 00 00 00 00 00 40 10 0D 7F"},
      {2, "02 00 00 00 03 03 00 10 0D 80"},   {3, "03 00 " + filler_bytes},
      {128, "80 00 " + filler_bytes},         {255, "FF 00 " + filler_bytes},
  };
  for (const auto& r : rows) EXPECT_EQ(row_bytes(module, r.row), hex_bytes(r.bytes)) << "row " << r.row;
}

// ---------------------------------------------------------------------------
// Each line becomes one row by the line-state rules; filler rows follow.

TEST(ModuleWriter, LinesBecomeRows) {
  const struct {
    const char* name;
    std::vector<std::string> lines;
    std::vector<Row> rows;  // the rows before the filler rows
    bool missing = false;  // there is no pitch list
  } cases[] = {
      {"missing pitch list", {}, {}, true},
      {"no lines", {}, {}},
      {"each note name",
       {"C-1 P80", "C#1 P80", "D-1 P80", "D#1 P80", "E-1 P80", "F-1 P80", "F#1 P80", "G-1 P80",
        "G#1 P80", "A-1 P80", "A#1 P80", "B-1 P80"},
       {note_row(1, 1, 0x80), note_row(2, 1, 0x80), note_row(3, 1, 0x80), note_row(4, 1, 0x80),
        note_row(5, 1, 0x80), note_row(6, 1, 0x80), note_row(7, 1, 0x80), note_row(8, 1, 0x80),
        note_row(9, 1, 0x80), note_row(10, 1, 0x80), note_row(11, 1, 0x80), note_row(12, 1, 0x80)}},
      {"every octave and the digit range",
       {"A-0 P48", "A-1 P9F", "A-2 PBA", "A-3 P80", "A-4 PA0", "A-5 P5E", "A-6 P7D", "A-7 P4C"},
       {note_row(10, 0, 0x48), note_row(10, 1, 0x9F), note_row(10, 2, 0xBA), note_row(10, 3, 0x80),
        note_row(10, 4, 0xA0), note_row(10, 5, 0x5E), note_row(10, 6, 0x7D), note_row(10, 7, 0x4C)}},
      {"same note and octave continue",
       {"C#3 P8A", "C#3 P7F", "C#3 P81", "C#4 P81"},
       {note_row(2, 3, 0x8A), continuation_row(0x7F), continuation_row(0x81), note_row(2, 4, 0x81)}},
      {"same note in another octave starts a note",
       {"G-2 P80", "G-3 P80", "G-2 P80"},
       {note_row(8, 2, 0x80), note_row(8, 3, 0x80), note_row(8, 2, 0x80)}},
      {"alternating notes",
       {"D-3 P80", "E-3 P81", "D-3 P82", "E-3 P83"},
       {note_row(3, 3, 0x80), note_row(5, 3, 0x81), note_row(3, 3, 0x82), note_row(5, 3, 0x83)}},
      {"B# is B", {"B-4 P80", "B#4 P90"}, {note_row(12, 4, 0x80), continuation_row(0x90)}},
      {"B#4 as the first line", {"B#4 P90"}, {note_row(12, 4, 0x90)}},
      {"E# is F", {"E#4 P80", "F-4 P81"}, {note_row(6, 4, 0x80), continuation_row(0x81)}},
      {"lower-case letter keeps the note number",
       {"c-3 P80", "D-3 P80", "c-3 P81", "c-3 P82"},
       {note_row(0, 3, 0x80), note_row(3, 3, 0x80), continuation_row(0x81), continuation_row(0x82)}},
      {"sharp raises a kept note number", {"C-3 P80", "x#3 P80"},
       {note_row(1, 3, 0x80), note_row(2, 3, 0x80)}},
      {"unrecognised first line with octave 0 continues the empty start", {"c-0 P80"},
       {continuation_row(0x80)}},
      {"lower-case hexadecimal digits", {"C-3 P8a", "C-3 Pa9", "C-3 Pbb"},
       {note_row(1, 3, 0x80), continuation_row(0x89), continuation_row(0x89)}},
      {"other characters keep the digits", {"C-3 P9C", "D-3 PG ", "E-3 P-Z"},
       {note_row(1, 3, 0x9C), note_row(3, 3, 0x9C), note_row(5, 3, 0x9C)}},
      {"six characters keep the low digit", {"C-3 P8A", "D-3 P9"},
       {note_row(1, 3, 0x8A), note_row(3, 3, 0x9A)}},
      {"three hexadecimal digits", {"C-3 P10A", "D-3 P8A", "E-3 P1BC"},
       {note_row(1, 3, 0x10), note_row(3, 3, 0x8A), note_row(5, 3, 0x1B)}},
      {"octave other than a digit is 0", {"C-3 P80", "C-x P80", "C-", "C-9 P80"},
       {note_row(1, 3, 0x80), note_row(1, 0, 0x80), continuation_row(0x80), note_row(1, 9, 0x80)}},
      {"empty line keeps note and digits, octave 0", {"D#5 P7E", "", "D#5 P7E"},
       {note_row(4, 5, 0x7E), note_row(4, 0, 0x7E), note_row(4, 5, 0x7E)}},
      {"empty first line", {""}, {continuation_row(0x00)}},
      {"characters 4 and 5 are not examined", {"C-3xx81", "C-3 P82"},
       {note_row(1, 3, 0x81), continuation_row(0x82)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string module =
        module_written(c.missing ? std::nullopt : std::optional<std::string>(pitch_list_of(c.lines)));
    ASSERT_EQ(module.size(), kModuleSize);
    for (std::size_t row = 0; row < kPatternRows; ++row) {
      const Row expected = row < c.rows.size() ? c.rows[row] : kFillerRow;
      EXPECT_EQ(row_at(module, row), expected) << "row " << row;
    }
  }
}

// ---------------------------------------------------------------------------
// The pattern holds 256 rows: no filler after 256 lines, nothing read after.

std::vector<std::string> full_pitch_list() {
  std::vector<std::string> lines;
  for (int i = 0; i < 255; ++i) lines.push_back(i % 2 ? "D-4 P82" : "C-3 P81");
  lines.push_back("B-7 PBA");
  return lines;
}

TEST(ModuleWriter, ExactlyTheFirst256LinesBecomeRows) {
  const std::string module = module_written(full_pitch_list());
  ASSERT_EQ(module.size(), kModuleSize);
  for (std::size_t row = 0; row < 255; ++row) {
    EXPECT_EQ(row_at(module, row), row % 2 ? note_row(3, 4, 0x82) : note_row(1, 3, 0x81)) << "row " << row;
  }
  EXPECT_EQ(row_bytes(module, 255), hex_bytes("FF 00 00 00 0C 07 00 10 0D BA"));

  std::vector<std::string> longer = full_pitch_list();
  for (int i = 0; i < 44; ++i) longer.push_back("G#1 P48");
  EXPECT_EQ(module_written(longer), module);
}

// With all rows, the pitch list is also opened and closed once to count its
// lines; both files are let go before the writer returns.
TEST(ModuleWriter, ClosesBothSlots) {
  for (const ModuleOptions options :
       {ModuleOptions{}, kAllRows, ModuleOptions{true, true, {}}}) {
    SCOPED_TRACE(options.all_rows);
    MemoryFileSystem file_system;
    std::vector<std::string> lines = full_pitch_list();
    lines.push_back("A-1 P80");  // left unread without all rows, yet the slot is closed
    file_system.files["pxx.txt"] = pitch_list_of(lines);
    FileSlots slots(file_system);
    write_module(slots, options);
    EXPECT_EQ(file_system.open_files(), 0);
    EXPECT_EQ(file_system.opens_while_open, 0);
    const std::size_t size = file_system.files["pxx.ftm"].size();
    slots.print(2, "more");
    EXPECT_EQ(file_system.files["pxx.ftm"].size(), size);
  }
}

// ---------------------------------------------------------------------------
// The instrument: its block takes the place of the empty INSTRUMENTS block
// and nothing else changes.

const std::string kExpectedInstrumentBlock =
    hex_bytes("49 4E 53 54 52 55 4D 45 4E 54 53 00 00 00 00 00 05 00 00 00 E3 00 00 00 01 00 00 00 "
              "00 00 00 00 01 05 00 00 00") +
    std::string(10 + 192, '\0') + hex_bytes("08 00 00 00 5A 65 6E 74 72 69 6C 6C");

TEST(ModuleWriter, InstrumentBlockReplacesTheEmptyOne) {
  const struct {
    const char* name;
    std::optional<std::string> pitch_list;
  } cases[] = {
      {"missing pitch list", std::nullopt},
      {"worked example", pitch_list_of({"C#3 P8A", "C#3 P7F", "D-3 P80"})},
      {"300 lines", pitch_list_of(std::vector<std::string>(300, "C-1 P48"))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string plain = module_written(c.pitch_list);
    const std::string module =
        module_written(c.pitch_list, {.instrument = true, .all_rows = false, .voice = {}});
    ASSERT_EQ(module.size(), 3191u);
    EXPECT_EQ(module.substr(0, 239), plain.substr(0, 239));
    EXPECT_EQ(module.substr(239, 251), kExpectedInstrumentBlock);
    EXPECT_EQ(module.substr(490), plain.substr(267));
  }
}

// ---------------------------------------------------------------------------
// All rows: one pattern and one frame for every 256 lines.

// A pitch list of `count` lines in runs of three on one note, so that rows
// continue the note before, also across the start of a pattern.
std::vector<std::string> runs_of_three(std::size_t count) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < count; ++i) {
    char line[8];
    std::snprintf(line, sizeof line, "%s P%02X", (i / 3) % 2 ? "D-4" : "C-3",
                  static_cast<unsigned>(0x48 + i % 0x70));
    lines.push_back(line);
  }
  return lines;
}

// The row that line `i` of runs_of_three gives at the start of a pattern or
// elsewhere.
Row runs_of_three_row(std::size_t i, bool starts_pattern) {
  const int parameter = static_cast<int>(0x48 + i % 0x70);
  if (i % 3 != 0 && !starts_pattern) return continuation_row(parameter);
  return (i / 3) % 2 ? note_row(3, 4, parameter) : note_row(1, 3, parameter);
}

// The row after the last line: a note cut and the halt effect.
std::string end_row_bytes(std::size_t row) {
  return std::string{static_cast<char>(row)} + hex_bytes("00 00 00 0E 00 40 10 04 00");
}

TEST(ModuleWriter, AllRowsWithFewerThan256LinesIsTheDefaultModuleEndingAfterThem) {
  const struct {
    const char* name;
    std::optional<std::string> pitch_list;
    std::size_t lines;
  } cases[] = {
      {"missing pitch list", std::nullopt, 0},
      {"empty pitch list", "", 0},
      {"worked example", pitch_list_of({"C#3 P8A", "C#3 P7F", "D-3 P80"}), 3},
      {"4 lines", pitch_list_of({"A-1 P80", "D#2 P80", "A-2 P80", "D#3 P80"}), 4},
      {"255 lines", pitch_list_of(runs_of_three(255)), 255},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::uint64_t left_out = 1;
    const std::string module =
        module_written(c.pitch_list, kAllRows, &left_out);
    std::string expected = module_written(c.pitch_list, {});
    expected.replace(kFixedHeadSize + c.lines * kRowSize, kRowSize, end_row_bytes(c.lines));
    EXPECT_EQ(module, expected);
    EXPECT_EQ(left_out, 0u);
  }
}

TEST(ModuleWriter, AllRowsGivesAFrameAndAPatternForEvery256LinesAndTheEnd) {
  const std::string two_frames =
      hex_bytes("46 52 41 4D 45 53 00 00 00 00 00 00 00 00 00 00 03 00 00 00 1A 00 00 00 "
                "02 00 00 00 06 00 00 00 96 00 00 00 00 01 00 00 00 00 00 00 00 01 00 00 00 00");
  const std::string two_patterns_head =
      hex_bytes("50 41 54 54 45 52 4E 53 00 00 00 00 00 00 00 00 05 00 00 00 20 14 00 00");
  const struct {
    std::size_t lines;
    std::uint32_t patterns;
    std::size_t size;
    std::string frames;  // the FRAMES block
    std::string patterns_head;  // the PATTERNS block head
  } cases[] = {
      // The last line on row 255: the end takes row 0 of one more pattern.
      {256, 2, 5549, two_frames, two_patterns_head},
      {257, 2, 5549, two_frames, two_patterns_head},
      {1200, 5, 13292,
       hex_bytes("46 52 41 4D 45 53 00 00 00 00 00 00 00 00 00 00 03 00 00 00 29 00 00 00 "
                 "05 00 00 00 06 00 00 00 96 00 00 00 00 01 00 00 00 00 00 00 00 01 00 00 00 00 "
                 "02 00 00 00 00 03 00 00 00 00 04 00 00 00 00"),
       hex_bytes("50 41 54 54 45 52 4E 53 00 00 00 00 00 00 00 00 05 00 00 00 50 32 00 00")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines);
    const std::vector<std::string> lines = runs_of_three(c.lines);
    const std::string module = module_written(lines, kAllRows);
    ASSERT_EQ(module.size(), c.size);
    EXPECT_EQ(module.substr(0, 295), module_written(lines, {}).substr(0, 295));
    EXPECT_EQ(module.substr(295, c.frames.size()), c.frames);
    const std::size_t patterns_at = 295 + c.frames.size();
    EXPECT_EQ(module.substr(patterns_at, 24), c.patterns_head);
    const ModuleShape shape{c.patterns, false};
    for (std::uint32_t pattern = 0; pattern < c.patterns; ++pattern) {
      SCOPED_TRACE(pattern);
      EXPECT_EQ(module.substr(patterns_at + 24 + pattern * 2576, 16),
                hex_bytes("00 00 00 00 00 00 00 00") + std::string{static_cast<char>(pattern)} +
                    hex_bytes("00 00 00 00 01 00 00"));
      for (std::size_t row = 0; row < 256; ++row) {
        const std::size_t line = 256 * pattern + row;
        if (line == c.lines) {
          EXPECT_EQ(row_bytes(module, row, shape, pattern), end_row_bytes(row)) << "row " << row;
          continue;
        }
        const Row expected = line < c.lines ? runs_of_three_row(line, row == 0) : kFillerRow;
        EXPECT_EQ(row_at(module, row, shape, pattern), expected) << "row " << row;
      }
    }
    EXPECT_EQ(module.substr(c.size - 28), kExpectedTail);

    const std::string with_instrument = module_written(lines, {true, true, {}});
    EXPECT_EQ(with_instrument,
              module.substr(0, 239) + kExpectedInstrumentBlock + module.substr(267));
  }
}

// At most 128 patterns, the last row ending the song: the lines after the
// 32767th are left out of the module and counted, and only with all rows.
TEST(ModuleWriter, AllRowsHoldsAtMost32767Lines) {
  const std::string full_module =
      module_written(runs_of_three(32767), kAllRows);
  ASSERT_EQ(full_module.size(), 2968u + 2581u * 127);
  const ModuleShape full{128, false};
  EXPECT_EQ(row_at(full_module, 254, full, 127), runs_of_three_row(32766, false));
  EXPECT_EQ(row_bytes(full_module, 255, full, 127), end_row_bytes(255));

  const struct {
    std::size_t lines;
    ModuleOptions options;
    std::uint64_t left_out;
  } cases[] = {
      {32767, kAllRows, 0},
      {32768, kAllRows, 1},
      {33767, kAllRows, 1000},
      {33767, {}, 33767 - 256},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines);
    std::uint64_t left_out = 99;
    const std::string module =
        module_written(pitch_list_of(runs_of_three(c.lines)), c.options, &left_out);
    EXPECT_EQ(left_out, c.left_out);
    if (c.options.all_rows) {
      EXPECT_EQ(module, full_module);
    }
  }
}

// The voice changes the bytes that name the rows' channel (each frame's
// pattern numbers, each pattern's head), the machine, the tempo and the
// speed, and nothing else.
TEST(ModuleWriter, TheVoiceNamesTheChannelMachineTempoAndSpeed) {
  const struct {
    Voice voice;
    bool instrument;
    std::size_t lines;
    std::vector<std::pair<std::size_t, std::string>> changed;  // offset, bytes
  } cases[] = {
      {{Channel::pulse2, Machine::ntsc, 6}, false, 3, {{368, "01"}}},
      {{Channel::triangle, Machine::ntsc, 6}, true, 3, {{591, "02"}}},
      {{Channel::pulse1, Machine::pal, 6}, false, 3, {{51, "01"}, {327, "7D"}}},
      {{Channel::pulse1, Machine::ntsc, 1}, false, 3, {{323, "01"}}},
      {{Channel::pulse1, Machine::ntsc, 7}, true, 3, {{546, "07"}}},
      {{Channel::triangle, Machine::pal, 20}, true, 600,
       {{51, "01"}, {546, "14"}, {550, "7D"}, {563, "00 00 01 00 00 00 00 02"}, {601, "02"},
        {3177, "02"}, {5753, "02"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines);
    const std::vector<std::string> lines = runs_of_three(c.lines);
    std::string expected = module_written(lines, {c.instrument, c.lines > 256, {}});
    for (const auto& [offset, bytes] : c.changed) expected.replace(offset, (bytes.size() + 1) / 3, hex_bytes(bytes));
    EXPECT_EQ(module_written(lines, {c.instrument, c.lines > 256, c.voice}), expected);
  }
}

TEST(ModuleWriter, TheLinesLeftOutMessageCountsThemAndNamesTheFirst) {
  const auto module = phase_files::files_from_pitch_list(false).subspan(1);
  const auto module_and_preview = phase_files::files_from_pitch_list(true).subspan(1);
  EXPECT_EQ(lines_left_out_message(1, module, true),
            "zentrill: 1 line of pxx.txt, line 32768, was left out of pxx.ftm, which holds at "
            "most 32767 lines and the row that ends the song; pxx.txt keeps it");
  EXPECT_EQ(lines_left_out_message(1000, module, true),
            "zentrill: 1000 lines of pxx.txt, lines 32768 on, were left out of pxx.ftm, which "
            "holds at most 32767 lines and the row that ends the song; pxx.txt keeps them all");
  EXPECT_EQ(lines_left_out_message(1000, module_and_preview, true),
            "zentrill: 1000 lines of pxx.txt, lines 32768 on, were left out of pxx.ftm and pxx.wav, "
            "as pxx.ftm holds at most 32767 lines and the row that ends the song; pxx.txt keeps "
            "them all");
  EXPECT_EQ(lines_left_out_message(1, module, false),
            "zentrill: line 257 of pxx.txt was left out of pxx.ftm, which holds the first 256 lines without -a; "
            "-a keeps it");
}

// ---------------------------------------------------------------------------
// A module that cannot be created or written is reported, not lost quietly.

TEST(ModuleWriter, AnUncreatableModuleOrAFullDiskThrows) {
  const struct {
    std::size_t room;  // bytes left for pxx.ftm
    bool fits;
    bool creatable = true;
  } cases[] = {{0, false}, {379, false}, {380, false}, {2967, false}, {2968, true}, {2968, false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.room);
    MemoryFileSystem file_system;
    file_system.files["pxx.txt"] = pitch_list_of({"A-3 P80", "A-3 P81"});
    file_system.capacity = file_system.used() + c.room;
    if (!c.creatable) file_system.uncreatable.insert("pxx.ftm");
    FileSlots slots(file_system);
    if (c.fits) {
      write_module(slots, {});
      EXPECT_EQ(file_system.files["pxx.ftm"].size(), kModuleSize);
    } else {
      EXPECT_THROW(write_module(slots, {}), FileError);
    }
  }
}

}  // namespace
}  // namespace zentrill
