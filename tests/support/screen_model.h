// A terminal's screen for tests: the bytes a program writes played on rows of
// cells, so a test can check what a person would see rather than the bytes.
#ifndef ZENTRILL_TESTS_SUPPORT_SCREEN_MODEL_H_
#define ZENTRILL_TESTS_SUPPORT_SCREEN_MODEL_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zentrill::test_support {

// Knows the controls the console writes: CR, LF, ESC [ n A/B/C/D (cursor up,
// down, forward, back, stopping at the edges), ESC [ J and ESC [ 2 J (erase
// below, erase all), ESC [ K (erase to the row's end), ESC [ H (home); other
// sequences and control bytes are skipped. After a character fills a row's
// last cell the cursor waits there, as xterm's does, until the next
// character wraps it to the next row. The screen grows downwards and never
// scrolls. A width change cuts every row and keeps the cursor's row, as
// terminals that do not re-wrap do (xterm, the Linux console).
class ScreenModel {
 public:
  explicit ScreenModel(std::size_t width);

  void play(std::string_view bytes);
  void resize(std::size_t width);

  // The rows down to the last that holds anything, each without its
  // trailing blanks.
  std::vector<std::string> rows() const;
  std::size_t row() const { return row_; }
  std::size_t column() const { return column_; }

 private:
  std::string& row_cells(std::size_t row);
  void put(char c);
  // Plays the sequence starting at bytes[at] (an ESC); gives the index of
  // its last byte.
  std::size_t control_sequence(std::string_view bytes, std::size_t at);

  std::size_t width_;
  std::vector<std::string> rows_;
  std::size_t row_ = 0;
  std::size_t column_ = 0;
  bool waiting_to_wrap_ = false;
};

}  // namespace zentrill::test_support

#endif  // ZENTRILL_TESTS_SUPPORT_SCREEN_MODEL_H_
