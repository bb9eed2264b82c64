#include "glide/frequency_list_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>

#include "memory_file_system.h"
#include "scripted_terminal.h"
#include "vocabulary/phase_files.h"

namespace zentrill {
namespace {

using test_support::MemoryFileSystem;
using test_support::ScriptedTerminal;

struct Phase1 {
  std::string screen;
  std::string frequency_list;
  std::uint64_t glides;
  std::string diagnostics;
};

Phase1 run_phase1(std::string_view keys, bool input_is_terminal = false, const Voice& voice = kDefaultVoice) {
  ScriptedTerminal terminal(keys);
  terminal.set_input_is_terminal(input_is_terminal);
  Console console(terminal);
  MemoryFileSystem files;
  FileSlots slots(files);
  slots.open_for_writing(1, "freq.txt");
  std::ostringstream diagnostics;
  const std::uint64_t glides = run_frequency_list_builder(
      console, slots, diagnostics, phase_files::files_from_pitch_list(false), Dialogue{}, voice);
  // The phase has closed slot 1: the file is complete before the slots go.
  return {terminal.output(), files.files["freq.txt"], glides, diagnostics.str()};
}

std::size_t line_count(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(FrequencyListBuilder, AGlideRisesOrFallsFromTheStartAndStopsShortOfTheEnd) {
  EXPECT_EQ(run_phase1("a-1a-34\rn").frequency_list,
            "110\r\n155.5634918610405\r\n220\r\n311.126983722081\r\n");
  EXPECT_EQ(run_phase1("a-3a-14\rn").frequency_list,
            "440\r\n311.1269837220809\r\n219.9999999999999\r\n155.5634918610404\r\n");
  // The end frequency itself is never written.
  EXPECT_EQ(run_phase1("a-1a-32\rn").frequency_list, "110\r\n220\r\n");
  // The triangle sounds the same notes an octave lower.
  const Voice triangle{Channel::triangle, Machine::pal, 1};
  EXPECT_EQ(run_phase1("a-1a-34\rn", false, triangle).frequency_list,
            "55\r\n77.78174593052023\r\n110\r\n155.5634918610405\r\n");
}

TEST(FrequencyListBuilder, EveryValueIsOneEqualStepFromTheLast) {
  const Phase1 run = run_phase1("c-1b-71200\rn");
  ASSERT_EQ(line_count(run.frequency_list), 1200u);
  EXPECT_EQ(run.frequency_list.substr(0, 19), "65.40650177001953\r\n");
  // The last value lies one step short of B-7.
  const std::size_t last_line = run.frequency_list.rfind('\n', run.frequency_list.size() - 2) + 1;
  const double last = std::stod(run.frequency_list.substr(last_line));
  const double step = std::pow(7902.14404296875 / 65.40650177001953125, 1.0 / 1200);
  EXPECT_NEAR(last * step, 7902.14404296875, 1e-9);
}

TEST(FrequencyListBuilder, ATypedStepCountIsReadAsANumberAndRoundedHalvesToEven) {
  const struct {
    const char* typed;
    std::size_t lines;
  } cases[] = {
      {"2", 2},     {"1200", 1200}, {"2.5", 2},    {"3.5", 4},    {"12,5", 12},
      {"1e3", 1000}, {"1d3", 1000}, {"&H10", 16},  {" 7", 7},     {"7 frames", 7},
      {"1199.5", 1200}, {"2.4", 2}, {"\"5\"", 5},
  };
  for (const auto& c : cases) {
    const Phase1 run = run_phase1(std::string("a-1a-3") + c.typed + "\rn");
    EXPECT_EQ(line_count(run.frequency_list), c.lines) << c.typed;
    EXPECT_EQ(run.screen, std::string("Starting note? A-1\r\nEnding note? A-3\r\n") +
                              "How many notes/frames? " + c.typed + "\r\nAnother? ")
        << c.typed;
  }
}

TEST(FrequencyListBuilder, StepCountsOutsideTwoTo1200BringThePromptBackSilently) {
  // 1.6 and 1200.4 are tested as typed, before rounding.
  for (const char* refused : {"0", "-5", "abc", "1201", "", "1.6", "1200.4", "1.99", "nan",
                              "inf", "-inf", "1e400", "0x10", "&HFFFFFFFFFFFFFFFF"}) {
    const Phase1 run = run_phase1(std::string("a-1a-3") + refused + "\r3\rn");
    EXPECT_EQ(run.screen, std::string("Starting note? A-1\r\nEnding note? A-3\r\n") +
                              "How many notes/frames? " + refused + "\r\n" +
                              "How many notes/frames? 3\r\nAnother? ")
        << refused;
    EXPECT_EQ(line_count(run.frequency_list), 3u) << refused;
  }
}

TEST(FrequencyListBuilder, IdenticalNotesAreRefusedAndWriteNothing) {
  const Phase1 run = run_phase1("c-3b#3e#2f-2b#3c-42\rn");
  EXPECT_EQ(run.screen,
            "Starting note? C-3\r\nEnding note? B#3\r\n"
            "Start and end notes are identical. Try again.\r\n"
            "Starting note? E#2\r\nEnding note? F-2\r\n"
            "Start and end notes are identical. Try again.\r\n"
            "Starting note? B#3\r\nEnding note? C-4\r\n"
            "How many notes/frames? 2\r\nAnother? ");
  EXPECT_EQ(run.frequency_list, "261.6260070800781\r\n369.9950474821659\r\n");
}

TEST(FrequencyListBuilder, YesToAnotherStartsTheNextPairOnTheSameLineAndGlidesAppend) {
  const Phase1 run = run_phase1("a-1a-33\rqx\rYc-1c-25\rzy");
  EXPECT_EQ(run.screen,
            "Starting note? A-1\r\nEnding note? A-3\r\nHow many notes/frames? 3\r\n"
            "Another? Starting note? C-1\r\nEnding note? C-2\r\nHow many notes/frames? 5\r\n"
            "Another? Starting note? ");
  EXPECT_EQ(line_count(run.frequency_list), 8u);
}

TEST(FrequencyListBuilder, TheEndOfInputEndsThePhaseKeepingTheGlidesWritten) {
  const struct {
    const char* keys;
    std::size_t lines;
    std::uint64_t glides;
  } cases[] = {
      {"", 0, 0},
      {"a-1a-3", 0, 0},
      {"a-1a-312", 0, 0},  // the count line had no Enter yet
      {"a-1a-32\r", 2, 1},
      {"a-1a-32\ry", 2, 1},
      {"a-1a-32\rya-1a-25", 2, 1},
      {"a-1a-32\rya-1a-25\r", 7, 2},
  };
  for (const auto& c : cases) {
    const Phase1 run = run_phase1(c.keys);
    EXPECT_EQ(line_count(run.frequency_list), c.lines) << c.keys;
    EXPECT_EQ(run.glides, c.glides) << c.keys;
  }
}

// Told as soon as the count is taken, so the user can stop before typing
// more; the screen's dialogue is the same as without it.
TEST(FrequencyListBuilder, AGlideLeavingThePlayableRangeIsToldAtOnceNamingItsFirstStepOutside) {
  const Phase1 run = run_phase1("b-7a-72\rya-1a-32\rya#7b-73\rn");
  EXPECT_EQ(run.diagnostics,
            "zentrill: step 1 of this glide, 7902.14404296875 Hz, is outside the playable range of about "
            "54.61 to 7714.54 Hz; pxx.txt and pxx.ftm will end before it\n"
            "zentrill: step 3 of this glide, 7751.450708134646 Hz, is outside the playable range of about "
            "54.61 to 7714.54 Hz; pxx.txt and pxx.ftm will end before it\n");
  EXPECT_EQ(run.screen.find("zentrill"), std::string::npos);
  EXPECT_EQ(run.glides, 3u);
  EXPECT_EQ(run_phase1("g-7a#7300\rn").diagnostics, "");  // A#7, about 7458.6 Hz, is the highest inside
  EXPECT_EQ(run_phase1("b-7a-72\rn", false, {Channel::triangle, Machine::ntsc, 6}).diagnostics,
            "zentrill: step 1 of this glide, 3951.072021484375 Hz, is outside the playable range of about "
            "27.30 to 3857.27 Hz; pxx.txt and pxx.ftm will end before it\n");
}

// Ctrl-D pressed at a terminal finishes as N does, at "Another? " and before
// a starting note's first key; anywhere else it is dropped, as its byte from a
// pipe is everywhere.
TEST(FrequencyListBuilder, CtrlDAtATerminalFinishesAtAnotherOrBeforeAStartingNote) {
  const struct {
    std::string keys;
    std::size_t lines_at_a_terminal;
    std::size_t lines_from_a_pipe;
  } cases[] = {
      {"\x04" "a-1a-32\rn", 0, 2},
      {"a-1a-32\r\x04" "ya-1a-25\rn", 2, 7},
      {"a-1a-32\rya\x04-1a-25\rn", 7, 7},
      {"a-1\x04" "a-32\rn", 2, 2},
      {"a-1a-3\x04" "2\x04\rn", 2, 2},
  };
  for (const auto& c : cases) {
    for (const bool at_a_terminal : {true, false}) {
      EXPECT_EQ(line_count(run_phase1(c.keys, at_a_terminal).frequency_list),
                at_a_terminal ? c.lines_at_a_terminal : c.lines_from_a_pipe)
          << testing::PrintToString(c.keys) << (at_a_terminal ? " at a terminal" : " from a pipe");
    }
  }
}

TEST(FrequencyListBuilder, AFullDiskIsReportedAndWhatFittedIsKept) {
  ScriptedTerminal terminal("a-1a-3100\rn");
  Console console(terminal);
  MemoryFileSystem files;
  files.capacity = 100;
  FileSlots slots(files);
  slots.open_for_writing(1, "freq.txt");
  std::ostringstream diagnostics;
  EXPECT_THROW(run_frequency_list_builder(console, slots, diagnostics,
                                          phase_files::files_from_pitch_list(false), Dialogue{},
                                          kDefaultVoice),
               FileError);
  EXPECT_EQ(files.files["freq.txt"].size(), 100u);
  EXPECT_EQ(files.files["freq.txt"].substr(0, 5), "110\r\n");
}

}  // namespace
}  // namespace zentrill
