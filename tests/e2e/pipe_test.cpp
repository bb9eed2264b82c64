// The built program with its keys piped in: the exact transcript on standard
// output, the exact files, and the exit status.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

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

// The transcript echoes only the keys each prompt takes; a count that is
// refused, or a pair of identical notes, asks again.
TEST(PipedRun, TheTranscriptShowsTheKeysTakenAndTheListTheGlides) {
  const struct {
    const char* keys;
    const char* transcript;      // after the banner
    const char* frequency_list;  // nullptr: not looked at
  } cases[] = {
      // LF works as Enter as well as CR; "y" starts the next pair on the same line.
      {"A-3a-14\nyc-1c-23\rN",
       "Starting note? A-3\r\n" "Ending note? A-1\r\n" "How many notes/frames? 4\r\n"
       "Another? Starting note? C-1\r\n" "Ending note? C-2\r\n" "How many notes/frames? 3\r\n" "Another? ",
       "440\r\n311.1269837220809\r\n219.9999999999999\r\n155.5634918610404\r\n"
       "65.40650177001953\r\n82.40702838003389\r\n103.8263497152889\r\n"},
      // H, digits and signs at the letter; b and a blank at the accidental; 0,
      // 8, 9 and letters at the octave; then an identical pair (a count is
      // asked first: C#5 and B#3 differ), refused counts, and stray keys at
      // "Another? ".
      {"h9#-cb 3#x0895" "b#3" "0\r-5\rabc\r1201\r\r1.6\r2.5\r" "qzN",
       "Starting note? C#5\r\n" "Ending note? B#3\r\n"
       "How many notes/frames? 0\r\n" "How many notes/frames? -5\r\n"
       "How many notes/frames? abc\r\n" "How many notes/frames? 1201\r\n"
       "How many notes/frames? \r\n" "How many notes/frames? 1.6\r\n"
       "How many notes/frames? 2.5\r\n" "Another? ",
       nullptr},
      {"c-3b#3e#2f-2b#3c-42\rn",
       "Starting note? C-3\r\n" "Ending note? B#3\r\n"
       "Start and end notes are identical. Try again.\r\n"
       "Starting note? E#2\r\n" "Ending note? F-2\r\n"
       "Start and end notes are identical. Try again.\r\n"
       "Starting note? B#3\r\n" "Ending note? C-4\r\n" "How many notes/frames? 2\r\n" "Another? ",
       "261.6260070800781\r\n369.9950474821659\r\n"},
  };
  for (const auto& c : cases) {
    ScratchDirectory directory;
    const ProcessResult result = run(directory, c.keys);
    EXPECT_EQ(result.out, kBanner + c.transcript) << c.keys;
    EXPECT_EQ(result.exit_status, 0) << c.keys;
    if (c.frequency_list != nullptr) {
      EXPECT_EQ(directory.read("freq.txt"), c.frequency_list) << c.keys;
    }
  }
}

TEST(PipedRun, TrackerTuningChangesOnlyTheFinePitch) {
  // 5173.47 Hz wants the period 21.62: E-7 at P80 plays the tracker's 21,
  // at P7F its 22.
  const std::string keys = "d#7f-73\rn";
  ScratchDirectory plain, tuned;
  const ProcessResult without = run(plain, keys);
  const ProcessResult with = run(tuned, keys, {"-t"});
  EXPECT_EQ(plain.read("pxx.txt"), "D#7 P80\r\nE-7 P80\r\nE-7 P80\r\n");
  EXPECT_EQ(with.exit_status, 0);
  EXPECT_EQ(with.out, without.out);
  EXPECT_EQ(with.err, "");
  EXPECT_EQ(tuned.read("freq.txt"), plain.read("freq.txt"));
  EXPECT_EQ(tuned.read("pxx.txt"), "D#7 P80\r\nE-7 P7F\r\nE-7 P80\r\n");
  const std::string module = tuned.read("pxx.ftm");
  ASSERT_EQ(module.size(), 2968u);
  EXPECT_EQ(module.substr(390, 10), note_row(1, 5, 7, 0x7F));
}

