// The platform below the console: bytes out, bytes in with a time limit, and
// the facts the console needs about the screen. PosixTerminal is the real
// one; tests use a scripted one.
#ifndef ZENTRILL_TEXTIO_TERMINAL_H_
#define ZENTRILL_TEXTIO_TERMINAL_H_

#include <chrono>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zentrill {

class Terminal {
 public:
  enum class Input {
    bytes,      // `size` bytes were read
    timed_out,  // nothing came within the time limit
    ended,      // no byte can ever come again; every later read says so too
    signalled,  // a terminating signal is pending: see take_terminating_signal
    resumed,    // the program was stopped and goes on: other output may stand where the cursor was
    resized,    // the window's size changed: its rows may have been cut or re-wrapped
  };
  struct ReadResult {
    Input input;
    std::size_t size = 0;
  };

  virtual ~Terminal() = default;

  // Waits until input is there, then reads at most buffer.size() bytes of it
  // (at least one, buffer.size() > 0), never waiting for more. `timeout` is
  // the longest wait; zero only looks, none waits without limit. Input that
  // is already there is read even when the time is zero. A stop and
  // continue, or a change of the window's size, ends the wait at once with
  // `resumed` or `resized` and no bytes, so the screen can be drawn again.
  virtual ReadResult read(std::span<char> buffer, std::optional<std::chrono::milliseconds> timeout) = 0;

  // Writes all the bytes, in order, before returning, so that they are on
  // the screen before the program waits. Output that cannot be written is
  // lost; output_failure tells why.
  virtual void write(std::string_view bytes) = 0;

  // The system's reason why output first could not be written (a full disk,
  // an I/O error), or nothing. Output to a closed pipe is none: it brings
  // the terminating signal SIGPIPE. Neither is output to a terminal that
  // hung up, which has no reader left.
  virtual std::optional<std::string> output_failure() const = 0;

  // True when the output is a terminal: only then may escape sequences be
  // written.
  virtual bool output_is_terminal() const = 0;

  // True when the input is a terminal, read key by key: its bytes are keys
  // pressed by someone, Ctrl-D among them, not data from a pipe or a file.
  virtual bool input_is_terminal() const = 0;

  // The window's width in columns; 80 when it cannot be told.
  virtual std::size_t width() const = 0;

  // Whether the cursor stands after the start of a line, as the console says
  // before each write that may take it there and after each write. A stop
  // (Ctrl-Z) first takes the cursor to a fresh line when it does, and then
  // it no longer does.
  virtual void set_line_started(bool started) = 0;
  virtual bool line_started() const = 0;

  // The number of a terminating signal (SIGINT, SIGTERM, SIGQUIT, SIGPIPE)
  // that arrived and was not taken yet, and takes it.
  virtual std::optional<int> take_terminating_signal() = 0;

  // While held, the terminating signals and a hang-up wait, and arrive only
  // when let through again: nothing ends the program halfway through moving
  // its files into place. Holds do not nest.
  virtual void hold_terminating_signals(bool held) = 0;
};

// Holds the terminating signals back while it lasts.
class TerminatingSignalsHeld {
 public:
  explicit TerminatingSignalsHeld(Terminal& terminal) : terminal_(terminal) {
    terminal_.hold_terminating_signals(true);
  }
  ~TerminatingSignalsHeld() { terminal_.hold_terminating_signals(false); }
  TerminatingSignalsHeld(const TerminatingSignalsHeld&) = delete;
  TerminatingSignalsHeld& operator=(const TerminatingSignalsHeld&) = delete;

 private:
  Terminal& terminal_;
};

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_TERMINAL_H_
