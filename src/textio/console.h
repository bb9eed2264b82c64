// The console as the phases see it: printing, single keys without echo, and
// typed lines with echo and editing. The platform below it is a Terminal
// (terminal.h), so the phases can be run on scripted keys.
#ifndef ZENTRILL_TEXTIO_CONSOLE_H_
#define ZENTRILL_TEXTIO_CONSOLE_H_

#include <memory>
#include <string>
#include <string_view>

#include "textio/key.h"
#include "textio/line_end.h"

namespace zentrill {

// Thrown by the key reads when no key can ever arrive again (end of input,
// or the terminal hung up).
struct InputEnded {};

// Thrown by the key reads when a terminating signal (SIGINT, SIGTERM,
// SIGQUIT, or SIGPIPE from output to a closed pipe) arrived; the driver
// changes no file and ends by that signal.
struct TerminatingSignal {
  int signal_number;
};

class Terminal;

// On a terminal the console keeps the terminal told whether the cursor
// stands after a line's start, so that a stop (Ctrl-Z) first starts a fresh
// line, and the waits for keys draw the screen's current row again when the
// program was stopped and continued (then fg): the prompt and the keys
// echoed, or the prompt, the line as edited and the cursor in its place.
// A change of the window's width while a line is edited draws the line again
// at the new width.
class Console {
 public:
  explicit Console(Terminal& terminal);
  ~Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // Blanks the window and homes the cursor; nothing when stdout is not a
  // terminal.
  void clear_screen();
  // The bytes, unchanged, then CR LF when asked. On screen before any wait.
  void print(std::string_view text, LineEnd line_end = LineEnd::without);
  // On a terminal, when the cursor is not at the start of a line (after a
  // prompt, or a typed line left without its Enter, and no stop since),
  // writes CR LF, so that what comes next, a message on standard error or
  // the shell's prompt, starts in column 0. Writes nothing when stdout is not
  // a terminal.
  void start_fresh_line();
  // The oldest pending key, waiting (without using the CPU) until there is
  // one; never echoes. Throws InputEnded or TerminatingSignal.
  Key wait_for_key();
  // True for Ctrl-D pressed at a terminal: the user's end of input, where
  // the dialogue takes it. A byte 0x04 from a pipe or a file is a character
  // like any other.
  bool is_end_key(Key key) const;
  // Prints the prompt and "? ", reads one edited line with echo until Enter,
  // prints CR LF and gives the line's first text item. Keys already pending
  // are the line's first keys. The editing keys are LineEditor's
  // (line_editor.h); when stdout is not a terminal nothing is echoed while
  // the line is edited and the finished line is echoed once, before the CR
  // LF. Throws InputEnded (a line without its Enter is discarded) or
  // TerminatingSignal.
  std::string read_typed_item(std::string_view prompt);

 private:
  struct State;
  Terminal& terminal_;
  std::unique_ptr<State> state_;
};

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_CONSOLE_H_