// -w adds pxx.wav beside the other three: the rows the module holds, 4409.92
// samples of two bytes each, after a 44-byte header.
TEST(PipedRun, InstrumentAllRowsAndPreviewShapeOnlyTheModuleAndThePreview) {
  // C-1 to A#7 in 1200 steps: five patterns' worth of rows.
  const std::string keys = "c-1a#71200\rn";
  ScratchDirectory plain;
  const ProcessResult without = run(plain, keys);
  ScratchDirectory tuned;
  run(tuned, keys, {"-t"});
  // Without -a, one line tells of the lines after the one pattern.
  const std::string left_out = "zentrill: lines 257 to 1200 of pxx.txt were left out of pxx.ftm";
  const std::string kept = " the first 256 lines without -a; -a keeps them\n";
  EXPECT_EQ(without.err, left_out + ", which holds" + kept);
  const struct {
    std::vector<std::string> arguments;
    bool tuned;
    std::size_t module_size;
    std::size_t preview_size = 0;  // 0: no pxx.wav
    std::string err = "";
  } cases[] = {{{"-i"}, false, 3191, 0, without.err},
               {{"-a"}, false, 13292},
               {{"-ti"}, true, 3191, 0, without.err},
               {{"-tia"}, true, 13515},
               {{"-tiaw"}, true, 13515, 44 + 2 * 5291902},
               {{"-w"}, false, 2968, 44 + 2 * 1128939, left_out + " and pxx.wav, which hold" + kept},
               // The kick's voice: the same notes and lines, rows of one frame.
               {{"-tiaw", "-c", "triangle", "-s", "1"}, true, 13515, 44 + 2 * 881984},
               {{"-w", "-s20", "--channel=pulse2"}, false, 2968, 44 + 2 * 3763131,
                left_out + " and pxx.wav, which hold" + kept}};
  for (const auto& c : cases) {
    const std::string name = testing::PrintToString(c.arguments);
    ScratchDirectory directory;
    const ProcessResult with = run(directory, keys, c.arguments);
    EXPECT_EQ(with.exit_status, 0) << name;
    EXPECT_EQ(with.out, without.out) << name;
    EXPECT_EQ(with.err, c.err) << name;
    EXPECT_EQ(directory.read("pxx.txt"), (c.tuned ? tuned : plain).read("pxx.txt")) << name;
    EXPECT_EQ(directory.read("pxx.ftm").size(), c.module_size) << name;
    EXPECT_EQ(directory.exists("pxx.wav"), c.preview_size > 0) << name;
    if (c.preview_size > 0) {
      EXPECT_EQ(directory.read("pxx.wav").size(), c.preview_size) << name;
    }
  }
}

const char* const kFiles[] = {"freq.txt", "pxx.txt", "pxx.ftm", "pxx.wav"};

// Glides as arguments write the dialogue's files for the same keys, notices
// included, and nothing on standard output.
TEST(PipedRun, GlidesAsArgumentsWriteTheFilesOfTheSameGlidesTyped) {
  const struct {
    std::vector<std::string> options, glides;
    const char* keys;
  } cases[] = {{{"-tiaw"}, {"a-1", "a-3", "4"}, "a-1a-34\rn"},
               {{"-a"}, {"c-1", "A#7", "1200", "b-7", "a-7", "2", "b#3", "c-4", "2"},
                "c-1a#71200\ryb-7a-72\ryb#3c-42\rn"}};
  for (const auto& c : cases) {
    ScratchDirectory typed, given;
    const ProcessResult dialogue = run(typed, c.keys, c.options);
    std::vector<std::string> arguments = c.options;
    arguments.insert(arguments.end(), c.glides.begin(), c.glides.end());
    const ProcessResult result = run(given, "", arguments);
    EXPECT_EQ(result.exit_status, 0) << c.keys;
    EXPECT_EQ(result.out, "") << c.keys;
    EXPECT_EQ(result.err, dialogue.err) << c.keys;
    for (const char* name : kFiles) EXPECT_EQ(given.read(name), typed.read(name)) << c.keys << name;
  }
}

