// The platform below the console: bytes out, bytes in with a time limit, and
// the screen's facts. Tests use a scripted one.
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

  // Waits for input, then reads what is there, up to buffer.size(). Zero
  // `timeout` only looks, none waits without limit. A stop and continue or a
  // resize ends the wait with no bytes, so the screen can be drawn again.
  virtual ReadResult read(std::span<char> buffer, std::optional<std::chrono::milliseconds> timeout) = 0;

  // All of them before returning, so they are on the screen before the
  // program waits. Output that cannot be written is lost; see output_failure.
  virtual void write(std::string_view bytes) = 0;

  // Why output first failed, or nothing. A closed pipe is no failure (it
  // brings SIGPIPE), nor is a hung-up terminal, which has no reader left.
  virtual std::optional<std::string> output_failure() const = 0;

  // Only then may escape sequences be written.
  virtual bool output_is_terminal() const = 0;

  // Then its bytes are keys pressed by someone, Ctrl-D among them.
  virtual bool input_is_terminal() const = 0;

  // 80 when it cannot be told.
  virtual std::size_t width() const = 0;

  // Whether the cursor is past column 0, as the console says around each
  // write; a stop (Ctrl-Z) first moves it to a fresh line.
  virtual void set_line_started(bool started) = 0;
  virtual bool line_started() const = 0;

  // A terminating signal (SIGINT, SIGTERM, SIGQUIT, SIGPIPE) not taken yet.
  virtual std::optional<int> take_terminating_signal() = 0;

  // While held, terminating signals and a hang-up wait, so nothing ends the
  // program halfway through moving its files into place. Holds do not nest.
  virtual void hold_terminating_signals(bool held) = 0;
};

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
