#include "textio/posix_terminal.h"

#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <initializer_list>

namespace zentrill {
namespace {

// Shared with the signal handlers, which call only async-signal-safe
// functions and set flags.
termios g_original_mode;
termios g_key_mode;
volatile std::sig_atomic_t g_mode_saved = 0;     // g_original_mode is to be put back
volatile std::sig_atomic_t g_key_mode_wanted = 0;  // key mode comes back after a stop
volatile std::sig_atomic_t g_output_is_terminal = 0;
volatile std::sig_atomic_t g_line_started = 0;   // the cursor is not in column 0
volatile std::sig_atomic_t g_terminating_signal = 0;
volatile std::sig_atomic_t g_hung_up = 0;
volatile std::sig_atomic_t g_continued = 0;
volatile std::sig_atomic_t g_window_changed = 0;

std::terminate_handler g_previous_terminate = nullptr;

void put_mode_back() {
  if (g_mode_saved) tcsetattr(STDIN_FILENO, TCSANOW, &g_original_mode);
}

void enter_key_mode() {
  // TCSANOW, not TCSAFLUSH: keys typed ahead must not be thrown away.
  if (g_mode_saved && g_key_mode_wanted) tcsetattr(STDIN_FILENO, TCSANOW, &g_key_mode);
}

// For good: a stop after this leaves the mode as it was.
void leave_key_mode() {
  g_key_mode_wanted = 0;
  put_mode_back();
}

void on_terminating_signal(int signal_number) {
  const int saved_errno = errno;
  put_mode_back();
  if (g_terminating_signal == 0) g_terminating_signal = signal_number;
  errno = saved_errno;
}

void on_hang_up(int) {
  const int saved_errno = errno;
  put_mode_back();
  g_hung_up = 1;
  errno = saved_errno;
}

// By SIGTSTP's default action, so the shell sees an ordinary stop (SIGSTOP
// reads as "suspended (signal)" in zsh). Returns when continued.
void stop_by_default_action() {
  struct sigaction default_action {};
  default_action.sa_handler = SIG_DFL;
  sigemptyset(&default_action.sa_mask);
  struct sigaction handler {};
  sigaction(SIGTSTP, &default_action, &handler);
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTSTP);
  raise(SIGTSTP);
  sigprocmask(SIG_UNBLOCK, &stop, nullptr);
  sigprocmask(SIG_BLOCK, &stop, nullptr);
  sigaction(SIGTSTP, &handler, nullptr);
}

void on_stop(int) {
  const int saved_errno = errno;
  put_mode_back();
  if (g_output_is_terminal && g_line_started) {
    // The shell's lines then start in column 0, not after a prompt.
    const ssize_t written = ::write(STDOUT_FILENO, "\r\n", 2);
    static_cast<void>(written);
    g_line_started = 0;
  }
  stop_by_default_action();
  enter_key_mode();
  g_continued = 1;
  errno = saved_errno;
}

void on_continue(int) { g_continued = 1; }

void on_window_change(int) { g_window_changed = 1; }

void put_mode_back_at_exit() { leave_key_mode(); }

[[noreturn]] void put_mode_back_and_terminate() {
  leave_key_mode();
  if (g_previous_terminate != nullptr) g_previous_terminate();
  std::abort();
}

struct HandledSignal {
  int number;
  void (*handler)(int);
  bool terminal_only;  // without a terminal the default action is right
  bool restart = false;  // calls it interrupts go on (a wait in ppoll still ends)
  bool installed = false;
  struct sigaction previous {};
};

HandledSignal g_handled[] = {
    {SIGINT, on_terminating_signal, false},
    {SIGTERM, on_terminating_signal, false},
    {SIGQUIT, on_terminating_signal, false},
    {SIGPIPE, on_terminating_signal, false},
    {SIGHUP, on_hang_up, false},
    // Only the wait needs to hear of these; a call they land in carries on.
    {SIGTSTP, on_stop, true, true},
    {SIGCONT, on_continue, true, true},
    {SIGWINCH, on_window_change, false, true},
};

bool ends_the_run(const HandledSignal& s) {
  return s.handler == on_terminating_signal || s.handler == on_hang_up;
}

sigset_t handled_set() {
  sigset_t set;
  sigemptyset(&set);
  for (const HandledSignal& s : g_handled) sigaddset(&set, s.number);
  return set;
}

// So no flag is set between its test and the wait; ppoll lets them in.
class SignalsHeld {
 public:
  SignalsHeld() {
    const sigset_t set = handled_set();
    sigprocmask(SIG_BLOCK, &set, &previous_);
  }
  ~SignalsHeld() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;
  const sigset_t* previous() const { return &previous_; }

