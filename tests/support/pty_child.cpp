#include "pty_child.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace zentrill::test_support {
namespace {

using Clock = std::chrono::steady_clock;

void write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return;
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
}

}  // namespace

bool same_mode(const termios& a, const termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
         a.c_lflag == b.c_lflag && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

bool in_key_mode(const termios& mode) {
  return (mode.c_lflag & ICANON) == 0 && (mode.c_lflag & ECHO) == 0 && (mode.c_lflag & ISIG) != 0 &&
         mode.c_cc[VMIN] == 1 && mode.c_cc[VTIME] == 0;
}

bool exited_with(std::optional<int> status, int code) {
  return status && WIFEXITED(*status) && WEXITSTATUS(*status) == code;
}

bool ended_by(std::optional<int> status, int signal_number) {
  return status && WIFSIGNALED(*status) && WTERMSIG(*status) == signal_number;
}

namespace {

pid_t g_job = 0;  // in the shell: the child it runs

// The shell forwards a hang-up of its terminal to its job, as shells do.
void forward_hang_up(int) { kill(g_job, SIGHUP); }

// The shell: leads a session with the terminal as its controlling terminal,
// runs the child as the foreground job, in a process group of its own, and
// reports on `report` the child's pid, then every wait status until it ends.
[[noreturn]] void run_shell(int slave, int go, int report, const std::function<int()>& body) {
  setsid();
  ioctl(slave, TIOCSCTTY, 0);
  const pid_t job = fork();
  if (job == 0) {
    ::close(report);
    setpgid(0, 0);
    dup2(slave, STDIN_FILENO);
    dup2(slave, STDOUT_FILENO);
    dup2(slave, STDERR_FILENO);
    if (slave > STDERR_FILENO) ::close(slave);
    char byte;
    while (::read(go, &byte, 1) < 0 && errno == EINTR) {
    }
    ::close(go);
    _exit(body());
  }
  ::close(go);
  setpgid(job, job);
  tcsetpgrp(slave, job);
  g_job = job;
  struct sigaction forward {};
  forward.sa_handler = forward_hang_up;
  forward.sa_flags = SA_RESTART;
  sigaction(SIGHUP, &forward, nullptr);
  write_all(report, std::string_view(reinterpret_cast<const char*>(&job), sizeof job));
  for (;;) {
    int status = 0;
    if (waitpid(job, &status, WUNTRACED) != job) {
      if (errno == EINTR) continue;
      _exit(1);
    }
    write_all(report, std::string_view(reinterpret_cast<const char*>(&status), sizeof status));
    if (WIFEXITED(status) || WIFSIGNALED(status)) _exit(0);
  }
}

// Reads exactly `size` bytes; false at the end of the data.
bool read_exactly(int fd, void* data, std::size_t size) {
  char* at = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t got = ::read(fd, at, size);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    at += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

}  // namespace

PtyChild::PtyChild(std::function<int()> body, std::string_view before) {
  if (openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) throw std::runtime_error("openpty failed");
  tcgetattr(slave_, &original_mode_);
  int go[2];
  int report[2];
  if (pipe(go) != 0 || pipe(report) != 0) throw std::runtime_error("pipe failed");
  shell_ = fork();
  if (shell_ < 0) throw std::runtime_error("fork failed");
  if (shell_ == 0) {
    ::close(go[1]);
    ::close(report[0]);
    ::close(master_);
    // As from an interactive shell: default signal actions and none blocked,
    // even when the tests run with SIGINT and SIGQUIT ignored (a background
    // job of a non-interactive shell).
    for (const int signal_number : {SIGINT, SIGQUIT, SIGTERM, SIGTSTP, SIGCONT, SIGHUP, SIGPIPE}) {
      ::signal(signal_number, SIG_DFL);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    run_shell(slave_, go[0], report[1], body);
  }
  ::close(go[0]);
  ::close(report[1]);
  report_ = report[0];
  if (!read_exactly(report_, &pid_, sizeof pid_)) throw std::runtime_error("the shell did not start the child");
  write_all(master_, before);
  // The keys must be in the terminal's buffer before the child goes on. The
  // pty hands them over asynchronously, and echoes each one (echo is still on)
  // once it is there: wait for that echo, not for a fixed time.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (output_.size() < before.size() && std::chrono::steady_clock::now() < deadline) {
    drain(std::chrono::milliseconds(20));
  }
  write_all(go[1], "g");
  ::close(go[1]);
}

PtyChild::~PtyChild() {
  if (pid_ > 0 && !reaped_) kill(pid_, SIGKILL);
  if (shell_ > 0) waitpid(shell_, nullptr, 0);
  if (report_ >= 0) ::close(report_);
  if (master_ >= 0) ::close(master_);
  if (slave_ >= 0) ::close(slave_);
}

termios PtyChild::mode() const {
  termios mode{};
  tcgetattr(slave_, &mode);
  return mode;
}

void PtyChild::type(std::string_view bytes) { write_all(master_, bytes); }

long PtyChild::cpu_ticks() const {
  std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
  const std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const std::size_t name_end = text.rfind(')');
  if (name_end == std::string::npos) return 0;
  std::istringstream fields(text.substr(name_end + 2));
  std::string field;
  long ticks = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14 || i == 15) ticks += std::stol(field);  // utime, stime
  }
  return ticks;
}

