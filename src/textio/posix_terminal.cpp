#include "textio/posix_terminal.h"

#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <initializer_list>

namespace zentrill {
namespace {

// Shared with the signal handlers, which only read g_original_mode, call
// tcsetattr (async-signal-safe) and set the flags.
termios g_original_mode;
volatile std::sig_atomic_t g_mode_saved = 0;  // g_original_mode is to be put back
volatile std::sig_atomic_t g_terminating_signal = 0;
volatile std::sig_atomic_t g_hung_up = 0;
volatile std::sig_atomic_t g_stop_requested = 0;
volatile std::sig_atomic_t g_continued = 0;
volatile std::sig_atomic_t g_window_changed = 0;

std::terminate_handler g_previous_terminate = nullptr;

void put_mode_back() {
  if (g_mode_saved) tcsetattr(STDIN_FILENO, TCSANOW, &g_original_mode);
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

void on_stop(int) {
  const int saved_errno = errno;
  put_mode_back();
  g_stop_requested = 1;
  errno = saved_errno;
}

void on_continue(int) { g_continued = 1; }

void on_window_change(int) { g_window_changed = 1; }

void put_mode_back_at_exit() { put_mode_back(); }

[[noreturn]] void put_mode_back_and_terminate() {
  put_mode_back();
  if (g_previous_terminate != nullptr) g_previous_terminate();
  std::abort();
}

struct HandledSignal {
  int number;
  void (*handler)(int);
  bool key_mode_only;  // without key mode the default action is right
  bool restart = false;  // calls it interrupts go on (a wait in ppoll still ends)
  bool installed = false;
  struct sigaction previous {};
};

HandledSignal g_handled[] = {
    {SIGINT, on_terminating_signal, false},
    {SIGTERM, on_terminating_signal, false},
    {SIGQUIT, on_terminating_signal, false},
    {SIGHUP, on_hang_up, false},
    {SIGTSTP, on_stop, true},
    {SIGCONT, on_continue, true},
    // Only the wait needs to hear of it; a write it lands in carries on.
    {SIGWINCH, on_window_change, false, true},
    {SIGPIPE, SIG_IGN, false},
};

sigset_t handled_set() {
  sigset_t set;
  sigemptyset(&set);
  for (const HandledSignal& s : g_handled) sigaddset(&set, s.number);
  return set;
}

// Holds the handled signals back, so that a flag cannot be set between its
// test and the wait; ppoll lets them in while it waits.
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

}  // namespace

PosixTerminal::PosixTerminal() {
  output_is_terminal_ = isatty(STDOUT_FILENO) == 1;
  g_terminating_signal = 0;
  g_hung_up = 0;
  g_stop_requested = 0;
  g_continued = 0;
  g_window_changed = 0;
  if (isatty(STDIN_FILENO) == 1 && tcgetattr(STDIN_FILENO, &g_original_mode) == 0) g_mode_saved = 1;

  static const bool hooks_registered = [] {
    std::atexit(put_mode_back_at_exit);
    return true;
  }();
  static_cast<void>(hooks_registered);
  g_previous_terminate = std::set_terminate(put_mode_back_and_terminate);

  for (HandledSignal& s : g_handled) {
    if (s.key_mode_only && !g_mode_saved) continue;
    if (sigaction(s.number, nullptr, &s.previous) != 0) continue;
    // A signal the program was started with ignored (nohup, a background
    // job of a shell without job control) stays ignored.
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
  put_mode_back();
  g_mode_saved = 0;
  for (HandledSignal& s : g_handled) {
    if (s.installed) sigaction(s.number, &s.previous, nullptr);
    s.installed = false;
  }
  std::set_terminate(g_previous_terminate);
}

void PosixTerminal::enter_key_mode() {
  if (!g_mode_saved) return;
  termios mode = g_original_mode;
  mode.c_lflag &= ~static_cast<tcflag_t>(ICANON);  // each key as it is pressed, no line editing by the system
  mode.c_lflag &= ~static_cast<tcflag_t>(ECHO);    // the program echoes what it accepts
  mode.c_cc[VMIN] = 1;                             // a read gives at least one byte...
  mode.c_cc[VTIME] = 0;                            // ...with no timer between bytes
  // ISIG stays on, so Ctrl-C and Ctrl-Z arrive as signals. TCSANOW, not
  // TCSAFLUSH: keys typed ahead must not be thrown away.
  tcsetattr(STDIN_FILENO, TCSANOW, &mode);
}

void PosixTerminal::stop_until_continued() {
  g_stop_requested = 0;
  // The handler has put the mode back already. SIGSTOP cannot be caught or
  // held back, so the process stops here and goes on when continued.
  kill(getpid(), SIGSTOP);
  enter_key_mode();
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
    if (g_stop_requested != 0) {
      stop_until_continued();
      continue;
    }
    if (g_continued != 0) {
      g_continued = 0;
      // The screen is drawn anew for the resume, at the width of now.
      g_window_changed = 0;
      enter_key_mode();
      return {Input::resumed, 0};
    }
    if (g_window_changed != 0) {
      g_window_changed = 0;
      return {Input::resized, 0};
    }

    timespec remaining{};
    if (deadline) remaining = to_timespec(*deadline - std::chrono::steady_clock::now());
    pollfd input{STDIN_FILENO, POLLIN, 0};
    const int ready = ppoll(&input, 1, deadline ? &remaining : nullptr, held.previous());
    if (ready < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (ready == 0) return {Input::timed_out, 0};
    if ((input.revents & POLLNVAL) != 0) break;  // stdin is closed

    const ssize_t got = ::read(STDIN_FILENO, buffer.data(), buffer.size());
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
    return;  // a closed pipe, a hung-up terminal, a full disk: output is lost
  }
}

std::size_t PosixTerminal::width() const {
  winsize size{};
  for (const int fd : {STDOUT_FILENO, STDIN_FILENO}) {
    if (ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  }
  return 80;
}

std::optional<int> PosixTerminal::take_terminating_signal() {
  const int signal_number = g_terminating_signal;
  if (signal_number == 0) return std::nullopt;
  g_terminating_signal = 0;
  return signal_number;
}

void PosixTerminal::end_by_signal(int signal_number) {
  put_mode_back();
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
