// The console as the phases see it: printing, single keys without echo, and
// edited lines. It stands on a Terminal, so phases run on scripted keys.
#ifndef ZENTRILL_TEXTIO_CONSOLE_H_
#define ZENTRILL_TEXTIO_CONSOLE_H_

#include <memory>
#include <string>
#include <string_view>

#include "textio/key.h"
#include "textio/line_end.h"

namespace zentrill {

// Thrown by the key reads when no key can ever come (end of input, hang-up).
struct InputEnded {};

// Thrown by the key reads after SIGINT, SIGTERM, SIGQUIT or SIGPIPE; the
// driver then changes no file and ends by that signal.
struct TerminatingSignal {
  int signal_number;
};

class Terminal;

// Throws TerminatingSignal for a terminating signal that has arrived.
void end_if_signalled(Terminal& terminal);

// On a terminal a stop (Ctrl-Z) first starts a fresh line, and after fg the
// current row is drawn again: the prompt with its echoed keys or edited line.
// A width change while a line is edited draws the line again at the new width.
class Console {
 public:
  explicit Console(Terminal& terminal);
  ~Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // Nothing when stdout is not a terminal.
  void clear_screen();
  // The bytes unchanged, then CR LF when asked; on screen before any wait.
  void print(std::string_view text, LineEnd line_end = LineEnd::without);
  // CR LF when the cursor on a terminal is past a line's start, so that a
  // message on standard error or the shell's prompt starts in column 0.
  void start_fresh_line();
  // Never echoed. Throws InputEnded or TerminatingSignal.
  Key wait_for_key();
  // Ctrl-D at a terminal only: from a pipe or a file 0x04 is a plain character.
  bool is_end_key(Key key) const;
  // Prints the prompt and "? ", reads one line (LineEditor's keys, keys typed
  // ahead first) until Enter and gives its first text item. Throws InputEnded
  // (an unfinished line is discarded) or TerminatingSignal.
  std::string read_typed_item(std::string_view prompt);

 private:
  struct State;
  Terminal& terminal_;
  std::unique_ptr<State> state_;
};

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_CONSOLE_H_
