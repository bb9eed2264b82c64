#include "textio/console.h"

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "textio/item_reader.h"
#include "textio/key_decoder.h"
#include "textio/line_editor.h"
#include "textio/terminal.h"

namespace zentrill {
namespace {

using Clock = std::chrono::steady_clock;

// Terminals send a sequence in one piece, far faster than this Esc wait.
constexpr std::chrono::milliseconds kEscapeWait{50};

// The typed line as the data of one item read: its end is the data's end.
class LineStream {
 public:
  explicit LineStream(std::string_view line) : line_(line) {}
  int next() {
    if (pushed_back_ != kEndOfData) return std::exchange(pushed_back_, kEndOfData);
    if (position_ == line_.size()) return kEndOfData;
    return static_cast<unsigned char>(line_[position_++]);
  }
  void push_back(char c) { pushed_back_ = static_cast<unsigned char>(c); }

 private:
  std::string_view line_;
  std::size_t position_ = 0;
  int pushed_back_ = kEndOfData;
};

}  // namespace

struct Console::State {
  explicit State(Terminal& t) : terminal(t) {}

  Terminal& terminal;
  KeyDecoder decoder;
  // Decoded keys not yet taken; input is read only once all are taken.
  std::vector<Key> pending;
  std::size_t next_pending = 0;
  std::array<char, 256> buffer{};
  bool input_ended = false;
  Clock::time_point last_byte_time{};
  // Since the last CR or LF: the cursor's row, drawn again after a stop.
  std::string row_text;

  struct Editing {
    const LineEditor& editor;
    std::string prompt_row;  // row_text when the line started
    std::size_t width;       // the width the line was last drawn at
  };
  Editing* editing = nullptr;

  // The line counts as started while bytes go out, so that a stop meanwhile
  // leaves the shell's message a line of its own.
  void put(std::string_view bytes) {
    terminal.set_line_started(true);
    terminal.write(bytes);
  }

  void tell_line_position() { terminal.set_line_started(editing != nullptr || !row_text.empty()); }

  void write(std::string_view bytes) {
    if (bytes.empty()) return;
    put(bytes);
    // An edited line's row is its prompt_row and the editor's line.
    if (editing == nullptr) {
      const std::size_t line_break = bytes.find_last_of("\r\n");
      if (line_break == std::string_view::npos) {
        row_text += bytes;
      } else {
        row_text = bytes.substr(line_break + 1);
      }
    }
    tell_line_position();
  }

  // `to_row_start` takes the cursor to the prompt row's start.
  void draw_edited_line(std::string to_row_start, std::size_t width) {
    std::string out = std::move(to_row_start);
    out += "\x1b[J";  // erase to the end of the screen
    out += editing->prompt_row;
    out += editing->editor.repaint(width);
    put(out);
    tell_line_position();
  }

  // After a stop and fg the shell's lines stand where the row was: draw it
  // again below them. Not through write(): row_text stays as it was.
  void draw_row_again() {
    if (!terminal.output_is_terminal()) return;
    if (editing == nullptr) {
      put("\r\x1b[J" + row_text);  // the row's start, erase to the end of the screen
      tell_line_position();
      return;
    }
    editing->width = terminal.width();
    draw_edited_line("\r", editing->width);
  }

  // A width change cuts or re-wraps the edited line's rows, so it is drawn
  // again. A bare prompt with its echoed keys is short enough for any width.
  void follow_width() {
    if (editing == nullptr) return;
    const std::size_t width = terminal.width();
    if (width == editing->width) return;
    if (terminal.output_is_terminal()) {
      draw_edited_line(editing->editor.back_to_prompt_start(editing->width, width), width);
    }
    editing->width = width;
  }

  Terminal::Input take_input(std::optional<std::chrono::milliseconds> timeout) {
    if (input_ended) return Terminal::Input::ended;
    const Terminal::ReadResult result = terminal.read(buffer, timeout);
    switch (result.input) {
      case Terminal::Input::bytes:
        decoder.feed(std::string_view(buffer.data(), result.size), pending);
        last_byte_time = Clock::now();
        break;
      case Terminal::Input::ended:
        input_ended = true;
        decoder.finish(pending);  // a lone Esc at the very end is an Esc
        break;
      case Terminal::Input::signalled:
        end_if_signalled(terminal);
        break;
      case Terminal::Input::resumed:
        draw_row_again();
        break;
      case Terminal::Input::resized:
        follow_width();
        break;
      case Terminal::Input::timed_out:
        break;
    }
    return result.input;
  }

  Key next_key() {
    for (;;) {
      end_if_signalled(terminal);
      if (next_pending < pending.size()) return pending[next_pending++];
      pending.clear();
      next_pending = 0;
      if (input_ended) throw InputEnded{};
      if (!decoder.pending()) {
        take_input(std::nullopt);
        continue;
      }
      const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - last_byte_time);
      if (waited >= kEscapeWait || take_input(kEscapeWait - waited) == Terminal::Input::timed_out) {
        decoder.finish(pending);
      }
    }
  }
};

void end_if_signalled(Terminal& terminal) {
  if (const auto signal_number = terminal.take_terminating_signal()) throw TerminatingSignal{*signal_number};
}

Console::Console(Terminal& terminal) : terminal_(terminal), state_(std::make_unique<State>(terminal)) {}

Console::~Console() = default;

void Console::clear_screen() {
  if (!terminal_.output_is_terminal()) return;
  state_->put("\x1b[H\x1b[2J");  // cursor home, erase the whole display
  state_->row_text.clear();
  state_->tell_line_position();
}

void Console::start_fresh_line() {
  // The terminal knows best: after a stop the shell left a fresh line.
  if (terminal_.output_is_terminal() && terminal_.line_started()) state_->write(kLineEndBytes);
}

bool Console::is_end_key(Key key) const { return key.is('\x04') && terminal_.input_is_terminal(); }

void Console::print(std::string_view text, LineEnd line_end) {
  if (line_end == LineEnd::without) {
    state_->write(text);
    return;
  }
  std::string bytes(text);
  bytes += kLineEndBytes;
  state_->write(bytes);
}

Key Console::wait_for_key() { return state_->next_key(); }

std::string Console::read_typed_item(std::string_view prompt) {
  std::string prompt_line(prompt);
  prompt_line += "? ";
  state_->write(prompt_line);
  LineEditor editor(state_->row_text.size(), terminal_.output_is_terminal());
  State::Editing editing{editor, state_->row_text, terminal_.width()};
  state_->editing = &editing;
  try {
    while (!editor.done()) {
      const Key key = state_->next_key();
      // Keys typed ahead skip the terminal read that reports a width change.
      state_->follow_width();
      state_->write(editor.press(key, editing.width));
    }
  } catch (...) {
    // The unfinished line stays on the screen, the cursor on its last row.
    state_->editing = nullptr;
    state_->write(editor.leave(editing.width));
    state_->row_text = editing.prompt_row + editor.line();
    state_->tell_line_position();
    throw;
  }
  state_->editing = nullptr;
  state_->write(kLineEndBytes);
  LineStream stream(editor.line());
  return read_item(stream, ItemKind::text);
}

}  // namespace zentrill
