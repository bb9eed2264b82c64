// The editing of one typed line: keys in, the new line and cursor and the
// bytes that show the change on the screen out. Pure: no terminal is touched.
#ifndef ZENTRILL_TEXTIO_LINE_EDITOR_H_
#define ZENTRILL_TEXTIO_LINE_EDITOR_H_

#include <cstddef>
#include <string>

#include "textio/key.h"

namespace zentrill {

// Keys: characters 32-255 (but DEL) are inserted at the cursor; Backspace
// (0x7F or 0x08) removes the character before the cursor, Delete the one at
// it; Left, Right, Home and End move within the line, Up and Down by one
// console width (stopping at the line's start or end); Tab inserts blanks up
// to the next multiple of 8 characters; Esc clears the line; CR or LF ends
// it. Other keys change nothing. Past kCapacity characters inserted
// characters are dropped.
//
// On a screen each change is shown by one piece of output: an insertion at
// the end of the line by its characters alone, a cursor move by cursor
// movement, anything else by redrawing the line from its start (ECMA-48
// cursor movement and erase). The line may wrap over several screen rows.
// Without a screen nothing is shown while editing and the finished line is
// written once, when Enter ends it, so a transcript holds the line as it was
// taken.
class LineEditor {
 public:
  static constexpr std::size_t kCapacity = 4096;

  // `start_column`: where the line starts on the screen, counted in
  // characters from the start of the screen line the prompt is on (the
  // prompt's bytes since the last line break). The editor assumes the prompt
  // does not end exactly at the right edge of the window.
  LineEditor(std::size_t start_column, bool on_screen);

  // Applies one key; `width` is the console width in columns (taken as 1
  // when 0). Gives the bytes to write; empty when the screen stays as it is.
  // After Enter the cursor stands on the line's last screen row (on a
  // screen), ready for the line end, and every further key does nothing.
  std::string press(Key key, std::size_t width);

  bool done() const { return done_; }
  const std::string& line() const { return line_; }
  std::size_t cursor() const { return cursor_; }

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
