#include "driver/program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstddef>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "driver/command_line.h"
#include "memory_file_system.h"
#include "scripted_terminal.h"

namespace zentrill {
namespace {

using test_support::MemoryFileSystem;
using test_support::ScriptedTerminal;

const std::string kBanner = "Zentrill v1 - NES pitch glides, by the Zentrill developers\r\n\r\n";

struct ProgramRun {
  RunOutcome outcome;
  std::string diagnostics;
};

ProgramRun run(ScriptedTerminal& terminal, MemoryFileSystem& files, const Options& options = {},
               const GlideSource& glides = Dialogue{}) {
  std::ostringstream diagnostics;
  const RunOutcome outcome = run_program(terminal, files, diagnostics, options, glides);
  return {outcome, diagnostics.str()};
}

TEST(Program, RunsThePhasesInOrderAndSucceeds) {
  ScriptedTerminal terminal("a-1a-34\rn");
  MemoryFileSystem files;
  const ProgramRun result = run(terminal, files);
  EXPECT_EQ(result.outcome.exit_status, 0);
  EXPECT_FALSE(result.outcome.ending_signal);
  EXPECT_EQ(result.diagnostics, "");
  EXPECT_TRUE(terminal.output().starts_with(kBanner + "Starting note? "));
  EXPECT_EQ(files.files["pxx.txt"], "A-1 P80\r\nD#2 P80\r\nA-2 P80\r\nD#3 P80\r\n");
  EXPECT_EQ(files.files["pxx.ftm"].size(), 2968u);
  // While the files were moved into place.
  EXPECT_EQ(terminal.holds(), 1);
  EXPECT_FALSE(terminal.terminating_signals_held());
}

// Each phase hands its files on closed and uses the slots it means: a file
// left open across phases would be open still when the next phase opens it
// again, or would refuse that open and leave the next file short, one left
// open at the end would be let go unclosed, and a write or read on the wrong
// slot would leave pxx.txt short.
TEST(Program, EveryFileIsClosedBeforeItIsOpenedAgain) {
  const struct {
    const char* run;
    const char* keys;
    std::size_t pitch_lines;
    const char* uncreatable = "";
    Options options = {};
  } cases[] = {
      {"one glide", "a-1a-34\rn", 4},
      {"glides after a retry and a bad count", "c-3c-3c-3c#32\ryg#2d-50\r7.5\rn", 10},
      {"more lines than pattern rows", "c-1a#71200\rn", 1200},
      {"a frequency out of range", "b-7a-72\rn", 0},
      {"the keys end inside a glide", "a-1a-34\rya-1", 4},
      {"no glide at all", "n", 0},
      {"pxx.txt cannot be created", "a-1a-32\rn", 0, "pxx.txt"},
      {"pxx.ftm cannot be created", "a-1a-32\rn", 0, "pxx.ftm"},
      {"with the preview", "a-1a-32\rn", 2, "", {.all_rows = true, .preview = true}},
      {"pxx.wav cannot be created", "a-1a-32\rn", 0, "pxx.wav", {.preview = true}},
      {"pxx.wav in the way, but no preview", "a-1a-32\rn", 2, "pxx.wav"},
  };
  for (const auto& c : cases) {
    ScriptedTerminal terminal(c.keys);
    MemoryFileSystem files;
    files.uncreatable.insert(c.uncreatable);
    run(terminal, files, c.options);
    EXPECT_EQ(files.files.contains("pxx.wav"), c.options.preview && *c.uncreatable == '\0') << c.run;
    EXPECT_EQ(std::count(files.files["pxx.txt"].begin(), files.files["pxx.txt"].end(), '\n'),
              static_cast<std::ptrdiff_t>(c.pitch_lines))
        << c.run;
    EXPECT_EQ(files.opens_while_open, 0) << c.run;
    EXPECT_EQ(files.writers_not_closed, 0) << c.run;
  }
}

// With -w, pxx.wav is one of the files.
TEST(Program, AFileThatCannotBeReplacedStopsTheRunBeforeAnythingIsShown) {
  for (const char* name : {"freq.txt", "pxx.txt", "pxx.ftm", "pxx.wav"}) {
    ScriptedTerminal terminal("a-1a-32\rn");
    terminal.set_output_is_terminal(true);
    MemoryFileSystem files;
    files.uncreatable.insert(name);
    const ProgramRun result = run(terminal, files, {.preview = true});
    EXPECT_EQ(result.outcome.exit_status, 1) << name;
    EXPECT_EQ(result.diagnostics,
              std::string("zentrill: cannot replace ") + name + ": Is a directory; no file was changed\n");
    EXPECT_EQ(terminal.output(), "") << name;
    EXPECT_TRUE(files.files.empty()) << name;
  }
}

// After every way out the folder holds the three files as they were before
// the run, or the three this run made, and nothing else.
TEST(Program, EveryWayOutLeavesTheFilesFromBeforeOrThisRunsAndNothingBeside) {
  const std::map<std::string, std::string> before = {
      {"freq.txt", "55\r\n"}, {"pxx.txt", "A-0 P80\r\n"}, {"pxx.ftm", "an earlier module"}};
  const std::string interrupted = "zentrill: interrupted; no file was changed\n";
  const std::string no_glide = "zentrill: no glide was entered; no file was changed\n";
  MemoryFileSystem this_run;
  ScriptedTerminal one_glide("a-1a-32\rn");
  run(one_glide, this_run);
  struct WayOut {
    const char* way;
    ScriptedTerminal terminal;
    bool replaced;  // this run's files, or those from before
    int exit_status;
    std::string diagnostics;
    MemoryFileSystem faults{};
  };
  std::vector<WayOut> ways = {
      {"N after a glide", ScriptedTerminal("a-1a-32\rn"), true, 0, ""},
      {"a hang-up after a glide", ScriptedTerminal("a-1a-32\r"), true, 0, ""},
      {"a hang-up in the next glide", ScriptedTerminal("a-1a-32\ryc-3c-41"), true, 0, ""},
      {"the input ends before a glide", ScriptedTerminal("a-1a-32"), false, 0, no_glide},
      {"no input", ScriptedTerminal(""), false, 0, no_glide},
      {"Ctrl-C at the starting note", ScriptedTerminal(), false, 128 + SIGINT, interrupted},
      {"Ctrl-C at the ending note", ScriptedTerminal(), false, 128 + SIGINT, interrupted},
      {"Ctrl-C at the count", ScriptedTerminal(), false, 128 + SIGINT, interrupted},
      {"Ctrl-C at Another?", ScriptedTerminal(), false, 128 + SIGINT, interrupted},
      {"SIGQUIT at the first prompt", ScriptedTerminal(), false, 128 + SIGQUIT, interrupted},
      {"SIGTERM after the dialogue", ScriptedTerminal(), false, 128 + SIGTERM, interrupted},
      {"a closed pipe", ScriptedTerminal(), false, 128 + SIGPIPE, ""},
      {"a full disk", ScriptedTerminal("a-1a-32\rn"), false, 1,
       "zentrill: cannot write pxx.ftm: No space left on device; no file was changed\n"},
      {"a failed read", ScriptedTerminal("a-1a-32\rn"), false, 1,
       "zentrill: cannot read pxx.txt: Input/output error; no file was changed\n"},
      {"memory runs out", ScriptedTerminal("a-1a-32\rn"), false, 1,
       "zentrill: std::bad_alloc; no file was changed\n"},
      {"SIGTERM while the files are moved", ScriptedTerminal("a-1a-32\rn"), true, 128 + SIGTERM,
       "zentrill: interrupted after the files were replaced\n"},
      {"the input ends inside a note", ScriptedTerminal("a-"), false, 0, no_glide},
  };
  ways[5].terminal.type("a-1a-32\ry").pause().signal(SIGINT);
  ways[6].terminal.type("a-1a-32\ryc-3").pause().signal(SIGINT);
  ways[7].terminal.type("a-1a-32\ryc-3c-41").pause().signal(SIGINT);
  ways[8].terminal.type("a-1a-32\r").pause().signal(SIGINT);
  ways[9].terminal.type("a-").pause().signal(SIGQUIT);
  ways[10].terminal.type("a-1a-32\rn").signal(SIGTERM);
  ways[11].terminal.type("a-1a-32\r").signal(SIGPIPE);
  ways[12].faults.capacity = 10 + 18 + 1000 + 30;  // freq.txt and pxx.txt fit beside the files before
  ways[13].faults.unreadable.insert("pxx.txt");
  ways[14].faults.out_of_memory.insert("pxx.ftm");
  ways[15].terminal.signal_while_held(SIGTERM);
  for (WayOut& way : ways) {
    way.faults.files = before;
    const ProgramRun result = run(way.terminal, way.faults);
    EXPECT_EQ(way.faults.files, way.replaced ? this_run.files : before) << way.way;
    EXPECT_EQ(result.outcome.exit_status, way.exit_status) << way.way;
    EXPECT_EQ(result.outcome.ending_signal.has_value(), way.exit_status > 128) << way.way;
    EXPECT_EQ(result.diagnostics, way.diagnostics) << way.way;
    EXPECT_FALSE(way.terminal.terminating_signals_held()) << way.way;
  }
}

// A move into place that fails after others succeeded leaves a mixed set:
// the message names the files replaced already, and no pending file stays.
TEST(Program, AFailedMoveNamesTheFilesReplacedAlready) {
  const struct {
    const char* unmovable;
    const char* left;
  } cases[] = {
      {"freq.txt", "no file was changed"},
      {"pxx.txt", "freq.txt was replaced already"},
      {"pxx.wav", "freq.txt, pxx.txt and pxx.ftm were replaced already"},
  };
  for (const auto& c : cases) {
    ScriptedTerminal terminal("a-1a-32\rn");
    MemoryFileSystem files;
    files.unmovable.insert(c.unmovable);
    const ProgramRun result = run(terminal, files, {.preview = true});
    EXPECT_EQ(result.outcome.exit_status, 1) << c.unmovable;
    EXPECT_EQ(result.diagnostics, std::string("zentrill: cannot replace ") + c.unmovable +
                                      ": Operation not permitted; " + c.left + "\n");
    for (const auto& [name, contents] : files.files) EXPECT_NE(name[0], '.') << c.unmovable;
  }
}

// With no line playable nothing is replaced: an empty pitch list and a module
// of filler rows are worth less than the files from before.
TEST(Program, OutOfRangeFrequenciesAreToldAtOnceAndAfterTheDialogue) {
  ScriptedTerminal terminal("b-7a-72\rn");
  MemoryFileSystem files;
  files.files["pxx.txt"] = "A-1 P80\r\n";
  const ProgramRun result = run(terminal, files, {.preview = true});
  EXPECT_EQ(result.outcome.exit_status, 1);
  EXPECT_EQ(files.files, (std::map<std::string, std::string>{{"pxx.txt", "A-1 P80\r\n"}}));
  EXPECT_TRUE(result.diagnostics.starts_with("zentrill: step 1 of this glide"));
  const std::size_t second_line = result.diagnostics.find('\n') + 1;
  EXPECT_EQ(result.diagnostics.substr(second_line),
            "zentrill: no line of the list is within the playable range of about 54.61 to 7714.54 Hz; "
            "no file was changed\n");
}

// On a terminal the screen is cleared first and the run ends with the cursor
// at the start of a line, whatever ends it; through a pipe the transcript
// starts with the banner and ends where the dialogue did.
TEST(Program, OnATerminalEveryWayOutLeavesTheCursorAtALinesStart) {
  struct WayOut {
    ScriptedTerminal terminal;
    const char* unreadable;
    std::string ending;  // of the transcript through a pipe
  };
  std::vector<WayOut> ways;
  ways.push_back({ScriptedTerminal("a-1a-34\rn"), "", "Another? "});
  ways.push_back({ScriptedTerminal("a-1a-312"), "", "How many notes/frames? "});  // the input ends
  ways.push_back({ScriptedTerminal("a-1a-34\rn"), "pxx.txt", "Another? "});
  ways.push_back({ScriptedTerminal("a-1a-312"), "", "How many notes/frames? "});
  ways.back().terminal.type("3").pause().signal(SIGTERM);
  for (WayOut& way : ways) {
    for (const bool on_terminal : {false, true}) {
      ScriptedTerminal terminal = way.terminal;
      terminal.set_output_is_terminal(on_terminal);
      MemoryFileSystem files;
      files.unreadable.insert(way.unreadable);
      run(terminal, files);
      EXPECT_EQ(terminal.output().starts_with(kBanner), !on_terminal) << way.ending;
      EXPECT_NE(terminal.output().find(kBanner), std::string::npos) << way.ending;
      if (on_terminal) {
        EXPECT_EQ(terminal.output()[0], '\x1b') << way.ending;
        EXPECT_TRUE(terminal.output().ends_with("\r\n")) << way.ending;
        EXPECT_EQ(terminal.screen().column(), 0u) << way.ending;
      } else {
        EXPECT_TRUE(terminal.output().ends_with(way.ending)) << way.ending;
      }
    }
  }
}

CommandLine parse(const std::vector<const char*>& arguments) {
  return parse_command_line(std::span<const char* const>(arguments.data(), arguments.size()));
}

TEST(CommandLine, HelpAndVersionStandAlone) {
  EXPECT_EQ(parse({"--help"}).action, CommandLineAction::show_help);
  EXPECT_EQ(parse({"-h"}).text, parse({"--help"}).text);
  for (const char* option :
       {"--tracker-tuning", "--instrument", "--all-rows", "--wav", "--channel", "--speed", "--pal", "-t,",
        "-i,", "-a,", "-w,", "-c,", "-s,", "-p,", "-h,", "--from FILE", "--directory DIR",
        "zentrill -tiaw -c triangle -s 1"}) {
    EXPECT_NE(parse({"--help"}).text.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(parse({"--version"}).action, CommandLineAction::show_version);
  EXPECT_TRUE(parse({"--version"}).text.starts_with("zentrill 1.0"));
}

TEST(CommandLine, OptionsAreTakenInAnyOrderClusteredOrRepeated) {
  const struct {
    std::vector<const char*> arguments;
    bool tracker_tuning;
    bool instrument;
    bool all_rows;
    bool preview = false;
    Voice voice = {};
  } cases[] = {
      {{}, false, false, false},
      {{"-t"}, true, false, false},
      {{"--tracker-tuning"}, true, false, false},
      {{"-i"}, false, true, false},
      {{"--instrument"}, false, true, false},
      {{"-a"}, false, false, true},
      {{"--all-rows"}, false, false, true},
      {{"-t", "-i"}, true, true, false},
      {{"-ti"}, true, true, false},
      {{"-tia"}, true, true, true},
      {{"-ait"}, true, true, true},
      {{"--instrument", "--tracker-tuning"}, true, true, false},
      {{"--all-rows", "-it"}, true, true, true},
      {{"-tt", "-t", "--tracker-tuning"}, true, false, false},
      {{"-w"}, false, false, false, true},
      {{"--wav"}, false, false, false, true},
      {{"-tiaw"}, true, true, true, true},
      {{"-w", "--all-rows"}, false, false, true, true},
      {{"--instr", "-w", "--"}, false, true, false, true},
      {{"-c", "pulse2"}, false, false, false, false, {Channel::pulse2, Machine::ntsc, 6}},
      {{"--channel=triangle", "-s20"}, false, false, false, false, {Channel::triangle, Machine::ntsc, 20}},
      {{"-tiaws1", "-c", "triangle"}, true, true, true, true, {Channel::triangle, Machine::ntsc, 1}},
      {{"--pal", "--speed", "07"}, false, false, false, false, {Channel::pulse1, Machine::pal, 7}},
      {{"-ps", "9", "-c", "pulse1"}, false, false, false, false, {Channel::pulse1, Machine::pal, 9}},
  };
  for (const auto& c : cases) {
    const CommandLine command_line = parse(c.arguments);
    const std::string given = testing::PrintToString(c.arguments);
    ASSERT_EQ(command_line.action, CommandLineAction::run) << given;
    EXPECT_EQ(command_line.options.fine_pitch == FinePitch::nearest_period, c.tracker_tuning) << given;
    EXPECT_EQ(command_line.options.instrument, c.instrument) << given;
    EXPECT_EQ(command_line.options.all_rows, c.all_rows) << given;
    EXPECT_EQ(command_line.options.preview, c.preview) << given;
    EXPECT_EQ(command_line.options.voice.channel, c.voice.channel) << given;
    EXPECT_EQ(command_line.options.voice.machine, c.voice.machine) << given;
    EXPECT_EQ(command_line.options.voice.speed, c.voice.speed) << given;
  }
}

// Words that are not options are glides of three: START END STEPS.
TEST(CommandLine, OperandsAreGlidesAndFromAndDirectoryTakeTheirValue) {
  const CommandLine glides = parse({"-t", "C#4", "b#3", "0012", "--", "a-7", "a-1", "1200"});
  ASSERT_EQ(glides.glides.size(), 2u);
  EXPECT_EQ(glides.glides[0].start.letter, 'C');
  EXPECT_EQ(glides.glides[0].end.accidental, '#');
  EXPECT_EQ(glides.glides[0].step_count, 12.0f);
  EXPECT_EQ(glides.glides[1].start.octave, 7.0f);
  EXPECT_EQ(glides.glides[1].step_count, 1200.0f);
  const CommandLine listed = parse({"--from", "-", "-C", "kick"});
  EXPECT_EQ(listed.frequency_list, "-");
  EXPECT_EQ(listed.directory, "kick");
}

// A refusal names the whole argument, or the first unknown letter of a
// cluster of option letters.
TEST(CommandLine, AnythingElseIsRefusedNamingTheArgumentOrTheLetter) {
  const struct {
    std::vector<const char*> arguments;
    const char* refusal;
  } cases[] = {
      {{"x"}, "'x' is not a starting note: a letter A-G, - or #, an octave 1-7, as a-1 or C#4"},
      {{"--", "-t"}, "'-t' is not a starting note: a letter A-G, - or #, an octave 1-7, as a-1 or C#4"},
      {{""}, "'' is not a starting note: a letter A-G, - or #, an octave 1-7, as a-1 or C#4"},
      {{"-t", "-"}, "'-' is not a starting note: a letter A-G, - or #, an octave 1-7, as a-1 or C#4"},
      {{"a-1", "bb3", "4"}, "'bb3' is not an ending note: there is no flat, Bb is A#"},
      {{"Cb3"}, "'Cb3' is not a starting note: there is no flat, Cb is B- an octave down"},
      {{"b#3", "c-3", "4"}, "'b#3' and 'c-3' are the same note: a glide joins two"},
      {{"a-1", "a-3", "1201"}, "'1201' is not a step count: a whole number from 2 to 1200"},
      {{"a-1", "a-3", "4.0"}, "'4.0' is not a step count: a whole number from 2 to 1200"},
      {{"a-1", "a-3", "4", "c-1"}, "an ending note was expected after 'c-1'"},
      {{"a-1", "a-3"}, "a step count was expected after 'a-3'"},
      {{"a-1", "-f", "list"}, "'a-1' with --from: glides come from the list or the arguments"},
      {{"-x"}, "unknown option 'x'"},
      {{"-tx"}, "unknown option 'x'"},
      {{"-tixa"}, "unknown option 'x'"},
      {{"-tXy"}, "unknown option 'X'"},
      {{"-T"}, "unknown option 'T'"},
      {{"--instrumental"}, "unknown option '--instrumental'"},
      {{"--tracker-tuning=1"}, "option '--tracker-tuning' takes no value"},
      {{"--help", "x"}, "--help stands alone"},
      {{"-h", "-t"}, "--help stands alone"},
      {{"-t", "--help"}, "--help stands alone"},
      {{"-th"}, "--help stands alone"},
      {{"--version", "--help"}, "--version stands alone"},
      {{"-c", "noise"}, "channel 'noise' is not pulse1, pulse2 or triangle"},
      {{"--channel=Triangle"}, "channel 'Triangle' is not pulse1, pulse2 or triangle"},
      {{"-s", "0"}, "speed '0' is not a whole number from 1 to 20"},
      {{"-s21"}, "speed '21' is not a whole number from 1 to 20"},
      {{"--speed=+6"}, "speed '+6' is not a whole number from 1 to 20"},
      {{"-s", "6.0"}, "speed '6.0' is not a whole number from 1 to 20"},
      {{"-s", "99999999999999999999"}, "speed '99999999999999999999' is not a whole number from 1 to 20"},
      {{"-ts"}, "option '-s' needs a value"},
      {{"--pal=1"}, "option '--pal' takes no value"},
  };
  for (const auto& c : cases) {
    const CommandLine refused = parse(c.arguments);
    const std::string given = testing::PrintToString(c.arguments);
    EXPECT_EQ(refused.action, CommandLineAction::refuse) << given;
    EXPECT_EQ(refused.text, "zentrill: " + std::string(c.refusal) +
                                " (usage: zentrill [OPTION]... [START END STEPS]... | --help)\n")
        << given;
  }
}

}  // namespace
}  // namespace zentrill
