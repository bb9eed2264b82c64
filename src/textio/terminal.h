// The platform below the console: bytes out, bytes in with a time limit, and
// the facts the console needs about the screen. PosixTerminal is the real
// one; tests use a scripted one.
#ifndef ZENTRILL_TEXTIO_TERMINAL_H_
#define ZENTRILL_TEXTIO_TERMINAL_H_

#include <chrono>
#include <cstddef>
#include <optional>
#include <span>
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
  // lost without a report.
  virtual void write(std::string_view bytes) = 0;

  // True when the output is a terminal: only then may escape sequences be
  // written.
  virtual bool output_is_terminal() const = 0;

  // The window's width in columns; 80 when it cannot be told.
  virtual std::size_t width() const = 0;

  // The number of a terminating signal (SIGINT, SIGTERM, SIGQUIT) that
  // arrived and was not taken yet, and takes it.
  virtual std::optional<int> take_terminating_signal() = 0;
};

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_TERMINAL_H_