// --from a freq.txt the program wrote gives the same files again; comments,
// blank lines and a last line without LF are taken; a bad line or a file
// that cannot be read changes nothing.
TEST(PipedRun, FromTakesAListOfFrequencies) {
  ScratchDirectory directory;
  run(directory, "a-1a-34\ryb-7a-72\rn", {"-tiaw"});
  std::vector<std::string> before;
  for (const char* name : kFiles) before.push_back(directory.read(name));
  run(directory, "", {"-tiaw", "--from", "freq.txt"});
  for (std::size_t i = 0; i < before.size(); ++i) EXPECT_EQ(directory.read(kFiles[i]), before[i]);
  const std::string list = "# A-1 up\n\n110\r\n155.56349186104046\n220\n311.126983722081";
  const ProcessResult piped = run(directory, list, {"-f", "-"});
  EXPECT_EQ(piped.exit_status, 0);
  EXPECT_EQ(directory.read("freq.txt"), "110\r\n155.5634918610405\r\n220\r\n311.126983722081\r\n");
  EXPECT_EQ(directory.read("pxx.txt"), "A-1 P80\r\nD#2 P80\r\nA-2 P80\r\nD#3 P80\r\n");
  EXPECT_EQ(directory.read("pxx.ftm").size(), 2968u);  // nothing left of the longer module before
  const struct {
    const char* file;
    const char* error;
  } refused[] = {{"-", "standard input, line 2: '1e400' is too large a number"},
                 {"missing.txt", "cannot read missing.txt: No such file or directory"}};
  for (const auto& r : refused) {
    const ProcessResult result = run(directory, "110\n1e400\n", {"-f", r.file});
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_EQ(result.err, "zentrill: " + std::string(r.error) + "; no file was changed\n");
    EXPECT_EQ(directory.read("pxx.txt"), "A-1 P80\r\nD#2 P80\r\nA-2 P80\r\nD#3 P80\r\n");
  }
}

TEST(PipedRun, DirectoryWritesTheFilesThere) {
  ScratchDirectory directory;
  std::filesystem::create_directory(directory.path() / "kick");
  run(directory, "", {"-C", "kick", "a-4", "a-1", "8"});
  EXPECT_EQ(directory.names(), std::vector<std::string>{"kick"});
  EXPECT_EQ(directory.read("kick/pxx.ftm").size(), 2968u);
}

// Another run holds the folder for 1.5 s (flock(1) on it, as each run locks
// it to move its files): this one's move waits, and says so after a second.
TEST(PipedRun, TheMoveWaitsForAnotherRunsInTheSameFolder) {
  ScratchDirectory directory;
  const std::vector<std::string> arguments = {
      "-c", "flock . sh -c ': >locked; sleep 1.5' & until [ -e locked ]; do sleep 0.01; done; exec \"$0\"",
      ZENTRILL_BINARY};
  const ProcessResult result =
      test_support::run_process("/bin/sh", arguments, "a-1a-32\rn", directory.path());
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.err, "zentrill: waiting for another run in this folder to finish\n");
  EXPECT_EQ(directory.read("freq.txt"), "110\r\n220\r\n");
}

// Standard output on a full disk: one line says so and the status is 1, and
// a run still writes its files. A closed standard output or error takes none
// of them (B-7 gives notices to write).
TEST(PipedRun, StandardOutputThatCannotBeWrittenIsToldWithStatusOne) {
  for (const std::vector<std::string>& redirection_and_options :
       {std::vector<std::string>{">/dev/full"}, {">/dev/full", "--help"}, {">/dev/full", "--version"},
        {">&-"}, {"2>&-"}}) {
    const std::string& redirection = redirection_and_options[0];
    ScratchDirectory directory;
    std::vector<std::string> arguments = {"-c", "exec \"$0\" \"$@\" " + redirection, ZENTRILL_BINARY};
    arguments.insert(arguments.end(), redirection_and_options.begin() + 1, redirection_and_options.end());
    const ProcessResult result =
        test_support::run_process("/bin/sh", arguments, "a-1a-32\ryb-7a-72\rn", directory.path());
    const std::string name = testing::PrintToString(redirection_and_options);
    const bool full = redirection == ">/dev/full";
    const bool run = redirection_and_options.size() == 1;
    EXPECT_EQ(result.exit_status, full ? 1 : 0) << name;
    const std::string told = "zentrill: cannot write standard output: No space left on device\n";
    EXPECT_TRUE(result.err.ends_with(full ? told : "")) << name;
    EXPECT_EQ(directory.read("pxx.txt"), run ? "A-1 P80\r\nA-2 P80\r\n" : "") << name;
    EXPECT_EQ(directory.read("pxx.ftm").size(), run ? 2968u : 0u) << name;
  }
}

