// A Terminal for tests: the input is a script of bytes, pauses, signals, stops
// and window changes, and everything written is kept, and played on a model
// screen when the output is a terminal. The input ends after the script.
#ifndef ZENTRILL_TESTS_SUPPORT_SCRIPTED_TERMINAL_H_
#define ZENTRILL_TESTS_SUPPORT_SCRIPTED_TERMINAL_H_

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "screen_model.h"
#include "textio/terminal.h"

namespace zentrill::test_support {

class ScriptedTerminal final : public Terminal {
 public:
  // `input`: bytes that are all there from the start. Neither input nor
  // output is a terminal and the width is 80 unless set otherwise. Output
  // never fails.
  explicit ScriptedTerminal(std::string_view input = {});

  // The script, in order:
  // Bytes that arrive together.
  ScriptedTerminal& type(std::string_view bytes);
  // A gap: a read with a time limit above zero finds nothing and uses the
  // gap up; a read without a limit waits through it; a read with no time
  // at all finds nothing and leaves it.
  ScriptedTerminal& pause();
  // A terminating signal arrives (SIGINT is 2, ...).
  ScriptedTerminal& signal(int signal_number);
  // A terminating signal arrives while they are held back, as the files are
  // moved, and is taken once they are let through (out of the script).
  ScriptedTerminal& signal_while_held(int signal_number);
  // The program was stopped (Ctrl-Z) and continued: as a real terminal
  // does, it takes the cursor to a fresh line when the line is started;
  // meanwhile the shell wrote its job-control lines on the screen, the
  // first where the cursor was (as dash does).
  ScriptedTerminal& resume();
  // The window became `columns` wide.
  ScriptedTerminal& resize(std::size_t columns);

  ScriptedTerminal& set_output_is_terminal(bool is_terminal);
  ScriptedTerminal& set_input_is_terminal(bool is_terminal);
  ScriptedTerminal& set_width(std::size_t columns);

  // Everything written, and each write call's bytes.
  const std::string& output() const { return output_; }
  const std::vector<std::string>& writes() const { return writes_; }
  // What a terminal's screen shows of it.
  const ScreenModel& screen() const { return screen_; }
  // Input bytes the console has not read yet.
  std::size_t unread_bytes() const;

  ReadResult read(std::span<char> buffer, std::optional<std::chrono::milliseconds> timeout) override;
  void write(std::string_view bytes) override;
  std::optional<std::string> output_failure() const override { return std::nullopt; }
  bool output_is_terminal() const override { return output_is_terminal_; }
  bool input_is_terminal() const override { return input_is_terminal_; }
  std::size_t width() const override { return width_; }
  void set_line_started(bool started) override { line_started_ = started; }
  bool line_started() const override { return line_started_; }
  std::optional<int> take_terminating_signal() override;
  // Recorded only: the script's signals come in its order all the same.
  void hold_terminating_signals(bool held) override;
  bool terminating_signals_held() const { return signals_held_; }
  // How often they were held back.
  int holds() const { return holds_; }

 private:
  struct Event {
    enum class Kind { bytes, pause, signal, resume, resize } kind;
    std::string bytes;
    int signal_number = 0;
    std::size_t columns = 0;
  };

  std::deque<Event> script_;
  std::string output_;
  std::vector<std::string> writes_;
  bool output_is_terminal_ = false;
  bool input_is_terminal_ = false;
  bool line_started_ = false;
  std::size_t width_ = 80;
  ScreenModel screen_{80};
  int pending_signal_ = 0;
  int signal_while_held_ = 0;
  bool signals_held_ = false;
  int holds_ = 0;
};

}  // namespace zentrill::test_support

#endif  // ZENTRILL_TESTS_SUPPORT_SCRIPTED_TERMINAL_H_
