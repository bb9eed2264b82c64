// The built program with its keys piped in: the exact transcript on standard
// output, the exact files, and the exit status.
#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "process.h"

namespace zentrill {
namespace {

using test_support::ProcessResult;
using test_support::ScratchDirectory;

const std::string kBanner = "Zentrill v1 - NES pitch glides, by the Zentrill developers\r\n\r\n";

ProcessResult run(const ScratchDirectory& directory, const std::string& keys,
                  const std::vector<std::string>& arguments = {}) {
  return test_support::run_process(ZENTRILL_BINARY, arguments, keys, directory.path());
}

// The ten bytes of a note row of the module.
std::string note_row(int row, int note, int octave, int parameter) {
  return std::string{static_cast<char>(row), 0, 0, 0, static_cast<char>(note),
                     static_cast<char>(octave), 0, 0x10, 0x0D, static_cast<char>(parameter)};
}

TEST(PipedRun, OneGlideGoesFromTheFirstKeyToTheModule) {
  ScratchDirectory directory;
  const ProcessResult result = run(directory, "a-1a-34\rn");
  EXPECT_EQ(result.out, kBanner +
                            "Starting note? A-1\r\n"
                            "Ending note? A-3\r\n"
                            "How many notes/frames? 4\r\n"
                            "Another? ");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(directory.read("freq.txt"), "110\r\n155.5634918610405\r\n220\r\n311.126983722081\r\n");
  EXPECT_EQ(directory.read("pxx.txt"), "A-1 P80\r\nD#2 P80\r\nA-2 P80\r\nD#3 P80\r\n");
  const std::string module = directory.read("pxx.ftm");
  ASSERT_EQ(module.size(), 2968u);
  EXPECT_EQ(module.substr(0, 18), "FamiTracker Module");
  EXPECT_EQ(module.substr(380, 40), note_row(0, 10, 1, 0x80) + note_row(1, 4, 2, 0x80) +
                                        note_row(2, 10, 2, 0x80) + note_row(3, 4, 3, 0x80));
  EXPECT_EQ(module.substr(420, 10), (std::string{4, 0, 0, 0, 0, 0, 0x40, 0x10, 0x0D, '\x80'}));
  EXPECT_EQ(module.substr(2965), "END");
}

TEST(PipedRun, TwoGlidesAppendToOneList) {
  ScratchDirectory directory;
  // LF works as Enter as well as CR; "y" starts the next pair on the same line.
  const ProcessResult result = run(directory, "A-3a-14\nyc-1c-23\rN");
  EXPECT_EQ(result.out, kBanner +
                            "Starting note? A-3\r\n"
                            "Ending note? A-1\r\n"
                            "How many notes/frames? 4\r\n"
                            "Another? Starting note? C-1\r\n"
                            "Ending note? C-2\r\n"
                            "How many notes/frames? 3\r\n"
                            "Another? ");
  EXPECT_EQ(directory.read("freq.txt"),
            "440\r\n311.1269837220809\r\n219.9999999999999\r\n155.5634918610404\r\n"
            "65.40650177001953\r\n82.40702838003389\r\n103.8263497152889\r\n");
  EXPECT_EQ(result.exit_status, 0);
}

TEST(PipedRun, DroppedKeysAreNeverEchoed) {
  ScratchDirectory directory;
  // H, digits and signs at the letter; b and a blank at the accidental; 0, 8,
  // 9 and letters at the octave; then an identical pair, refused counts, and
  // stray keys at "Another? ".
  const ProcessResult result =
      run(directory, "h9#-cb 3#x0895" "b#3" "0\r-5\rabc\r1201\r\r1.6\r2.5\r" "qzN");
  EXPECT_EQ(result.out, kBanner +
                            "Starting note? C#5\r\n"
                            "Ending note? B#3\r\n"
                            "How many notes/frames? "  // a count is asked first: C#5 and B#3 differ
                            "0\r\n" "How many notes/frames? -5\r\n"
                            "How many notes/frames? abc\r\n" "How many notes/frames? 1201\r\n"
                            "How many notes/frames? \r\n" "How many notes/frames? 1.6\r\n"
                            "How many notes/frames? 2.5\r\n"
                            "Another? ");
  EXPECT_EQ(result.exit_status, 0);
}

TEST(PipedRun, IdenticalNotesStartANewPair) {
  ScratchDirectory directory;
  const ProcessResult result = run(directory, "c-3b#3e#2f-2b#3c-42\rn");
  EXPECT_EQ(result.out, kBanner +
                            "Starting note? C-3\r\n" "Ending note? B#3\r\n"
                            "Start and end notes are identical. Try again.\r\n"
                            "Starting note? E#2\r\n" "Ending note? F-2\r\n"
                            "Start and end notes are identical. Try again.\r\n"
                            "Starting note? B#3\r\n" "Ending note? C-4\r\n"
                            "How many notes/frames? 2\r\n"
                            "Another? ");
  EXPECT_EQ(directory.read("freq.txt"), "261.6260070800781\r\n369.9950474821659\r\n");
}

TEST(PipedRun, EndOfInputEndsTheDialogueAsIfNWasAnswered) {
  const struct {
    const char* keys;
    const char* frequency_list;
  } cases[] = {
      {"", ""},
      {"a-", ""},
      {"a-1a-3", ""},
      {"a-1a-34", ""},  // a count line without its Enter writes nothing
      {"a-1a-32\r", "110\r\n220\r\n"},
      {"a-1a-32\rya-1", "110\r\n220\r\n"},
  };
  for (const auto& c : cases) {
    ScratchDirectory directory;
    const ProcessResult result = run(directory, c.keys);
    EXPECT_EQ(result.exit_status, 0) << c.keys;
    EXPECT_EQ(result.err, "") << c.keys;
    EXPECT_EQ(directory.read("freq.txt"), c.frequency_list) << c.keys;
    EXPECT_EQ(directory.read("pxx.ftm").size(), 2968u) << c.keys;
  }
}

TEST(PipedRun, ASecondRunLeavesNothingOfTheFirst) {
  ScratchDirectory directory;
  run(directory, "a-1a-3100\rn");
  const ProcessResult second = run(directory, "a-1a-32\rn");
  EXPECT_EQ(second.exit_status, 0);
  EXPECT_EQ(directory.read("freq.txt"), "110\r\n220\r\n");
  EXPECT_EQ(directory.read("pxx.txt"), "A-1 P80\r\nA-2 P80\r\n");
  const std::string module = directory.read("pxx.ftm");
  ASSERT_EQ(module.size(), 2968u);
  EXPECT_EQ(module.substr(400, 10), (std::string{2, 0, 0, 0, 0, 0, 0x40, 0x10, 0x0D, '\x80'}));
}

TEST(PipedRun, AGlideAboveThePlayableRangeIsCutAndSaid) {
  ScratchDirectory directory;
  // B-7 lies above the highest frequency the channel plays with these notes:
  // the list stops at line 3, and line 4, though playable, is left out too.
  const ProcessResult result = run(directory, "a-1a-32\ryb-7a-72\rn");
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(directory.read("freq.txt"), "110\r\n220\r\n7902.14404296875\r\n7458.625480777273\r\n");
  EXPECT_EQ(directory.read("pxx.txt"), "A-1 P80\r\nA-2 P80\r\n");
  EXPECT_NE(result.err.find("line 3 of freq.txt"), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "one line: " << result.err;
}

TEST(PipedRun, TrackerTuningChangesOnlyTheFinePitch) {
  // 5173.47 Hz wants the period 21.62: E-7 at P80 plays the tracker's 21,
  // at P7F its 22.
  const std::string keys = "d#7f-73\rn";
  ScratchDirectory plain;
  const ProcessResult without = run(plain, keys);
  EXPECT_EQ(plain.read("pxx.txt"), "D#7 P80\r\nE-7 P80\r\nE-7 P80\r\n");
  for (const char* option : {"-t", "--tracker-tuning", "-tt"}) {
    ScratchDirectory directory;
    const ProcessResult with = run(directory, keys, {option});
    EXPECT_EQ(with.exit_status, 0) << option;
    EXPECT_EQ(with.out, without.out) << option;
    EXPECT_EQ(with.err, "") << option;
    EXPECT_EQ(directory.read("freq.txt"), plain.read("freq.txt")) << option;
    EXPECT_EQ(directory.read("pxx.txt"), "D#7 P80\r\nE-7 P7F\r\nE-7 P80\r\n") << option;
    const std::string module = directory.read("pxx.ftm");
    ASSERT_EQ(module.size(), 2968u) << option;
    EXPECT_EQ(module.substr(390, 10), note_row(1, 5, 7, 0x7F)) << option;
  }
}

TEST(PipedRun, InstrumentAndAllRowsShapeOnlyTheModule) {
  // C-1 to A#7 in 1200 steps: five patterns' worth of rows.
  const std::string keys = "c-1a#71200\rn";
  ScratchDirectory plain;
  const ProcessResult without = run(plain, keys);
  ScratchDirectory tuned;
  run(tuned, keys, {"-t"});
  const struct {
    std::vector<std::string> arguments;
    bool tuned;
    std::size_t module_size;
  } cases[] = {{{"-i"}, false, 3191},
               {{"-a"}, false, 13292},
               {{"-ti"}, true, 3191},
               {{"-tia"}, true, 13515},
               {{"--all-rows", "--instrument", "--tracker-tuning"}, true, 13515}};
  for (const auto& c : cases) {
    const std::string name = testing::PrintToString(c.arguments);
    ScratchDirectory directory;
    const ProcessResult with = run(directory, keys, c.arguments);
    EXPECT_EQ(with.exit_status, 0) << name;
    EXPECT_EQ(with.out, without.out) << name;
    EXPECT_EQ(with.err, "") << name;
    EXPECT_EQ(directory.read("pxx.txt"), (c.tuned ? tuned : plain).read("pxx.txt")) << name;
    EXPECT_EQ(directory.read("pxx.ftm").size(), c.module_size) << name;
  }
}

TEST(PipedRun, HelpAndVersionTouchNoFile) {
  for (const char* option : {"--help", "--version"}) {
    ScratchDirectory directory;
    directory.write("pxx.ftm", "earlier module");
    const ProcessResult result = run(directory, "a-1a-32\rn", {option});
    EXPECT_EQ(result.exit_status, 0) << option;
    EXPECT_NE(result.out.find("zentrill"), std::string::npos) << option;
    EXPECT_EQ(result.err, "") << option;
    EXPECT_FALSE(directory.exists("freq.txt")) << option;
    EXPECT_EQ(directory.read("pxx.ftm"), "earlier module") << option;
  }
}

// Standard output on a full disk: one line says so and the status is 1, and
// a run still writes its files.
TEST(PipedRun, StandardOutputThatCannotBeWrittenIsToldWithStatusOne) {
  for (const std::vector<std::string>& options : {std::vector<std::string>{}, {"--help"}, {"--version"}}) {
    ScratchDirectory directory;
    std::vector<std::string> arguments = {"-c", "exec \"$0\" \"$@\" >/dev/full", ZENTRILL_BINARY};
    arguments.insert(arguments.end(), options.begin(), options.end());
    const ProcessResult result = test_support::run_process("/bin/sh", arguments, "a-1a-32\rn", directory.path());
    const std::string name = testing::PrintToString(options);
    EXPECT_EQ(result.exit_status, 1) << name;
    EXPECT_EQ(result.err, "zentrill: cannot write standard output: No space left on device\n") << name;
    EXPECT_EQ(directory.read("freq.txt"), options.empty() ? "110\r\n220\r\n" : "") << name;
    EXPECT_EQ(directory.read("pxx.ftm").size(), options.empty() ? 2968u : 0u) << name;
  }
}

TEST(PipedRun, AnyOtherArgumentIsRefused) {
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {"-x"}, {"pxx.ftm"}, {"--help", "extra"}, {"--versio"}, {""}, {"-tx"}, {"-t", "-"},
           {"--tracker-tuning", "--help"}}) {
    ScratchDirectory directory;
    directory.write("pxx.ftm", "earlier module");
    const ProcessResult result = run(directory, "a-1a-32\rn", arguments);
    EXPECT_EQ(result.exit_status, 2);
    EXPECT_EQ(result.out, "");
    ASSERT_FALSE(result.err.empty());
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "one line: " << result.err;
    EXPECT_FALSE(directory.exists("freq.txt"));
    EXPECT_EQ(directory.read("pxx.ftm"), "earlier module");
  }
}

TEST(PipedRun, AFileThatCannotBeWrittenIsNamedAndEndsTheRunWithStatusOne) {
  for (const char* name : {"freq.txt", "pxx.txt", "pxx.ftm"}) {
    ScratchDirectory directory;
    std::filesystem::create_directory(directory.path() / name);
    const ProcessResult result = run(directory, "a-1a-32\rn");
    EXPECT_EQ(result.exit_status, 1) << name;
    EXPECT_EQ(result.err, std::string("zentrill: cannot write ") + name + ": Is a directory\n");
  }
}

TEST(PipedRun, DiskFullIsReportedAndEarlierFilesAreKept) {
  for (const char* name : {"freq.txt", "pxx.txt", "pxx.ftm"}) {
    ScratchDirectory directory;
    std::filesystem::create_symlink("/dev/full", directory.path() / name);
    const ProcessResult result = run(directory, "a-1a-32\rn");
    EXPECT_EQ(result.exit_status, 1) << name;
    EXPECT_EQ(result.err, std::string("zentrill: cannot write ") + name +
                              ": No space left on device\n");
    if (std::string(name) != "freq.txt") {
      EXPECT_EQ(directory.read("freq.txt"), "110\r\n220\r\n") << name;
    }
    if (std::string(name) == "pxx.ftm") {
      EXPECT_EQ(directory.read("pxx.txt"), "A-1 P80\r\nA-2 P80\r\n");
    }
  }
}

}  // namespace
}  // namespace zentrill
