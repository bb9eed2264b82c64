#include "driver/program.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sstream>

#include "driver/command_line.h"
#include "scripted_terminal.h"
#include "textio/memory_file_system.h"

namespace zentrill {
namespace {

using testing::ScriptedTerminal;

const std::string kBanner = "Zentrill v1 - NES pitch glides, by the Zentrill developers\r\n\r\n";

struct ProgramRun {
  RunOutcome outcome;
  std::string diagnostics;
};

ProgramRun run(ScriptedTerminal& terminal, MemoryFileSystem& files) {
  std::ostringstream diagnostics;
  const RunOutcome outcome = run_program(terminal, files, diagnostics);
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
}

TEST(Program, ClearsTheScreenOnlyOnATerminal) {
  ScriptedTerminal terminal("n");
  terminal.set_output_is_terminal(true);
  MemoryFileSystem files;
  run(terminal, files);
  EXPECT_FALSE(terminal.output().starts_with(kBanner));
  EXPECT_NE(terminal.output().find(kBanner), std::string::npos);
  EXPECT_EQ(terminal.output()[0], '\x1b');
}

TEST(Program, AFileThatCannotBeCreatedEndsTheRunWithStatusOne) {
  for (const char* name : {"freq.txt", "pxx.txt", "pxx.ftm"}) {
    ScriptedTerminal terminal("a-1a-32\rn");
    MemoryFileSystem files;
    files.uncreatable.insert(name);
    const ProgramRun result = run(terminal, files);
    EXPECT_EQ(result.outcome.exit_status, 1) << name;
    EXPECT_EQ(result.diagnostics, std::string("zentrill: cannot write ") + name + ": Is a directory\n");
  }
  // freq.txt is created before any key is read: no dialogue for nothing.
  ScriptedTerminal terminal("a-1a-32\rn");
  MemoryFileSystem files;
  files.uncreatable.insert("freq.txt");
  run(terminal, files);
  EXPECT_EQ(terminal.output(), kBanner);
}

TEST(Program, AFullDiskKeepsTheFilesWrittenBefore) {
  ScriptedTerminal terminal("a-1a-32\rn");
  MemoryFileSystem files;
  files.capacity = 10 + 18 + 1000;  // freq.txt and pxx.txt fit, the module does not
  const ProgramRun result = run(terminal, files);
  EXPECT_EQ(result.outcome.exit_status, 1);
  EXPECT_EQ(result.diagnostics, "zentrill: cannot write pxx.ftm: No space left on device\n");
  EXPECT_EQ(files.files["freq.txt"], "110\r\n220\r\n");
  EXPECT_EQ(files.files["pxx.txt"], "A-1 P80\r\nA-2 P80\r\n");
  EXPECT_EQ(files.files["pxx.ftm"].size(), 1000u);
}

TEST(Program, ASignalWhileWaitingClosesTheFilesAndEndsByIt) {
  for (const int signal_number : {SIGINT, SIGTERM, SIGQUIT}) {
    ScriptedTerminal terminal;
    terminal.type("a-1a-32\ryc-").pause().signal(signal_number).type("3c-42\rn");
    MemoryFileSystem files;
    const ProgramRun result = run(terminal, files);
    EXPECT_EQ(result.outcome.ending_signal, signal_number);
    EXPECT_EQ(result.outcome.exit_status, 128 + signal_number);
    EXPECT_EQ(files.files["freq.txt"], "110\r\n220\r\n");  // kept, closed
    EXPECT_FALSE(files.files.contains("pxx.txt"));
    EXPECT_EQ(result.diagnostics, "");
  }
}

TEST(Program, OutOfRangeFrequenciesAreToldOnce) {
  ScriptedTerminal terminal("b-7a-72\rn");
  MemoryFileSystem files;
  const ProgramRun result = run(terminal, files);
  EXPECT_EQ(result.outcome.exit_status, 0);
  EXPECT_EQ(files.files["pxx.txt"], "");
  ASSERT_FALSE(result.diagnostics.empty());
  EXPECT_TRUE(result.diagnostics.starts_with("zentrill: line 1 of freq.txt"));
  EXPECT_EQ(result.diagnostics.find('\n'), result.diagnostics.size() - 1);
}

// On a terminal the run ends with the cursor at the start of a line, whatever
// ends it; through a pipe the transcript ends where the dialogue did.
TEST(Program, OnATerminalEveryWayOutLeavesTheCursorAtALinesStart) {
  struct WayOut {
    ScriptedTerminal terminal;
    const char* uncreatable;
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
      if (*way.uncreatable != '\0') files.uncreatable.insert(way.uncreatable);
      run(terminal, files);
      if (on_terminal) {
        EXPECT_TRUE(terminal.output().ends_with("\r\n")) << way.ending;
        EXPECT_EQ(terminal.screen().column(), 0u) << way.ending;
      } else {
        EXPECT_TRUE(terminal.output().ends_with(way.ending)) << way.ending;
      }
    }
  }
}

TEST(CommandLine, OptionsAndRefusals) {
  const auto parse = [](std::initializer_list<const char*> arguments) {
    return parse_command_line(std::span<const char* const>(arguments.begin(), arguments.size()));
  };
  EXPECT_EQ(parse({}).action, CommandLineAction::run);
  EXPECT_EQ(parse({"--help"}).action, CommandLineAction::show_help);
  EXPECT_EQ(parse({"--version"}).action, CommandLineAction::show_version);
  EXPECT_TRUE(parse({"--version"}).text.starts_with("zentrill 1.0"));
  for (const auto& refused : {parse({"-h"}), parse({"x"}), parse({"--help", "x"}), parse({""})}) {
    EXPECT_EQ(refused.action, CommandLineAction::refuse);
    EXPECT_TRUE(refused.text.starts_with("zentrill: unexpected argument '"));
    EXPECT_EQ(refused.text.find('\n'), refused.text.size() - 1);
  }
  EXPECT_NE(parse({"--help", "x"}).text.find("'x'"), std::string::npos);
}

}  // namespace
}  // namespace zentrill
