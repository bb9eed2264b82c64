// The editing of one typed line: keys in, the edited line and the bytes that
// show each change on the screen out. Pure: no terminal is touched.
#ifndef ZENTRILL_TEXTIO_LINE_EDITOR_H_
#define ZENTRILL_TEXTIO_LINE_EDITOR_H_

#include <cstddef>
#include <string>

#include "textio/key.h"

namespace zentrill {

// Up and Down move one window width, stopping at the line's ends; Tab pads to
// a multiple of 8; Esc clears the line; characters past kCapacity are dropped.
// Without a screen nothing shows until Enter writes the line once, so a
// transcript holds the line as it was taken.
class LineEditor {
 public:
  static constexpr std::size_t kCapacity = 4096;

  // `start_column`: the prompt's length since the last line break. The prompt
  // must not end exactly at the window's right edge.
  LineEditor(std::size_t start_column, bool on_screen);

  // The bytes to write for one key (`width` 0 counts as 1). After Enter the
  // cursor is on the line's last row, and later keys do nothing.
  std::string press(Key key, std::size_t width);

  // The line and cursor, after the prompt's row is redrawn and the rest erased.
  std::string repaint(std::size_t width) const;

  // To the prompt row's start after a width change. Terminals either cut or
  // re-wrap rows, so this goes up the fewer rows: never over the prompt.
  std::string back_to_prompt_start(std::size_t old_width, std::size_t new_width) const;

  // For a line left without Enter: down to its last row, keeping it whole.
  std::string leave(std::size_t width) const;

  bool done() const { return done_; }
  const std::string& line() const { return line_; }

 private:
  void insert(std::string_view text);
  std::string redraw(std::size_t old_cursor, std::size_t width) const;
  std::string finish(std::size_t width) const;

  std::size_t start_column_;
  bool on_screen_;
  std::string line_;
  std::size_t cursor_ = 0;
  bool done_ = false;
};

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_LINE_EDITOR_H_
