// A child process on its own pseudo-terminal, for tests of the real terminal:
// the child's stdin, stdout and stderr are the terminal's slave side, and it
// is the foreground job of a small shell that leads a session with the
// terminal as its controlling terminal, so Ctrl-C typed on the master reaches
// it as SIGINT, and Ctrl-Z stops it by SIGTSTP's default action, as in a
// shell. (A process group without a parent in its session, outside any
// shell, is orphaned: the system drops the stop signals sent to it.)
#ifndef ZENTRILL_TESTS_SUPPORT_PTY_CHILD_H_
#define ZENTRILL_TESTS_SUPPORT_PTY_CHILD_H_

#include <sys/types.h>
#include <termios.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zentrill::test_support {

// Whether two terminal modes are the same in everything `stty -g` shows.
bool same_mode(const termios& a, const termios& b);

// Whether a mode is the one the program waits for keys in: no line editing
// and no echo by the system, Ctrl-C and Ctrl-Z still signals, and a read
// given at least one byte with no timer.
bool in_key_mode(const termios& mode);

// Whether a wait status says the child exited with `code`, or was ended by
// the signal `signal_number`; false for no status.
bool exited_with(std::optional<int> status, int code);
bool ended_by(std::optional<int> status, int signal_number);

class PtyChild {
 public:
  // Runs `body` in the child and ends it with body's result. `before`, when
  // given, is typed on the terminal before the child starts (it waits for
  // that), as keys typed ahead of the program.
  explicit PtyChild(std::function<int()> body, std::string_view before = {});
  ~PtyChild();  // kills the child if it still runs
  PtyChild(const PtyChild&) = delete;
  PtyChild& operator=(const PtyChild&) = delete;

  pid_t pid() const { return pid_; }
  // The terminal's mode before the child started, and now.
  const termios& original_mode() const { return original_mode_; }
  termios mode() const;

  void type(std::string_view bytes);
  // The processor time the child has used so far, in clock ticks.
  long cpu_ticks() const;
  // Reads the child's output until it holds `text` or `timeout` passes;
  // true when it does. Everything read so far is in output().
  bool read_until(std::string_view text, std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // The same, until the output holds `text` `count` times.
  bool read_until_count(std::string_view text, std::size_t count,
                        std::chrono::milliseconds timeout = std::chrono::seconds(10));
  const std::string& output() const { return output_; }
  // Waits until `test` holds for the terminal mode, or `timeout` passes.
  bool wait_for_mode(const std::function<bool(const termios&)>& test,
                     std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

  // The child's wait status, as its shell reports it, once it ended (then
  // everything it wrote is in output()) or stopped (with WUNTRACED); nothing
  // when it did not within `timeout`.
  std::optional<int> wait(std::chrono::milliseconds timeout = std::chrono::seconds(10), int options = 0);
  // Ctrl-Z and back, as at a shell: once the child waits in key mode, types
  // Ctrl-Z, waits for the child to stop and continues it with SIGCONT. Gives
  // what went wrong, or nothing when the child stopped by SIGTSTP with the
  // terminal's mode as before it started and went back to key mode when
  // continued.
  std::string stop_and_continue();
  // Closes the master side: the terminal hangs up.
  void hang_up();
  void set_width(unsigned short columns);

 private:
  // Reads what the child wrote within `timeout`; false when nothing came.
  bool drain(std::chrono::milliseconds timeout);
  // Once the child ended: reads until all it wrote has come out, though the
  // terminal may still have been moving it when the end was seen.
  void collect_last_output();

  pid_t shell_ = -1;
  pid_t pid_ = -1;
  int report_ = -1;  // the shell's reports: the child's wait statuses
  bool reaped_ = false;
  int master_ = -1;
  int slave_ = -1;  // kept open so the mode can be read after the child ends
  termios original_mode_{};
  std::string output_;
};

}  // namespace zentrill::test_support

#endif  // ZENTRILL_TESTS_SUPPORT_PTY_CHILD_H_