 private:
  sigset_t previous_;
};

timespec to_timespec(std::chrono::steady_clock::duration d) {
  if (d < std::chrono::steady_clock::duration::zero()) d = std::chrono::steady_clock::duration::zero();
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(d);
  const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(d - seconds);
  return timespec{static_cast<time_t>(seconds.count()), static_cast<long>(nanoseconds.count())};
}

// A regular file with no bytes left has ended.
bool is_regular_file(int fd) {
  struct stat status {};
  return fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

PosixTerminal::PosixTerminal(KeyInput keys) {
  output_is_terminal_ = isatty(STDOUT_FILENO) == 1;
  g_output_is_terminal = output_is_terminal_ ? 1 : 0;
  g_line_started = 0;
  g_terminating_signal = 0;
  g_hung_up = 0;
  g_continued = 0;
  g_window_changed = 0;
  input_ended_ = keys == KeyInput::unused;
  if (keys == KeyInput::read && isatty(STDIN_FILENO) == 1 && tcgetattr(STDIN_FILENO, &g_original_mode) == 0) {
    g_key_mode = g_original_mode;
    g_key_mode.c_lflag &= ~static_cast<tcflag_t>(ICANON);  // each key as it is pressed, no line editing by the system
    g_key_mode.c_lflag &= ~static_cast<tcflag_t>(ECHO);    // the program echoes what it accepts
    g_key_mode.c_iflag &= ~static_cast<tcflag_t>(IXON);    // Ctrl-S and Ctrl-Q are keys: no output stops
    g_key_mode.c_cc[VMIN] = 1;                             // a read gives at least one byte...
    g_key_mode.c_cc[VTIME] = 0;                            // ...with no timer between bytes
    // ISIG stays on, so Ctrl-C and Ctrl-Z arrive as signals.
    g_mode_saved = 1;
    g_key_mode_wanted = 1;
    input_is_terminal_ = true;
  }

  static const bool hooks_registered = [] {
    std::atexit(put_mode_back_at_exit);
    return true;
  }();
  static_cast<void>(hooks_registered);
  g_previous_terminate = std::set_terminate(put_mode_back_and_terminate);

  for (HandledSignal& s : g_handled) {
    if (s.terminal_only && !input_is_terminal_ && !output_is_terminal_) continue;
    if (sigaction(s.number, nullptr, &s.previous) != 0) continue;
    // A signal ignored at the start (nohup) stays ignored.
    if (s.previous.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = s.handler;
    sigemptyset(&action.sa_mask);
    for (const HandledSignal& other : g_handled) sigaddset(&action.sa_mask, other.number);
    // No SA_RESTART for the others: a blocked write gives way to Ctrl-C.
    action.sa_flags = s.restart ? SA_RESTART : 0;
    s.installed = sigaction(s.number, &action, nullptr) == 0;
  }
  enter_key_mode();
}

PosixTerminal::~PosixTerminal() {
  leave_key_mode();
  g_mode_saved = 0;
  for (HandledSignal& s : g_handled) {
    if (s.installed) {
      // SIGHUP may come after the read saw the end; the run has taken the end
      // of input already and must not die of it once its work is done.
      struct sigaction ignored {};
      ignored.sa_handler = SIG_IGN;
      sigemptyset(&ignored.sa_mask);
      const bool input_gone = g_hung_up || input_ended_;
      sigaction(s.number, s.number == SIGHUP && input_gone ? &ignored : &s.previous, nullptr);
    }
    s.installed = false;
  }
  std::set_terminate(g_previous_terminate);
}

Terminal::ReadResult PosixTerminal::read(std::span<char> buffer,
                                         std::optional<std::chrono::milliseconds> timeout) {
  if (input_ended_ || buffer.empty()) return {input_ended_ ? Input::ended : Input::timed_out, 0};
  std::optional<std::chrono::steady_clock::time_point> deadline;
  if (timeout) deadline = std::chrono::steady_clock::now() + *timeout;

  const SignalsHeld held;
  for (;;) {
    if (g_terminating_signal != 0) return {Input::signalled, 0};
    if (g_hung_up != 0) break;
    if (g_continued != 0) {
      g_continued = 0;
      // The resume redraws at the width of now.
      g_window_changed = 0;
      // After a SIGSTOP too.
      enter_key_mode();
      return {Input::resumed, 0};
    }
    if (g_window_changed != 0) {
      g_window_changed = 0;
      return {Input::resized, 0};
    }

    timespec remaining{};
    if (deadline) remaining = to_timespec(*deadline - std::chrono::steady_clock::now());
    pollfd input{STDIN_FILENO, POLLIN | POLLRDHUP, 0};
    const int ready = ppoll(&input, 1, deadline ? &remaining : nullptr, held.previous());
    if (ready < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (ready == 0) return {Input::timed_out, 0};
    if ((input.revents & POLLNVAL) != 0) break;  // stdin is closed

    // The signals are held, so the read must never wait: at most the bytes
    // there are, as another reader of the input may have taken them since.
    std::size_t size = buffer.size();
    int there = 0;
    if (ioctl(STDIN_FILENO, FIONREAD, &there) == 0) {
      if (there == 0) {
        if ((input.revents & (POLLHUP | POLLRDHUP | POLLERR)) != 0 || is_regular_file(STDIN_FILENO)) break;
        continue;  // taken by another: wait again
      }
      size = std::min(size, static_cast<std::size_t>(there));
    }
    const ssize_t got = ::read(STDIN_FILENO, buffer.data(), size);
    if (got > 0) return {Input::bytes, static_cast<std::size_t>(got)};
    if (got == 0) break;  // end of file, or the terminal hung up
    // EAGAIN: someone else made the shared stdin non-blocking; poll again.
    if (errno == EINTR || errno == EAGAIN) continue;
    break;  // EIO: hung up, or an orphaned background process
  }
  input_ended_ = true;
  return {Input::ended, 0};
}

void PosixTerminal::write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (put > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(put));
      continue;
    }
    if (put < 0 && errno == EINTR) {
      if (g_terminating_signal != 0) return;  // the program is ending anyway
      continue;
    }
    if (put < 0 && errno == EAGAIN) {
      pollfd output{STDOUT_FILENO, POLLOUT, 0};
      if (poll(&output, 1, -1) < 0 && errno != EINTR) return;
      continue;
    }
    // A closed pipe has raised SIGPIPE; a hung-up terminal has no reader.
    // Anything else is a failure.
    const int reason = put < 0 ? errno : EIO;
    const bool hung_up = g_hung_up != 0 || (output_is_terminal_ && reason == EIO);
    if (g_terminating_signal == 0 && !hung_up && !output_failure_) output_failure_ = std::strerror(reason);
    return;
  }
}

std::size_t PosixTerminal::width() const {
  winsize size{};
  for (const int fd : {STDOUT_FILENO, STDIN_FILENO}) {
    if (ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  }
  return 80;
}

void PosixTerminal::set_line_started(bool started) { g_line_started = started ? 1 : 0; }

bool PosixTerminal::line_started() const { return g_line_started != 0; }

std::optional<int> PosixTerminal::take_terminating_signal() {
  const int signal_number = g_terminating_signal;
  if (signal_number == 0) return std::nullopt;
  g_terminating_signal = 0;
  return signal_number;
}

void PosixTerminal::hold_terminating_signals(bool held) {
  if (!held) {
    sigprocmask(SIG_SETMASK, &mask_before_hold_, nullptr);
    return;
  }
  sigset_t set;
  sigemptyset(&set);
  for (const HandledSignal& s : g_handled) {
    if (ends_the_run(s)) sigaddset(&set, s.number);
  }
  sigprocmask(SIG_BLOCK, &set, &mask_before_hold_);
}

void PosixTerminal::end_by_signal(int signal_number) {
  leave_key_mode();
  g_mode_saved = 0;
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signal_number, &action, nullptr);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal_number);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  raise(signal_number);
  _exit(128 + signal_number);
}

}  // namespace zentrill
