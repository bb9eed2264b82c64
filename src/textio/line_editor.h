// The editing of one typed line: keys in, the edited line and the bytes that
// show each change on the screen out. Pure: no terminal is touched.
#ifndef ZENTRILL_TEXTIO_LINE_EDITOR_H_
#define ZENTRILL_TEXTIO_LINE_EDITOR_H_

#include <cstddef>
#include <string>

#include "textio/key.h"

namespace zentrill {

// Keys: characters 32-255 (but DEL) are inserted at the cursor; Backspace
// (0x7F or 0x08) removes the character before the cursor, Delete the one at
// it; Left, Right, Home and End move within the line, Up and Down by one
// window width (stopping at the line's ends); Tab inserts blanks up to the
// next multiple of 8 characters; Esc clears the line; CR or LF ends it.
// Other keys change nothing; characters past kCapacity are dropped.
//
// On a screen each change is one piece of output (ECMA-48 cursor movement
// and erase), and the line may wrap over several rows. Without a screen
// nothing is shown until Enter, which writes the line once, so a transcript
// holds the line as it was taken.
class LineEditor {
 public:
  static constexpr std::size_t kCapacity = 4096;

  // `start_column`: the length of the prompt since the last line break,
  // where the line starts. The prompt must not end exactly at the window's
  // right edge.
  LineEditor(std::size_t start_column, bool on_screen);

  // Applies one key in a window `width` columns wide (0 counts as 1) and
  // gives the bytes to write, empty when the screen stays as it is. After
  // Enter the cursor is on the line's last row, and later keys do nothing.
  std::string press(Key key, std::size_t width);

  // The line and the cursor drawn again at `width`, once the prompt's row has
  // been written again from its start and everything after it erased.
  std::string repaint(std::size_t width) const;

  // From where the last output, drawn `old_width` wide, left the cursor to
  // the start of the prompt's row in a window now `new_width` wide. Some
  // terminals cut their rows at a width change and others re-wrap them: the
  // cursor goes up by the fewer rows of the two, so that nothing above the
  // prompt is ever written over.
  std::string back_to_prompt_start(std::size_t old_width, std::size_t new_width) const;

  // For a line left without its Enter: down to the line's last row, so that
  // a line end after it leaves the line whole. Empty without a screen.
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
