// The real terminal: stdin and stdout, their mode, and the signals.
#ifndef ZENTRILL_TEXTIO_POSIX_TERMINAL_H_
#define ZENTRILL_TEXTIO_POSIX_TERMINAL_H_

#include <signal.h>

#include "textio/terminal.h"

namespace zentrill {

// Whether the run reads keys. A run that does not (its glides given on the
// command line) leaves the terminal's mode alone, so that it can run in the
// background of a shell without being stopped for touching the terminal.
enum class KeyInput { read, unused };

// When keys are read, enters key mode on a terminal stdin (no echo, keys
// typed ahead kept, Ctrl-C and Ctrl-Z still signals, Ctrl-S and Ctrl-Q plain
// keys) and puts the old mode back on every way out. A hang-up ends the input. Ctrl-Z stops inside
// its handler, so the stop comes at once even while the program computes.
// Never makes stdin non-blocking: the flag is shared with the shell. One
// PosixTerminal at a time.
class PosixTerminal final : public Terminal {
 public:
  explicit PosixTerminal(KeyInput keys);
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

  // For a taken terminating signal: puts the mode back and dies of the
  // signal, so a shell sees status 128 + n.
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
