// The real terminal: standard input and output (fds 0 and 1), their terminal
// mode, and the signals that stop, continue or end the program.
#ifndef ZENTRILL_TEXTIO_POSIX_TERMINAL_H_
#define ZENTRILL_TEXTIO_POSIX_TERMINAL_H_

#include <signal.h>

#include "textio/terminal.h"

namespace zentrill {

// When stdin is a terminal, key mode is entered at construction (no echo,
// each key as it is pressed, keys typed ahead kept, Ctrl-C and Ctrl-Z still
// signals, Ctrl-S and Ctrl-Q plain keys), and the mode found then is put back on every way out:
// destruction, exit(), std::terminate and each signal. A hang-up ends the
// input. The signal handlers only put the mode back, write a line end and set
// flags, but for one surprise: Ctrl-Z stops the process inside its handler,
// so that the stop comes at once even while the program computes, and by
// SIGTSTP's own default action, so that every shell reports an ordinary stop.
// Signals ignored at the start stay ignored, and stdin is never made
// non-blocking (that flag is shared with the shell). One PosixTerminal may
// exist at a time.
class PosixTerminal final : public Terminal {
 public:
  PosixTerminal();
  ~PosixTerminal() override;
  PosixTerminal(const PosixTerminal&) = delete;
  PosixTerminal& operator=(const PosixTerminal&) = delete;

  ReadResult read(std::span<char> buffer, std::optional<std::chrono::milliseconds> timeout) override;
  void write(std::string_view bytes) override;
  bool output_is_terminal() const override { return output_is_terminal_; }
  bool input_is_terminal() const override { return input_is_terminal_; }
  std::size_t width() const override;
  void set_line_started(bool started) override;
  bool line_started() const override;
  std::optional<int> take_terminating_signal() override;
  void hold_terminating_signals(bool held) override;
  std::optional<std::string> output_failure() const override { return output_failure_; }

  // For the terminating signals (SIGINT, SIGTERM, SIGQUIT, and SIGPIPE from
  // output to a closed pipe), once taken: puts the terminal mode back, gives
  // the signal its default action and raises it, so that the process ends by
  // it (a shell sees status 128 + n).
  [[noreturn]] void end_by_signal(int signal_number);

 private:
  bool output_is_terminal_ = false;
  bool input_is_terminal_ = false;
  bool input_ended_ = false;
  std::optional<std::string> output_failure_;
  sigset_t mask_before_hold_{};
};

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_POSIX_TERMINAL_H_
