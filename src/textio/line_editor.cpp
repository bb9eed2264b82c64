#include "textio/line_editor.h"

#include <algorithm>

namespace zentrill {
namespace {

constexpr std::size_t kTabStop = 8;

void append_sequence(std::string& out, std::size_t n, char final_byte) {
  out += "\x1b[";
  out += std::to_string(n);
  out += final_byte;
}

// Positions count from the start of the prompt's row.
std::string move_cursor(std::size_t from, std::size_t to, std::size_t width) {
  std::string out;
  const std::size_t from_row = from / width;
  const std::size_t to_row = to / width;
  if (to_row < from_row) append_sequence(out, from_row - to_row, 'A');
  if (to_row > from_row) append_sequence(out, to_row - from_row, 'B');
  if (from % width != to % width) {
    out += '\r';
    if (to % width != 0) append_sequence(out, to % width, 'C');
  }
  return out;
}

}  // namespace

LineEditor::LineEditor(std::size_t start_column, bool on_screen)
    : start_column_(start_column), on_screen_(on_screen) {}

void LineEditor::insert(std::string_view text) {
  const std::size_t fits = std::min(text.size(), kCapacity - std::min(kCapacity, line_.size()));
  line_.insert(cursor_, text.substr(0, fits));
  cursor_ += fits;
}

std::string LineEditor::press(Key key, std::size_t width) {
  if (done_) return {};
  width = std::max<std::size_t>(width, 1);
  const std::string old_line = line_;
  const std::size_t old_cursor = cursor_;

  if (key.special) {
    switch (static_cast<KeyCode>(key.value)) {
      case KeyCode::left:
        if (cursor_ > 0) --cursor_;
        break;
      case KeyCode::right:
        if (cursor_ < line_.size()) ++cursor_;
        break;
      case KeyCode::home: cursor_ = 0; break;
      case KeyCode::end: cursor_ = line_.size(); break;
      case KeyCode::up: cursor_ -= std::min(cursor_, width); break;
      case KeyCode::down: cursor_ = std::min(line_.size(), cursor_ + width); break;
      case KeyCode::del:
        if (cursor_ < line_.size()) line_.erase(cursor_, 1);
        break;
      default: break;
    }
  } else {
    const unsigned char c = key.value;
    if (c == '\r' || c == '\n') {
      done_ = true;
      return finish(width);
    }
    if (c == 0x7F || c == 0x08) {
      if (cursor_ > 0) line_.erase(--cursor_, 1);
    } else if (c == '\t') {
      insert(std::string(kTabStop - cursor_ % kTabStop, ' '));
    } else if (c == 0x1B) {
      line_.clear();
      cursor_ = 0;
    } else if (c >= 0x20) {
      insert(std::string(1, static_cast<char>(c)));
    }
  }

  if (!on_screen_) return {};
  if (line_ == old_line) {
    return move_cursor(start_column_ + old_cursor, start_column_ + cursor_, width);
  }
  const bool appended = old_cursor == old_line.size() && cursor_ == line_.size() &&
                        line_.compare(0, old_line.size(), old_line) == 0;
  // An append that ends exactly at the right edge leaves the terminal's
  // cursor waiting to wrap; the redraw moves it onto the next row instead.
  if (appended && (start_column_ + line_.size()) % width != 0) {
    return line_.substr(old_line.size());
  }
  return redraw(old_cursor, width);
}

std::string LineEditor::redraw(std::size_t old_cursor, std::size_t width) const {
  std::string out = move_cursor(start_column_ + old_cursor, start_column_, width);
  out += "\x1b[J";  // erase from the line's start to the end of the screen
  out += repaint(width);
  return out;
}

std::string LineEditor::repaint(std::size_t width) const {
  width = std::max<std::size_t>(width, 1);
  std::string out = line_;
  const std::size_t end = start_column_ + line_.size();
  // A full last row leaves the cursor waiting to wrap: a blank wraps it, CR
  // comes back. A line end would split the line for terminals that re-wrap.
  if (!line_.empty() && end % width == 0) out += " \r";
  out += move_cursor(end, start_column_ + cursor_, width);
  return out;
}

std::string LineEditor::back_to_prompt_start(std::size_t old_width, std::size_t new_width) const {
  const std::size_t at = start_column_ + cursor_;
  // The fewer rows are those of the wider window.
  const std::size_t rows = at / std::max<std::size_t>({old_width, new_width, 1});
  std::string out;
  if (rows > 0) append_sequence(out, rows, 'A');
  out += '\r';
  return out;
}

std::string LineEditor::leave(std::size_t width) const {
  if (!on_screen_) return {};
  width = std::max<std::size_t>(width, 1);
  const std::size_t last = start_column_ + (line_.empty() ? 0 : line_.size() - 1);
  const std::size_t row = (start_column_ + cursor_) / width;
  const std::size_t last_row = last / width;
  std::string out;
  if (last_row > row) append_sequence(out, last_row - row, 'B');
  if (last_row < row) append_sequence(out, row - last_row, 'A');
  return out;
}

std::string LineEditor::finish(std::size_t width) const { return on_screen_ ? leave(width) : line_; }

}  // namespace zentrill
