// The real terminal: standard input and output (fds 0 and 1), their terminal
// mode, and the signals that stop, continue or end the program.
//
// What the driver does with it:
//   1. Constructs one PosixTerminal at start, before anything is printed, and
//      a Console over it.
//   2. When a phase throws TerminatingSignal{n}: removes the files this run
//      wrote under temporary names (no file in place has changed), then
//      calls end_by_signal(n).
//   3. After each phase that does not wait for keys, and before ending
//      normally, asks take_terminating_signal(); a signal that came while the
//      program was computing is there, and is handled as in 2.
//   4. InputEnded never reaches it: the phase that reads keys takes the end
//      of input as the answer "N" and the run goes on to its normal end.
//   5. Ends normally (or by exit(), or a failure) with the terminal put back
//      by the destructor, by an atexit hook, or by the terminate handler.
#ifndef ZENTRILL_TEXTIO_POSIX_TERMINAL_H_
#define ZENTRILL_TEXTIO_POSIX_TERMINAL_H_

#include "textio/terminal.h"

namespace zentrill {

// When stdin is a terminal, key mode is entered at construction: no echo,
// each key delivered as it is pressed, keys typed ahead kept, Ctrl-C and
// Ctrl-Z still signals. The mode found at construction is put back exactly
// on every way out:
//   - destruction, exit(), std::terminate;
//   - SIGINT, SIGTERM, SIGQUIT: the handler puts the mode back and notes the
//     signal; a wait for input then gives Input::signalled, and the driver
//     ends the process with end_by_signal;
//   - SIGTSTP (Ctrl-Z): the handler puts the mode back and notes it; the
//     waiting read stops the process, and on SIGCONT re-enters key mode and
//     gives Input::resumed;
//   - SIGWINCH: the handler notes it; the waiting read gives Input::resized;
//   - SIGHUP: the input has ended (as at end of file, or when a read fails
//     with EIO).
// Signals that were ignored when the program started stay ignored. SIGPIPE
// is ignored while the terminal exists, so output to a closed pipe is lost
// silently instead of killing the program with the mode not put back.
// stdin is never made non-blocking (that flag is shared with the shell).
// Only one PosixTerminal may exist at a time.
class PosixTerminal final : public Terminal {
 public:
  PosixTerminal();
  ~PosixTerminal() override;
  PosixTerminal(const PosixTerminal&) = delete;
  PosixTerminal& operator=(const PosixTerminal&) = delete;

  ReadResult read(std::span<char> buffer, std::optional<std::chrono::milliseconds> timeout) override;
  void write(std::string_view bytes) override;
  bool output_is_terminal() const override { return output_is_terminal_; }
  std::size_t width() const override;
  std::optional<int> take_terminating_signal() override;

  // Puts the terminal mode back, gives the signal its default action, and
  // raises it, so the process ends by it (a shell sees status 128 + n).
  [[noreturn]] void end_by_signal(int signal_number);

 private:
  void enter_key_mode();
  void stop_until_continued();

  bool output_is_terminal_ = false;
  bool input_ended_ = false;
};

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_POSIX_TERMINAL_H_