bool PtyChild::drain(std::chrono::milliseconds timeout) {
  if (master_ < 0) return false;
  pollfd fd{master_, POLLIN, 0};
  if (poll(&fd, 1, static_cast<int>(timeout.count())) <= 0) return false;
  char buffer[4096];
  const ssize_t got = ::read(master_, buffer, sizeof buffer);
  if (got <= 0) return false;  // the child's side is closed, or a signal came
  output_.append(buffer, static_cast<std::size_t>(got));
  return true;
}

bool PtyChild::read_until(std::string_view text, std::chrono::milliseconds timeout) {
  return read_until_count(text, 1, timeout);
}

bool PtyChild::read_until_count(std::string_view text, std::size_t count, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  const auto found = [&] {
    std::size_t n = 0;
    for (std::size_t at = output_.find(text); at != std::string::npos; at = output_.find(text, at + 1)) ++n;
    return n >= count;
  };
  while (!found()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0 || master_ < 0) return false;
    drain(left);
  }
  return true;
}

bool PtyChild::wait_for_mode(const std::function<bool(const termios&)>& test,
                             std::chrono::milliseconds timeout) const {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (test(mode())) return true;
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

std::optional<int> PtyChild::wait(std::chrono::milliseconds timeout, int options) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    pollfd report{report_, POLLIN, 0};
    if (poll(&report, 1, 0) == 1) {
      int status = 0;
      if (!read_exactly(report_, &status, sizeof status)) return std::nullopt;  // the shell failed
      if (WIFEXITED(status) || WIFSIGNALED(status)) {
        reaped_ = true;
        collect_last_output();
        return status;
      }
      if ((options & WUNTRACED) != 0) return status;
      continue;  // a stop the caller did not ask about
    }
    if (Clock::now() >= deadline) return std::nullopt;
    // Keep the terminal's output flowing, so the child never blocks on it.
    drain(std::chrono::milliseconds(5));
  }
}

void PtyChild::collect_last_output() {
  // The terminal hands output to the master side asynchronously; a mark
  // written on it now comes out after everything the child wrote.
  constexpr std::string_view kMark = "\x1b[end-of-child]";
  if (master_ < 0) return;
  const std::size_t start = output_.size();
  write_all(slave_, kMark);
  if (!read_until(kMark, std::chrono::seconds(10))) return;
  output_.erase(output_.find(kMark, start), kMark.size());
}

std::string PtyChild::stop_and_continue() {
  if (!wait_for_mode(in_key_mode)) return "not in key mode before Ctrl-Z";
  type("\x1a");
  const std::optional<int> stopped = wait(std::chrono::seconds(10), WUNTRACED);
  if (!stopped || !WIFSTOPPED(*stopped)) return "not stopped by Ctrl-Z";
  if (WSTOPSIG(*stopped) != SIGTSTP) return "stopped by another signal than SIGTSTP";
  if (!same_mode(mode(), original_mode_)) return "stopped without the terminal's mode put back";
  kill(pid_, SIGCONT);
  if (!wait_for_mode(in_key_mode)) return "not back in key mode when continued";
  return {};
}

void PtyChild::hang_up() {
  ::close(master_);
  master_ = -1;
}

void PtyChild::set_width(unsigned short columns) {
  winsize size{};
  size.ws_row = 24;
  size.ws_col = columns;
  ioctl(master_, TIOCSWINSZ, &size);
}

}  // namespace zentrill::test_support
