#include "textio/line_editor.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace zentrill {
namespace {

// Keys written as text: each character is its own key, and {NAME} is a key
// without one (or a named control key).
std::vector<Key> keys(const std::string& script) {
  static const std::map<std::string, Key> named = {
      {"L", Key::of(KeyCode::left)},   {"R", Key::of(KeyCode::right)}, {"H", Key::of(KeyCode::home)},
      {"E", Key::of(KeyCode::end)},    {"U", Key::of(KeyCode::up)},    {"D", Key::of(KeyCode::down)},
      {"DEL", Key::of(KeyCode::del)},  {"INS", Key::of(KeyCode::insert)}, {"F1", Key::of(KeyCode::f1)},
      {"PGUP", Key::of(KeyCode::page_up)}, {"OTHER", Key::of(KeyCode::other)},
      {"BS", Key::character('\x7f')},  {"ESC", Key::character('\x1b')}, {"TAB", Key::character('\t')},
  };
  std::vector<Key> out;
  for (std::size_t i = 0; i < script.size(); ++i) {
    if (script[i] == '{') {
      const std::size_t close = script.find('}', i);
      out.push_back(named.at(script.substr(i + 1, close - i - 1)));
      i = close;
    } else {
      out.push_back(Key::character(script[i]));
    }
  }
  return out;
}

std::string press_all(LineEditor& editor, const std::string& script, std::size_t width = 80) {
  std::string out;
  for (const Key& key : keys(script)) out += editor.press(key, width);
  return out;
}

struct EditCase {
  std::string script;
  std::size_t width;
  std::string marked_line;  // the line with '|' where the cursor stands
};

TEST(LineEditor, EditingKeysChangeTheLineAndCursor) {
  const std::vector<EditCase> cases = {
      {"12", 80, "12|"},
      {"ab{L}X", 80, "aX|b"},
      {"abc{H}X", 80, "X|abc"},
      {"abc{H}{E}X", 80, "abcX|"},
      {"{L}{L}a{R}{R}b", 80, "ab|"},
      {"abc{L}{L}{BS}", 80, "|bc"},
      {"abc{L}\x08", 80, "a|c"},
      {"{BS}a", 80, "a|"},
      {"abc{H}{DEL}", 80, "|bc"},
      {"abc{DEL}", 80, "abc|"},
      {"abc{ESC}de", 80, "de|"},
      {"{TAB}x", 80, "        x|"},
      {"abc{TAB}x", 80, "abc     x|"},
      {"abcdefgh{TAB}", 80, "abcdefgh        |"},
      {"abcdef{H}{R}{TAB}", 80, "a       |bcdef"},
      // Control characters and keys without an editing meaning do nothing.
      {"a\x01\x1f\x04{F1}{INS}{PGUP}{OTHER}b", 80, "ab|"},
      // Every byte from 32 to 255 but DEL is a character of the line.
      {" ~\x80\xff", 80, " ~\x80\xff|"},
      // Up and Down move by the width, stopping at the line's ends.
      {"0123456789abcdef{U}X", 10, "012345X|6789abcdef"},
      {"0123456789abcdef{H}{D}X", 10, "0123456789X|abcdef"},
      {"abc{U}X", 10, "X|abc"},
      {"abc{H}{D}X", 10, "abcX|"},
      {"abc{U}X", 0, "abX|c"},  // width 0 counts as 1
  };
  for (const EditCase& c : cases) {
    for (const bool on_screen : {false, true}) {
      LineEditor editor(0, on_screen);
      press_all(editor, c.script + "|", c.width);  // inserted at the cursor
      EXPECT_EQ(editor.line(), c.marked_line) << c.script;
      EXPECT_FALSE(editor.done()) << c.script;
    }
  }
}

TEST(LineEditor, CarriageReturnOrLineFeedEndsTheLineAndLaterKeysDoNothing) {
  for (const std::string end : {"\r", "\n"}) {
    LineEditor editor(0, false);
    press_all(editor, "ab" + end + "cd{BS}");
    EXPECT_TRUE(editor.done());
    EXPECT_EQ(editor.line(), "ab");
  }
}

TEST(LineEditor, DropsCharactersPastTheCapacity) {
  LineEditor editor(0, false);
  press_all(editor, std::string(5000, 'a'));
  EXPECT_EQ(editor.line(), std::string(LineEditor::kCapacity, 'a'));
  press_all(editor, "{H}b{TAB}");
  EXPECT_EQ(editor.line(), std::string(LineEditor::kCapacity, 'a'));
  press_all(editor, "{BS}{DEL}b");
  EXPECT_EQ(editor.line(), "b" + std::string(LineEditor::kCapacity - 1, 'a'));

  LineEditor tabs(0, false);
  press_all(tabs, std::string(4093, 'x') + "{TAB}{TAB}y");
  EXPECT_EQ(tabs.line(), std::string(4093, 'x') + "   ");
}

TEST(LineEditor, WithoutAScreenShowsNothingUntilEnterThenTheLine) {
  LineEditor editor(23, false);
  EXPECT_EQ(press_all(editor, "12x{BS}{L}{H}{ESC}40{TAB}{U}{F1}"), "");
  EXPECT_EQ(editor.press(Key::character('\r'), 80), "40      ");
}

struct ScreenCase {
  std::size_t start_column;
  std::size_t width;
  std::string before;  // keys pressed first
  std::string key;     // the key whose output is checked
  std::string output;
};

TEST(LineEditor, OnAScreenShowsEachChangeInOnePiece) {
  const std::vector<ScreenCase> cases = {
      // At the end: the characters alone.
      {23, 80, "", "a", "a"},
      {23, 80, "ab", "{TAB}", "      "},
      // A cursor move: cursor movement alone.
      {23, 80, "ab", "{L}", "\r\x1b[24C"},
      {23, 80, "ab", "{H}", "\r\x1b[23C"},
      {0, 80, "ab", "{H}", "\r"},
      {23, 80, "ab{H}", "{E}", "\r\x1b[25C"},
      // Anything else: back to the line's start, erase, the line, the cursor.
      {23, 80, "ab{L}", "X", "\r\x1b[23C\x1b[JaXb\r\x1b[25C"},
      {23, 80, "ab", "{BS}", "\r\x1b[23C\x1b[Ja"},
      {23, 80, "abc{H}", "{DEL}", "\x1b[Jbc\r\x1b[23C"},
      {23, 80, "ab", "{ESC}", "\r\x1b[23C\x1b[J"},
      // Nothing changes: nothing shown.
      {23, 80, "ab", "{F1}", ""},
      {23, 80, "", "{BS}", ""},
      {23, 80, "ab", "{R}", ""},
      // Over several rows of a window 10 wide. Filling a row moves the
      // cursor onto the next one, away from the edge.
      {0, 10, "012345678", "9", "\r\x1b[J0123456789 \r"},
      {0, 10, "0123456789", "a", "a"},
      {0, 10, "0123456789a", "{H}", "\x1b[1A\r"},
      {0, 10, "0123456789a{H}", "{E}", "\x1b[1B\r\x1b[1C"},
      {5, 10, "abcdefghij", "{U}", "\x1b[1A"},
      {5, 10, "abcdefghijk{H}", "{D}", "\x1b[1B"},
      {5, 10, "abcdefghijklmn", "{BS}", "\x1b[1A\r\x1b[5C\x1b[Jabcdefghijklm"},
      {5, 10, "abcdefghijklmnopq{H}", "X", "\x1b[JXabcdefghijklmnopq\x1b[2A\r\x1b[6C"},
      // Enter: down to the row of the last character, for the line end.
      {23, 80, "ab{H}", "\r", ""},
      {0, 10, "0123456789abcde{H}", "\r", "\x1b[1B"},
      {0, 10, "0123456789", "\r", "\x1b[1A"},
      {0, 10, "", "\r", ""},
  };
  for (const ScreenCase& c : cases) {
    LineEditor editor(c.start_column, true);
    press_all(editor, c.before, c.width);
    EXPECT_EQ(press_all(editor, c.key, c.width), c.output) << c.before << " then " << c.key;
  }
}

// A window that cuts its rows keeps the cursor's row; one that re-wraps them
// puts the prompt as many rows above the cursor as the new width makes. Up
// by the fewer never reaches above the prompt.
TEST(LineEditor, AfterAWidthChangeGoesUpToThePromptAndDrawsTheLineAgain) {
  LineEditor editor(23, true);
  press_all(editor, std::string(150, 'x') + "{L}", 100);  // the cursor at 172
  EXPECT_EQ(editor.back_to_prompt_start(100, 60), "\x1b[1A\r");  // 1 row at 100, 2 at 60
  EXPECT_EQ(editor.back_to_prompt_start(60, 100), "\x1b[1A\r");
  EXPECT_EQ(editor.back_to_prompt_start(100, 200), "\r");
  EXPECT_EQ(editor.repaint(60), std::string(150, 'x') + "\r\x1b[52C");
  EXPECT_EQ(editor.leave(60), "");  // already on the last row
  press_all(editor, "{H}", 60);
  EXPECT_EQ(editor.leave(60), "\x1b[2B");
}

}  // namespace
}  // namespace zentrill
