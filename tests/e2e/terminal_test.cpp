// The built program on a pseudo-terminal, as in a terminal window: the screen
// it writes, the keys it takes, and the terminal mode it leaves behind after
// every way out.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "process.h"
#include "pty_child.h"
#include "screen_model.h"

namespace zentrill {
namespace {

using test_support::ended_by;
using test_support::exited_with;
using test_support::in_key_mode;
using test_support::PtyChild;
using test_support::same_mode;
using test_support::ScreenModel;
using test_support::ScratchDirectory;

const std::string kClear = "\x1b[H\x1b[2J";
const std::string kStart = "Starting note? ";
const std::string kOneGlide = "110\r\n155.5634918610405\r\n220\r\n311.126983722081\r\n";

std::function<int()> zentrill_in(const std::filesystem::path& directory, bool input_from_null = false) {
  return [directory, input_from_null] {
    const rlimit no_core{0, 0};  // no core file from SIGQUIT
    setrlimit(RLIMIT_CORE, &no_core);
    if (chdir(directory.c_str()) != 0) return 126;
    if (input_from_null) {
      const int null = open("/dev/null", O_RDONLY);
      dup2(null, STDIN_FILENO);
      close(null);
    }
    execl(ZENTRILL_BINARY, "zentrill", static_cast<char*>(nullptr));
    return 127;
  };
}

// The terminal turns each LF the program writes into CR LF.
std::string screen_bytes(std::string output) {
  for (std::size_t at; (at = output.find("\r\r\n")) != std::string::npos;) output.replace(at, 3, "\r\n");
  return output;
}

// Everything from the program's clear-screen on.
std::string dialogue(const PtyChild& child) {
  const std::string output = screen_bytes(child.output());
  const std::size_t clear = output.find(kClear);
  return clear == std::string::npos ? output : output.substr(clear);
}

std::string banner_and(const std::string& rest) {
  return kClear + "Zentrill v1 - NES pitch glides, by the Zentrill developers\r\n\r\n" + rest;
}

// Keys a stage does not take, and special keys, change nothing at any stage.
TEST(TerminalRun, ANormalEndLeavesTheDialogueOnTheScreenAndTheModeAsItWas) {
  ScratchDirectory directory;
  PtyChild child(zentrill_in(directory.path()));
  ASSERT_TRUE(child.read_until(kStart));
  EXPECT_TRUE(child.wait_for_mode(in_key_mode));
  // Arrows, Delete, F1 in three forms, Ctrl+Right, F5, PgUp, Home, Insert:
  // their tails hold letters, digits, "-" and "~" that the prompts would take.
  // Ctrl-S, which must not stop the output.
  const std::string specials = "\x13\x1b[A\x1b[3~\x1bOP\x1b[[A\x1b[11~\x1b[1;5C\x1b[15~\x1b[5~\x1b[H\x1b[2~\x1bOB";
  child.type(specials + "h9#" + specials + "a" + specials + "b " + specials + "-" + specials + "08" + specials +
             "1");
  ASSERT_TRUE(child.read_until("Ending note? "));
  child.type(specials + "A" + specials + "-" + specials + "3");
  ASSERT_TRUE(child.read_until("How many notes/frames? "));
  child.type("\x1b[A4\x1b[B\x1bOP\x1b[[E\x1b[6~\r");
  ASSERT_TRUE(child.read_until("Another? "));
  child.type(specials + "q" + specials + "N");
  EXPECT_TRUE(exited_with(child.wait(), 0));
  // "N" is not echoed; the line end after it leaves the shell's prompt in
  // column 0.
  EXPECT_EQ(dialogue(child), banner_and("Starting note? A-1\r\nEnding note? A-3\r\n"
                                        "How many notes/frames? 4\r\nAnother? \r\n"));
  EXPECT_TRUE(same_mode(child.mode(), child.original_mode()));
  EXPECT_EQ(directory.read("freq.txt"), kOneGlide);
}

// A terminating signal while the program waits at one of its prompts, after
// one glide was entered.
struct SignalAtPrompt {
  int signal_number;
  const char* keys;    // typed after the start
  const char* prompt;  // then waited for
  int times;           // how often it has appeared by then
  const char* moment;  // the prompt, in the test's name
};

// As SIGTERM_AtTheStepCount: the test's name and its parameter in messages.
void PrintTo(const SignalAtPrompt& at, std::ostream* out) {
  *out << "SIG" << sigabbrev_np(at.signal_number) << '_' << at.moment;
}

class TerminatingSignalRun : public testing::TestWithParam<SignalAtPrompt> {};

TEST_P(TerminatingSignalRun, PutsTheModeBackChangesNoFileAndEndsByTheSignal) {
  const SignalAtPrompt& at = GetParam();
  ScratchDirectory directory;
  directory.write("freq.txt", "earlier list");
  directory.write("pxx.ftm", "earlier module");
  PtyChild child(zentrill_in(directory.path()));
  ASSERT_TRUE(child.read_until(kStart));
  child.type(at.keys);
  ASSERT_TRUE(child.read_until_count(at.prompt, at.times));
  ASSERT_TRUE(child.wait_for_mode(in_key_mode));
  if (at.signal_number == SIGINT) {
    child.type("\x03");
  } else if (at.signal_number == SIGQUIT) {
    child.type("\x1c");
  } else {
    kill(child.pid(), at.signal_number);
  }
  EXPECT_TRUE(ended_by(child.wait(), at.signal_number));
  // The message, and the shell's text after it, start lines of their own.
  EXPECT_TRUE(screen_bytes(child.output())
                  .ends_with(std::string(at.prompt) + "\r\nzentrill: interrupted; no file was changed\r\n"))
      << child.output();
  EXPECT_TRUE(same_mode(child.mode(), child.original_mode()));
  // The first glide's pending list is gone with the rest.
  EXPECT_EQ(directory.names(), (std::vector<std::string>{"freq.txt", "pxx.ftm"}));
  EXPECT_EQ(directory.read("freq.txt"), "earlier list");
  EXPECT_EQ(directory.read("pxx.ftm"), "earlier module");
}

std::vector<SignalAtPrompt> signals_at_every_prompt() {
  std::vector<SignalAtPrompt> cases;
  for (const int signal_number : {SIGINT, SIGQUIT, SIGTERM}) {
    cases.push_back({signal_number, "a-1a-34\ry", "Starting note? ", 2, "AtTheStartingNote"});
    cases.push_back({signal_number, "a-1a-34\ryc-1", "Ending note? ", 2, "AtTheEndingNote"});
    cases.push_back({signal_number, "a-1a-34\ryc-1c-2", "How many notes/frames? ", 2, "AtTheStepCount"});
    cases.push_back({signal_number, "a-1a-34\r", "Another? ", 1, "AtAnother"});
  }
  cases.push_back({SIGINT, "a-1a-34\ryc-1c-212", "How many notes/frames? 12", 1, "WhileTypingTheCount"});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(TerminalRun, TerminatingSignalRun, testing::ValuesIn(signals_at_every_prompt()),
                         testing::PrintToStringParamName());

// Stopped at a note prompt and in the count line; each time the row is drawn
// again when the run goes on, from its start (where a shell writes its
// job-control lines meanwhile).
TEST(TerminalRun, CtrlZStopsWithTheModeBackAndTheRunCarriesOnWhenContinued) {
  ScratchDirectory directory;
  PtyChild child(zentrill_in(directory.path()));
  ASSERT_TRUE(child.read_until(kStart));
  child.type("a-1a-");
  ASSERT_TRUE(child.read_until("Ending note? A-"));
  ASSERT_EQ(child.stop_and_continue(), "");
  EXPECT_TRUE(child.read_until("\r\x1b[JEnding note? A-")) << child.output();
  child.type("3");
  ASSERT_TRUE(child.read_until("How many notes/frames? "));
  child.type("34\x1b[D");
  ASSERT_TRUE(child.read_until("\r\x1b[24C"));
  ASSERT_EQ(child.stop_and_continue(), "");
  EXPECT_TRUE(child.read_until("\r\x1b[JHow many notes/frames? 34\r\x1b[24C")) << child.output();
  child.type("\x7f\rn");  // the 3 goes: 4
  EXPECT_TRUE(exited_with(child.wait(), 0));
  EXPECT_TRUE(same_mode(child.mode(), child.original_mode()));
  EXPECT_EQ(directory.read("freq.txt"), kOneGlide);
}

// After the last "Another? " 1000 glides of 1200 steps keep the program
// computing a while, reading no key: Ctrl-Z stops it then and there, by
// SIGTSTP, with the shell's line to come on a fresh line, and the run ends
// normally when continued, adding no line end before its notice.
TEST(TerminalRun, CtrlZWhileTheFilesAreComputedStopsAtOnceOnAFreshLine) {
  ScratchDirectory directory;
  PtyChild child(zentrill_in(directory.path()));
  ASSERT_TRUE(child.read_until(kStart));
  constexpr int kGlides = 1000;
  constexpr int kGlidesTypedTogether = 100;
  for (int typed = 0; typed < kGlides; typed += kGlidesTypedTogether) {
    std::string keys;
    for (int glide = typed; glide < typed + kGlidesTypedTogether; ++glide) {
      keys += glide == 0 ? "c-1a#71200\r" : "yc-1a#71200\r";  // "y" answers the "Another? " before
    }
    child.type(keys);
    ASSERT_TRUE(child.read_until_count("Another? ", static_cast<std::size_t>(typed + kGlidesTypedTogether)));
  }
  // Ctrl-Z throws away keys the program has not read yet: it comes once the
  // program has taken "n" and computes, using the processor.
  const long waiting = child.cpu_ticks();
  child.type("n");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (child.cpu_ticks() < waiting + 3 && std::chrono::steady_clock::now() < deadline) usleep(500);
  child.type("\x1a");
  const std::optional<int> stopped = child.wait(std::chrono::seconds(10), WUNTRACED);
  ASSERT_TRUE(stopped && WIFSTOPPED(*stopped)) << "not stopped before the run ended";
  EXPECT_EQ(WSTOPSIG(*stopped), SIGTSTP);
  EXPECT_TRUE(same_mode(child.mode(), child.original_mode()));
  // The line end before the stop, its LF made CR LF by the terminal.
  EXPECT_TRUE(child.read_until("Another? \r\r\n")) << child.output().substr(child.output().size() - 40);
  kill(child.pid(), SIGCONT);
  EXPECT_TRUE(exited_with(child.wait(), 0));
  EXPECT_TRUE(screen_bytes(child.output())
                  .ends_with("Another? \r\nzentrill: lines 257 to 1200000 of pxx.txt were left out of pxx.ftm, "
                             "which holds the first 256 lines without -a; -a keeps them\r\n"));
  EXPECT_TRUE(same_mode(child.mode(), child.original_mode()));
  EXPECT_EQ(directory.read("pxx.ftm").size(), 2968u);
}

// A window narrowed from 100 to 60 columns while a 90-character count line
// is typed: on a screen that cuts its rows the line is drawn again under the
// row above it, and Up then moves by 60.
TEST(TerminalRun, AWidthChangeWhileTypingTheCountDrawsTheLineAgain) {
  ScratchDirectory directory;
  PtyChild child(zentrill_in(directory.path()));
  child.set_width(100);
  ASSERT_TRUE(child.read_until(kStart));
  child.type("a-1a-3");
  std::string count = "4,";  // the count is 4; the rest is left over
  while (count.size() < 87) count += static_cast<char>('0' + count.size() % 10);
  count += "xyz";
  child.type(count);
  ASSERT_TRUE(child.read_until("xyz"));  // echoed to the end
  const std::size_t before = child.output().size();
  child.set_width(60);
  ASSERT_TRUE(child.read_until_count("How many notes/frames? ", 2));
  ASSERT_TRUE(child.read_until_count("xyz", 2));
  ScreenModel screen(100);
  screen.play(child.output().substr(0, before));
  screen.resize(60);
  screen.play(child.output().substr(before));
  const std::vector<std::string> rows = screen.rows();
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(rows.begin() + 3, rows.end()),
            (std::vector<std::string>{"Ending note? A-3", "How many notes/frames? " + count.substr(0, 37),
                                      count.substr(37)}));
  EXPECT_EQ(screen.row(), 5u);
  EXPECT_EQ(screen.column(), 53u);
  child.type("\x1b[AX\rn");  // X at 30, after the count's comma
  EXPECT_TRUE(exited_with(child.wait(), 0));
  EXPECT_EQ(directory.read("freq.txt"), kOneGlide);
}

// Keys typed before the start are taken, none thrown away by the switch of
// mode. B-7 is above the playable range: each message on standard error
// starts a line of its own, the list keeps the glide and pxx.txt stops before
// it, and line 4, though playable, is left out too.
TEST(TerminalRun, KeysTypedBeforeTheStartAreTakenAndMessagesStartLinesOfTheirOwn) {
  ScratchDirectory directory;
  PtyChild child(zentrill_in(directory.path()), "a-1a-32\ryb-7a-72\rn");
  EXPECT_TRUE(exited_with(child.wait(), 0));
  const std::string screen = dialogue(child);
  EXPECT_NE(screen.find("How many notes/frames? 2\r\nzentrill: step 1 of this glide, 7902.14404296875 Hz,"),
            std::string::npos)
      << screen;
  EXPECT_NE(screen.find("end before it\r\nAnother? \r\nzentrill: line 3 of freq.txt, "), std::string::npos)
      << screen;
  EXPECT_TRUE(screen.ends_with("pxx.ftm\r\n")) << screen;  // and nothing after it
  EXPECT_TRUE(same_mode(child.mode(), child.original_mode()));
  EXPECT_EQ(directory.read("freq.txt"), "110\r\n220\r\n7902.14404296875\r\n7458.625480777273\r\n");
  EXPECT_EQ(directory.read("pxx.txt"), "A-1 P80\r\nA-2 P80\r\n");
}

TEST(TerminalRun, AHangUpEndsTheRunWithTheGlidesEntered) {
  ScratchDirectory directory;
  PtyChild child(zentrill_in(directory.path()));
  ASSERT_TRUE(child.read_until(kStart));
  child.type("a-1a-34\r");
  ASSERT_TRUE(child.read_until("Another? "));
  child.hang_up();
  const std::optional<int> status = child.wait();
  ASSERT_TRUE(status);
  EXPECT_FALSE(WIFSIGNALED(*status)) << WTERMSIG(*status);
  EXPECT_EQ(directory.read("freq.txt"), kOneGlide);
  EXPECT_EQ(directory.read("pxx.ftm").size(), 2968u);
}

TEST(TerminalRun, InputFromNullEndsAtOnceWithTheScreenStillCleared) {
  ScratchDirectory directory;
  PtyChild child(zentrill_in(directory.path(), true));
  EXPECT_TRUE(exited_with(child.wait(std::chrono::seconds(5)), 0));
  EXPECT_TRUE(child.read_until(kStart, std::chrono::seconds(1)));
  EXPECT_EQ(dialogue(child),
            banner_and(kStart + "\r\nzentrill: no glide was entered; no file was changed\r\n"));
  EXPECT_TRUE(same_mode(child.mode(), child.original_mode()));
  EXPECT_EQ(directory.names(), std::vector<std::string>{});
}

}  // namespace
}  // namespace zentrill