// A write past the file-size limit is a failed write like any other: told,
// nothing replaced, no pending file left (not an end by SIGXFSZ).
TEST(PipedRun, AFileSizeLimitIsAFailedWrite) {
  ScratchDirectory directory;
  directory.write("pxx.ftm", "earlier module");
  // 1000 blocks: the long glide's module fits, its 10 MB preview does not.
  const std::vector<std::string> arguments = {"-c", "ulimit -f 1000 && exec \"$0\" -tiaw", ZENTRILL_BINARY};
  const ProcessResult result =
      test_support::run_process("/bin/sh", arguments, "c-1a#71200\rn", directory.path());
  EXPECT_EQ(result.signal, 0);
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.err, "zentrill: cannot write pxx.wav: File too large; no file was changed\n");
  EXPECT_EQ(directory.names(), std::vector<std::string>{"pxx.ftm"});
  EXPECT_EQ(directory.read("pxx.ftm"), "earlier module");
}

// Help and version, and each way a command line is refused (its words are
// checked at the command line: here one line and status 2), touch no file.
TEST(PipedRun, HelpVersionAndRefusalsTouchNoFile) {
  const struct {
    std::vector<std::string> arguments;
    int exit_status;
  } cases[] = {
      {{"--help"}, 0},
      {{"--version"}, 0},
      {{"-x"}, 2},
      {{"pxx.ftm"}, 2},
      {{"--help", "extra"}, 2},
      {{"a-1", "a-3", "4", "b#3", "c-3", "4"}, 2},  // a glide refused after one taken
      {{"-C", "missing", "a-1", "a-3", "4"}, 2},    // a folder that is not there
  };
  for (const auto& c : cases) {
    const std::string name = testing::PrintToString(c.arguments);
    ScratchDirectory directory;
    directory.write("pxx.ftm", "earlier module");
    const ProcessResult result = run(directory, "a-1a-32\rn", c.arguments);
    EXPECT_EQ(result.exit_status, c.exit_status) << name;
    if (c.exit_status == 0) {
      EXPECT_NE(result.out.find("zentrill"), std::string::npos) << name;
      EXPECT_EQ(result.err, "") << name;
    } else {
      EXPECT_EQ(result.out, "") << name;
      EXPECT_TRUE(result.err.starts_with("zentrill: ")) << name;
      EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "one line: " << result.err;
    }
    EXPECT_EQ(directory.names(), std::vector<std::string>{"pxx.ftm"}) << name;
    EXPECT_EQ(directory.read("pxx.ftm"), "earlier module") << name;
  }
}

