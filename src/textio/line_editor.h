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

  // For a screen that lost what it showed. The bytes that draw the line
  // again and put the cursor in its place, `width` columns wide, written
  // right after the prompt's row was written again from its start (and
  // everything after it erased).
  std::string repaint(std::size_t width) const;

  // The bytes that take the cursor from where the last output left it, drawn
  // `old_width` columns wide, to the start of the prompt's row, now that the
  // window is `new_width` wide. Terminals differ here: some keep each screen
  // row and cut it (the cursor's row stays, and the prompt's row is as many
  // rows above as before), others re-wrap the text to the new width (the
  // prompt's row is as many rows above as the new width makes). The cursor
  // goes up by the fewer of the two, so whatever stands above the prompt is
  // never written over; at worst the start of the old prompt stays above the
  // new one.
  std::string back_to_prompt_start(std::size_t old_width, std::size_t new_width) const;

  // For a line left without its Enter (the input ended, or a signal came):
  // the bytes that take the cursor down to the line's last screen row,
  // changing nothing, so that a line end after them leaves the line whole
  // above. Empty without a screen.
  std::string leave(std::size_t width) const;

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
