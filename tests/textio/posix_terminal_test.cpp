// The real terminal, on a pseudo-terminal in a child process: key mode while
// waiting, the mode put back exactly on every way out, signals, hang-up.
#include "textio/posix_terminal.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "pty_child.h"
#include "textio/console.h"

namespace zentrill {
namespace {

using test_support::ended_by;
using test_support::exited_with;
using test_support::in_key_mode;
using test_support::PtyChild;
using test_support::same_mode;

std::string hex(const std::string& bytes) {
  std::string out;
  char digits[4];
  for (const char c : bytes) {
    std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(c));
    out += digits;
  }
  return out;
}

// A character key as its byte, a special key as a zero byte and its code.
std::string hex(Key key) {
  const char value = static_cast<char>(key.value);
  return hex(key.special ? std::string{'\0', value} : std::string(1, value));
}

// The child: prints "ready", then each key as hex and a blank, until the
// input ends ("ended") or a terminating signal comes (the process then ends
// by it). `count` keys at most, then it ends normally.
int echo_keys(int count) {
  PosixTerminal terminal(KeyInput::read);
  Console console(terminal);
  console.print("ready", LineEnd::with);
  try {
    for (int i = 0; i < count; ++i) console.print(hex(console.wait_for_key()) + " ");
    console.print("done", LineEnd::with);
  } catch (const InputEnded&) {
    console.print("ended", LineEnd::with);
    return 3;
  } catch (const TerminatingSignal& signal) {
    terminal.end_by_signal(signal.signal_number);
  }
  return 0;
}

TEST(PosixTerminal, WaitsInKeyModeAndPutsTheModeBackAtTheEnd) {
  PtyChild child([] { return echo_keys(2); });
  ASSERT_TRUE(child.read_until("ready"));
  EXPECT_TRUE(child.wait_for_mode(in_key_mode));
  const termios mode = child.mode();
  // Only the local flags, output flow control and the read timing change.
  EXPECT_EQ(mode.c_iflag, child.original_mode().c_iflag & ~static_cast<tcflag_t>(IXON));
  EXPECT_EQ(mode.c_oflag, child.original_mode().c_oflag);
  EXPECT_EQ(mode.c_cflag, child.original_mode().c_cflag);
  child.type("a\x1b[A");
  ASSERT_TRUE(child.read_until("done"));
  EXPECT_NE(child.output().find("61 0048 done"), std::string::npos) << child.output();
  EXPECT_EQ(child.output().find("[A"), std::string::npos);  // no echo of the keys
  EXPECT_TRUE(exited_with(child.wait(), 0));
  EXPECT_TRUE(same_mode(child.mode(), child.original_mode()));
}

TEST(PosixTerminal, ARunThatReadsNoKeysLeavesTheModeAlone) {
  PtyChild child([] {
    PosixTerminal terminal(KeyInput::unused);
    terminal.write("ready\n");
    char line[2];
    return ::read(STDIN_FILENO, line, sizeof line) > 0 ? 0 : 1;
  });
  ASSERT_TRUE(child.read_until("ready"));
  EXPECT_TRUE(same_mode(child.mode(), child.original_mode()));
  child.type("\n");
  EXPECT_TRUE(exited_with(child.wait(), 0));
}

TEST(PosixTerminal, KeysTypedAheadAreKept) {
  PtyChild child([] { return echo_keys(3); }, "xyz");
  ASSERT_TRUE(child.read_until("done")) << child.output();
  EXPECT_NE(child.output().find("78 79 7a done"), std::string::npos) << child.output();
  EXPECT_TRUE(exited_with(child.wait(), 0));
}

TEST(PosixTerminal, ALoneEscIsTheEscKeyAfterAShortWait) {
  PtyChild child([] { return echo_keys(4); });
  ASSERT_TRUE(child.read_until("ready"));
  child.type("\x1b[A");  // one piece: one key
  ASSERT_TRUE(child.read_until("0048 "));
  child.type("\x1b");
  ASSERT_TRUE(child.read_until("1b "));
  child.type("[A");  // too late to belong to the Esc
  ASSERT_TRUE(child.read_until("done")) << child.output();
  EXPECT_NE(child.output().find("0048 1b 5b 41 done"), std::string::npos) << child.output();
}

TEST(PosixTerminal, UsesNoProcessorTimeWhileWaiting) {
  PtyChild child([] { return echo_keys(1); });
  ASSERT_TRUE(child.read_until("ready"));
  const long before = child.cpu_ticks();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_LE(child.cpu_ticks() - before, 1);
  child.type("q");
  EXPECT_TRUE(exited_with(child.wait(), 0));
}

TEST(PosixTerminal, TerminatingSignalsPutTheModeBackAndEndTheProcessByThem) {
  struct SignalCase {
    int signal_number;
    std::string typed;  // the key that sends it, or empty to send it by kill
  };
  const SignalCase cases[] = {{SIGINT, "\x03"}, {SIGQUIT, "\x1c"}, {SIGTERM, ""}};
  for (const SignalCase& c : cases) {
    PtyChild child([] {
      // No core file from SIGQUIT.
      const rlimit no_core{0, 0};
      setrlimit(RLIMIT_CORE, &no_core);
      return echo_keys(5);
    });
    ASSERT_TRUE(child.read_until("ready"));
    ASSERT_TRUE(child.wait_for_mode(in_key_mode));
    if (c.typed.empty()) {
      kill(child.pid(), c.signal_number);
    } else {
      child.type(c.typed);
    }
    EXPECT_TRUE(ended_by(child.wait(), c.signal_number)) << c.signal_number;
    EXPECT_TRUE(same_mode(child.mode(), child.original_mode())) << c.signal_number;
  }
}

TEST(PosixTerminal, ASignalWhileComputingWaitsForTheDriver) {
  PtyChild child([] {
    PosixTerminal terminal(KeyInput::read);
    Console console(terminal);
    console.print("ready", LineEnd::with);
    // Compute while the signal comes, without waiting for a key.
    for (int i = 0; i < 400 && !terminal.take_terminating_signal(); ++i) {
      usleep(10000);
      if (i == 399) return 4;
    }
    console.print("taken", LineEnd::with);
    terminal.end_by_signal(SIGINT);
  });
  ASSERT_TRUE(child.read_until("ready"));
  ASSERT_TRUE(child.wait_for_mode(in_key_mode));
  child.type("\x03");
  EXPECT_TRUE(child.read_until("taken"));
  EXPECT_TRUE(ended_by(child.wait(), SIGINT));
  EXPECT_TRUE(same_mode(child.mode(), child.original_mode()));
}

TEST(PosixTerminal, ASignalHeldBackArrivesWhenLetThrough) {
  PtyChild child([] {
    PosixTerminal terminal(KeyInput::read);
    {
      const TerminatingSignalsHeld held(terminal);
      raise(SIGTERM);
      if (terminal.take_terminating_signal()) return 4;
    }
    return terminal.take_terminating_signal() == SIGTERM ? 0 : 5;
  });
  EXPECT_TRUE(exited_with(child.wait(), 0));
}

TEST(PosixTerminal, CtrlZPutsTheModeBackAndStopsAndContinuingReturnsToKeyMode) {
  PtyChild child([] { return echo_keys(1); });
  ASSERT_TRUE(child.read_until("ready"));
  ASSERT_EQ(child.stop_and_continue(), "");
  child.type("k");
  ASSERT_TRUE(child.read_until("done"));
  EXPECT_NE(child.output().find("6b done"), std::string::npos) << child.output();
  EXPECT_TRUE(exited_with(child.wait(), 0));
  EXPECT_TRUE(same_mode(child.mode(), child.original_mode()));
}

TEST(PosixTerminal, AHangUpEndsTheInput) {
  int report[2];
  ASSERT_EQ(pipe(report), 0);
  PtyChild child([&] {
    ::close(report[0]);
    PosixTerminal terminal(KeyInput::read);
    Console console(terminal);
    console.print("ready", LineEnd::with);
    try {
      console.wait_for_key();
    } catch (const InputEnded&) {
      ::write(report[1], "ended", 5);
      return 3;
    }
    return 0;
  });
  ::close(report[1]);
  ASSERT_TRUE(child.read_until("ready"));
  ASSERT_TRUE(child.wait_for_mode(in_key_mode));
  child.hang_up();
  EXPECT_TRUE(exited_with(child.wait(), 3));
  char text[8] = {};
  EXPECT_EQ(::read(report[0], text, sizeof text), 5);
  EXPECT_EQ(std::string(text), "ended");
  ::close(report[0]);
}

TEST(PosixTerminal, ExitAndTerminatePutTheModeBack) {
  {
    PtyChild child([]() -> int {
      static PosixTerminal* terminal = new PosixTerminal(KeyInput::read);  // never destroyed
      Console console(*terminal);
      console.print("ready", LineEnd::with);
      console.wait_for_key();
      std::exit(5);
    });
    ASSERT_TRUE(child.read_until("ready"));
    ASSERT_TRUE(child.wait_for_mode(in_key_mode));
    child.type("x");
    EXPECT_TRUE(exited_with(child.wait(), 5));
    EXPECT_TRUE(same_mode(child.mode(), child.original_mode()));
  }
  {
    PtyChild child([]() -> int {
      // The program's own handler, set first, runs after the mode is back.
      std::set_terminate([] { std::_Exit(6); });
      PosixTerminal terminal(KeyInput::read);
      Console console(terminal);
      console.print("ready", LineEnd::with);
      console.wait_for_key();
      std::terminate();
    });
    ASSERT_TRUE(child.read_until("ready"));
    ASSERT_TRUE(child.wait_for_mode(in_key_mode));
    child.type("x");
    EXPECT_TRUE(exited_with(child.wait(), 6));
    EXPECT_TRUE(same_mode(child.mode(), child.original_mode()));
  }
}

TEST(PosixTerminal, TellsTheWindowWidthOr80) {
  PtyChild child([] {
    PosixTerminal terminal(KeyInput::read);
    Console console(terminal);
    for (int i = 0; i < 2; ++i) {
      console.print("width " + std::to_string(terminal.width()) + (terminal.output_is_terminal() ? " tty" : ""),
                    LineEnd::with);
      console.wait_for_key();
    }
    return 0;
  });
  ASSERT_TRUE(child.read_until("width 80 tty"));  // a new pty has no size
  child.set_width(100);
  child.type("x");
  ASSERT_TRUE(child.read_until("width 100 tty")) << child.output();
  child.type("x");
  EXPECT_TRUE(exited_with(child.wait(), 0));
}

TEST(PosixTerminal, AtTheEndOfPipedInputKeysComeThenInputEnded) {
  for (const std::string input : {"", "ab", "a\x1b"}) {
    int in[2];
    int out[2];
    ASSERT_EQ(pipe(in), 0);
    ASSERT_EQ(pipe(out), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      dup2(in[0], STDIN_FILENO);
      dup2(out[1], STDOUT_FILENO);
      ::close(in[0]);
      ::close(in[1]);
      ::close(out[0]);
      ::close(out[1]);
      _exit(echo_keys(10));
    }
    ::close(in[0]);
    ::close(out[1]);
    ::write(in[1], input.data(), input.size());
    ::close(in[1]);
    std::string output;
    char buffer[256];
    for (ssize_t got; (got = ::read(out[0], buffer, sizeof buffer)) > 0;) output.append(buffer, got);
    ::close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    std::string expected = "ready\r\n";
    for (const char c : input) expected += hex(std::string(1, c)) + " ";
    EXPECT_EQ(output, expected + "ended\r\n") << hex(input);
    EXPECT_TRUE(exited_with(status, 3));
  }
}

// The harness itself: a pty moves what a child writes to the master side
// after the write has returned, so when the child is seen to end, its last
// output may still be on the way. Here all of it may be: the child ends
// before anything is read.
TEST(PtyChild, WaitCollectsEverythingTheChildWroteBeforeItEnded) {
  const std::string written(4096, 'x');  // less than the terminal holds unread
  PtyChild child([&written] {
    const ssize_t put = ::write(STDOUT_FILENO, written.data(), written.size());
    return put == static_cast<ssize_t>(written.size()) ? 0 : 1;
  });
  // Gone once its shell has reaped it.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (kill(child.pid(), 0) == 0 && std::chrono::steady_clock::now() < deadline) usleep(1000);
  EXPECT_TRUE(exited_with(child.wait(), 0));
  EXPECT_EQ(child.output().size(), written.size());
}

}  // namespace
}  // namespace zentrill