// A file that cannot be replaced is named before anything is shown, and
// nothing is touched; a link to a regular file stands for its target, which
// is replaced in its own folder.
TEST(PipedRun, EveryFileIsCheckedBeforeTheFirstPrompt) {
  const struct {
    const char* in_place_of_pxx_ftm;
    const char* reason;  // nullptr: replaced
  } cases[] = {
      {"a directory", "Is a directory"},
      {"a FIFO", "not a regular file"},
      {"a link to /dev/null", "not a regular file"},
      {"a link to /dev/full", "not a regular file"},
      {"a link to a directory", "Is a directory"},
      {"a link to nothing", "a symbolic link to nothing"},
      {"a link to freq.txt", "the same file as freq.txt"},
      {"a link to a file in another folder", nullptr},
  };
  for (const auto& c : cases) {
    ScratchDirectory directory;
    ScratchDirectory other;
    other.write("module.ftm", "earlier module");
    const std::string what = c.in_place_of_pxx_ftm;
    const std::filesystem::path module = directory.path() / "pxx.ftm";
    if (what == "a directory") std::filesystem::create_directory(module);
    if (what == "a FIFO") {
      ASSERT_EQ(::mkfifo(module.c_str(), 0666), 0);
    }
    if (what == "a link to /dev/null") std::filesystem::create_symlink("/dev/null", module);
    if (what == "a link to /dev/full") std::filesystem::create_symlink("/dev/full", module);
    if (what == "a link to a directory") std::filesystem::create_symlink(other.path(), module);
    if (what == "a link to nothing") std::filesystem::create_symlink(other.path() / "missing", module);
    if (what == "a link to freq.txt") std::filesystem::create_symlink("freq.txt", module);
    if (what == "a link to a file in another folder") {
      std::filesystem::create_symlink(other.path() / "module.ftm", module);
    }
    directory.write("freq.txt", "earlier list");
    const ProcessResult result = run(directory, "a-1a-32\rn");
    if (c.reason == nullptr) {
      EXPECT_EQ(result.exit_status, 0) << what;
      EXPECT_EQ(directory.read("freq.txt"), "110\r\n220\r\n") << what;
      EXPECT_TRUE(std::filesystem::is_symlink(module)) << what;
      EXPECT_EQ(other.read("module.ftm").size(), 2968u) << what;
      EXPECT_EQ(directory.names(), (std::vector<std::string>{"freq.txt", "pxx.ftm", "pxx.txt"})) << what;
      EXPECT_EQ(other.names(), std::vector<std::string>{"module.ftm"}) << what;
      continue;
    }
    EXPECT_EQ(result.exit_status, 1) << what;
    EXPECT_EQ(result.out, "") << what;
    EXPECT_EQ(result.err,
              std::string("zentrill: cannot replace pxx.ftm: ") + c.reason + "; no file was changed\n")
        << what;
    EXPECT_EQ(directory.names(), (std::vector<std::string>{"freq.txt", "pxx.ftm"})) << what;
    EXPECT_EQ(directory.read("freq.txt"), "earlier list") << what;
  }
}

TEST(PipedRun, AFolderThatCannotBeWrittenStopsTheRun) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes in any folder";
  ScratchDirectory directory;
  directory.write("pxx.txt", "earlier list");
  std::filesystem::permissions(directory.path(),
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const ProcessResult result = run(directory, "a-1a-32\rn");
  std::filesystem::permissions(directory.path(), std::filesystem::perms::owner_all);
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "zentrill: cannot replace freq.txt: Permission denied; no file was changed\n");
  EXPECT_EQ(directory.names(), std::vector<std::string>{"pxx.txt"});
}

// A file replaced keeps its permission bits, and run by root its owner and
// group; a new one gets 0666 less the umask. The program reads back what it
// wrote even when the umask leaves it no read permission.
TEST(PipedRun, PermissionBitsAreKeptAndAWriteOnlyUmaskLosesNothing) {
  ScratchDirectory directory;
  directory.write("pxx.ftm", "earlier module");
  std::filesystem::permissions(directory.path() / "pxx.ftm", std::filesystem::perms{0640});
  const bool as_root = ::geteuid() == 0;
  if (as_root) {
    ASSERT_EQ(::chown((directory.path() / "pxx.ftm").c_str(), 1234, 5678), 0);
  }
  const mode_t umask_before = ::umask(0466);
  const ProcessResult result = run(directory, "a-1a-32\rn");
  ::umask(umask_before);
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.err, "");
  const auto permissions = [&](const char* name) {
    return std::filesystem::status(directory.path() / name).permissions();
  };
  EXPECT_EQ(permissions("freq.txt"), std::filesystem::perms{0200});
  EXPECT_EQ(permissions("pxx.txt"), std::filesystem::perms{0200});
  EXPECT_EQ(permissions("pxx.ftm"), std::filesystem::perms{0640});
  struct stat module {};
  ASSERT_EQ(::stat((directory.path() / "pxx.ftm").c_str(), &module), 0);
  if (as_root) {
    EXPECT_EQ(module.st_uid, 1234u);
    EXPECT_EQ(module.st_gid, 5678u);
  }
  for (const char* name : {"freq.txt", "pxx.txt"}) {
    std::filesystem::permissions(directory.path() / name, std::filesystem::perms{0600});
  }
  EXPECT_EQ(directory.read("pxx.txt"), "A-1 P80\r\nA-2 P80\r\n");
  EXPECT_EQ(directory.read("pxx.ftm").substr(400, 1), std::string(1, 2));  // the filler rows start at row 2
}

}  // namespace
}  // namespace zentrill
