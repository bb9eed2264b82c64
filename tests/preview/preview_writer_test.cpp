#include "preview/preview_writer.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "memory_file_system.h"
#include "preview/preview_timing.h"
#include "preview/voice_renderer.h"
#include "preview/wav_format.h"
#include "textio/file_system.h"

namespace zentrill {
namespace {

using test_support::MemoryFileSystem;

// Bytes from hexadecimal pairs separated by blanks: "0A 00" -> "\x0A\x00".
std::string hex_bytes(std::string_view pairs) {
  std::string bytes;
  for (std::size_t i = 0; i < pairs.size(); i += 3) {
    bytes += static_cast<char>(std::stoi(std::string(pairs.substr(i, 2)), nullptr, 16));
  }
  return bytes;
}

std::string pitch_list_of(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string written_preview(const std::vector<std::string>& lines, bool all_rows, const Voice& voice) {
  MemoryFileSystem files;
  files.files["pxx.txt"] = pitch_list_of(lines);
  FileSlots slots(files);
  write_preview(slots, {.all_rows = all_rows, .voice = voice});
  EXPECT_EQ(files.open_files(), 0);
  EXPECT_EQ(files.opens_while_open, 0);
  EXPECT_EQ(files.writers_not_closed, 0);
  return files.files["pxx.wav"];
}

// The file a preview of these register values must be.
std::string expected_preview(const std::vector<std::uint16_t>& registers, const Voice& voice) {
  const auto header = wav_format::header(static_cast<std::uint64_t>(
      preview_timing::sample_count(voice, static_cast<std::int64_t>(registers.size()))));
  std::string bytes(header.data(), header.size());
  render_preview(registers, voice, [&](std::span<const std::int16_t> samples) {
    for (const std::int16_t sample : samples) {
      const auto value = static_cast<std::uint16_t>(sample);
      bytes += static_cast<char>(value & 0xFF);
      bytes += static_cast<char>(value >> 8);
    }
  });
  return bytes;
}

TEST(PreviewWriter, TheHeaderIsTheCanonicalRiffHeader) {
  // 4 rows: 17640 samples, 35280 bytes of data.
  const std::string preview =
      written_preview({"A-1 P80", "D#2 P80", "A-2 P80", "D#3 P80"}, false, {});
  ASSERT_EQ(preview.size(), 44u + 35280u);
  EXPECT_EQ(preview.substr(0, 44), hex_bytes("52 49 46 46 F4 89 00 00 57 41 56 45 "  // RIFF, WAVE
                                             "66 6D 74 20 10 00 00 00 01 00 01 00 "  // fmt, PCM, mono
                                             "44 AC 00 00 88 58 01 00 02 00 10 00 "  // 44100, 16 bits
                                             "64 61 74 61 D0 89 00 00"));             // data
}

TEST(PreviewWriter, PlaysTheRowsTheModuleHolds) {
  const std::vector<std::string> long_list(300, "A-3 P80");
  const struct {
    const char* run;
    std::vector<std::string> lines;
    bool all_rows;
    std::vector<std::uint16_t> registers;
    Voice voice = {};
  } cases[] = {
      {"four notes", {"A-1 P80", "D#2 P80", "A-2 P80", "D#3 P80"}, false, {1016, 718, 507, 359}},
      {"no line", {}, false, {}},
      {"300 lines", long_list, false, std::vector<std::uint16_t>(256, 253)},
      {"300 lines, all rows", long_list, true, std::vector<std::uint16_t>(300, 253)},
      // A line not of the layout plays as the line before; the first is silent.
      {"stray lines", {"junk", "A-3 P80", "", "G-1 P97"}, false, {0, 253, 253, 1117}},
      {"PAL, the PAL table", {"A-3 P80", "G-1 P97"}, false, {235, 1036}, {Channel::pulse1, Machine::pal, 6}},
      {"the triangle at speed 1", {"A-1 P80", "A-3 P80"}, false, {1016, 253}, {Channel::triangle, Machine::ntsc, 1}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(written_preview(c.lines, c.all_rows, c.voice), expected_preview(c.registers, c.voice)) << c.run;
  }
}

TEST(PreviewWriter, APreviewThatCannotBeCreatedThrowsWithThePitchListClosed) {
  MemoryFileSystem files;
  files.files["pxx.txt"] = pitch_list_of({"A-3 P80"});
  files.uncreatable.insert("pxx.wav");
  FileSlots slots(files);
  EXPECT_THROW(write_preview(slots, {}), FileError);
  EXPECT_EQ(files.open_files(), 0);
}

}  // namespace
}  // namespace zentrill
