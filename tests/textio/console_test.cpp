#include "textio/console.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "scripted_terminal.h"
#include "textio/key_decoder.h"

namespace zentrill {
namespace {

using test_support::ScriptedTerminal;

const Key kUp = Key::of(KeyCode::up);
const Key kOther = Key::of(KeyCode::other);
const Key kEsc = Key::character('\x1b');

// Every key wait_for_key gives until the input ends.
std::vector<Key> all_keys(Console& console) {
  std::vector<Key> keys;
  try {
    for (;;) keys.push_back(console.wait_for_key());
  } catch (const InputEnded&) {
  }
  return keys;
}

TEST(Console, KeysComeInOrderOneCallEach) {
  ScriptedTerminal terminal("ab\x1b[Ac\x1b[3~");
  Console console(terminal);
  EXPECT_EQ(console.wait_for_key(), Key::character('a'));
  EXPECT_EQ(console.wait_for_key(), Key::character('b'));
  EXPECT_EQ(console.wait_for_key(), kUp);
  EXPECT_EQ(console.wait_for_key(), Key::character('c'));
  EXPECT_EQ(console.wait_for_key(), Key::of(KeyCode::del));
  EXPECT_THROW(console.wait_for_key(), InputEnded);
  EXPECT_THROW(console.wait_for_key(), InputEnded);  // and again
  EXPECT_EQ(terminal.output(), "");  // keys are never echoed
}

TEST(Console, WaitForKeyWaitsThroughAGap) {
  ScriptedTerminal terminal;
  terminal.pause().type("x");
  Console console(terminal);
  EXPECT_EQ(console.wait_for_key(), Key::character('x'));
}

struct EscCase {
  ScriptedTerminal terminal;
  std::vector<Key> keys;
};

TEST(Console, ALoneEscIsTheEscKeyOnlyWhenNothingFollowsAtOnce) {
  const Key x = Key::character('x');
  std::vector<EscCase> cases;
  cases.push_back({ScriptedTerminal("\x1b[A"), {kUp}});
  cases.push_back({ScriptedTerminal("\x1b"), {kEsc}});  // at the end of input
  cases.push_back({ScriptedTerminal("x\x1b"), {x, kEsc}});
  cases.push_back({ScriptedTerminal("\x1b\r"), {kEsc, Key::character('\r')}});
  ScriptedTerminal split;
  split.type("\x1b").type("[A");  // two pieces without a gap: one key
  cases.push_back({std::move(split), {kUp}});
  ScriptedTerminal gap;
  gap.type("\x1b").pause().type("[A");
  cases.push_back({std::move(gap), {kEsc, Key::character('['), Key::character('A')}});
  ScriptedTerminal gap_in_sequence;
  gap_in_sequence.type("\x1b[1;").pause().type("5A");
  cases.push_back({std::move(gap_in_sequence), {kOther, Key::character('5'), Key::character('A')}});
  for (EscCase& c : cases) {
    Console console(c.terminal);
    EXPECT_EQ(all_keys(console), c.keys);
  }
}

TEST(Console, NoKeyIsLostOfSequencesCutAtAnyPoint) {
  // Sequences of 1 to 5 bytes, so that reads end inside them, and sequences
  // broken off by a byte that is a key of its own (two keys from the byte).
  const std::vector<std::string> pieces = {"x",      "\x1b[A",   "\x1b[3~", "\x1b[15~", "\x1bOP",
                                           "\x1b[[B", "\x1b" "a", "\x1b\r",   "\x1b[1\t"};
  std::string input;
  for (int i = 0; i < 1500; ++i) input += pieces[(i * 7 + i / 5) % pieces.size()];
  KeyDecoder decoder;
  std::vector<Key> expected_keys;
  decoder.feed(input, expected_keys);
  decoder.finish(expected_keys);

  ScriptedTerminal terminal(input);
  Console console(terminal);
  EXPECT_EQ(all_keys(console), expected_keys);
}

struct TypedCase {
  std::string input;
  std::string item;
  std::string transcript;  // after the prompt
};

TEST(Console, ReadTypedItemGivesTheFirstTextItemOfTheEditedLine) {
  const std::vector<TypedCase> cases = {
      {"4\r", "4", "4\r\n"},
      {"12, 40\r", "12", "12, 40\r\n"},
      {"\r", "", "\r\n"},
      {"\n", "", "\r\n"},
      {"  abc def \r", "abc def ", "  abc def \r\n"},
      {"\"A,B\",C\r", "A,B", "\"A,B\",C\r\n"},
      {"1\x7f" "2\r", "2", "2\r\n"},
      {"a\x1b[Db\r", "ba", "ba\r\n"},
      {"9\x1b[D\x1b[3~8\r", "8", "8\r\n"},
      {"abc\x1b\r", "", "\r\n"},  // Esc clears the line
      {"1\t2\r", "1       2", "1       2\r\n"},
      {"\x1b[A\x1bOP\x1b[[A5\r", "5", "5\r\n"},  // special keys add nothing
      {std::string(5000, '7') + "\r", std::string(4096, '7'), std::string(4096, '7') + "\r\n"},
  };
  for (const TypedCase& c : cases) {
    ScriptedTerminal terminal(c.input);
    Console console(terminal);
    EXPECT_EQ(console.read_typed_item("How many notes/frames"), c.item) << c.input;
    EXPECT_EQ(terminal.output(), "How many notes/frames? " + c.transcript) << c.input;
  }
}

TEST(Console, KeysTypedBeforeThePromptAreTheLinesFirstKeys) {
  ScriptedTerminal terminal("xy12\r7\r");
  Console console(terminal);
  EXPECT_EQ(console.wait_for_key(), Key::character('x'));
  EXPECT_EQ(console.read_typed_item("A"), "y12");
  EXPECT_EQ(console.read_typed_item("B"), "7");
  EXPECT_EQ(terminal.output(), "A? y12\r\nB? 7\r\n");
}

TEST(Console, CarriageReturnAndLineFeedAreEachAnEnter) {
  ScriptedTerminal terminal("4\r\n5\r");
  Console console(terminal);
  EXPECT_EQ(console.read_typed_item("N"), "4");
  EXPECT_EQ(console.read_typed_item("N"), "");
  EXPECT_EQ(console.read_typed_item("N"), "5");
}

TEST(Console, ALineWithoutItsEnterIsDiscardedWhenTheInputEnds) {
  for (const std::string input : {"", "12", "12\x1b[A"}) {
    ScriptedTerminal terminal(input);
    Console console(terminal);
    EXPECT_THROW(console.read_typed_item("Steps"), InputEnded) << input;
    EXPECT_EQ(terminal.output(), "Steps? ") << input;  // the prompt was out before the wait
  }
}

TEST(Console, ATerminatingSignalEndsEveryRead) {
  ScriptedTerminal after_a_key, in_a_line, before_keys;
  after_a_key.type("a").pause().signal(2);
  in_a_line.type("12").pause().signal(15);
  before_keys.signal(3).type("abc");  // before keys already there
  const struct {
    ScriptedTerminal* terminal;
    bool typed_line;  // read a typed line, else keys
    std::vector<Key> keys;  // before the signal
    int signal_number;
  } cases[] = {
      {&after_a_key, false, {Key::character('a')}, 2}, {&in_a_line, true, {}, 15}, {&before_keys, false, {}, 3}};
  for (const auto& c : cases) {
    Console console(*c.terminal);
    std::vector<Key> keys;
    try {
      if (c.typed_line) ADD_FAILURE() << "no signal: " << console.read_typed_item("Steps");
      for (;;) keys.push_back(console.wait_for_key());
    } catch (const TerminatingSignal& signal) {
      EXPECT_EQ(signal.signal_number, c.signal_number);
    }
    EXPECT_EQ(keys, c.keys) << c.signal_number;
  }
}

TEST(Console, PrintWritesTheBytesUnchangedInOneWrite) {
  ScriptedTerminal terminal;
  Console console(terminal);
  console.print("Starting note? ");
  console.print(std::string("A\0\n", 3), LineEnd::with);
  console.print("");
  console.print("", LineEnd::with);
  EXPECT_EQ(terminal.output(), std::string("Starting note? A\0\n\r\n\r\n", 22));
  EXPECT_EQ(terminal.writes().size(), 3u);
}

// Without a terminal it writes nothing (below).
TEST(Console, ClearScreenWritesOnlyToATerminal) {
  ScriptedTerminal screen;
  screen.set_output_is_terminal(true);
  Console console(screen);
  console.clear_screen();
  EXPECT_EQ(screen.output(), "\x1b[H\x1b[2J");
}

TEST(Console, WithoutATerminalNoEscapeSequenceIsWritten) {
  ScriptedTerminal terminal("ab\x1b[D\x1b[D\x7f\x1b[3~xy\t\x1b[A\x1b\r12\r");
  Console console(terminal);
  console.clear_screen();
  console.read_typed_item("One");
  console.read_typed_item("Two");
  EXPECT_EQ(terminal.output().find('\x1b'), std::string::npos);
  EXPECT_EQ(terminal.output(), "One? \r\nTwo? 12\r\n");
}

TEST(Console, OnATerminalEachKeyIsShownByOneWrite) {
  ScriptedTerminal terminal("ab\x1b[DX\r");
  terminal.set_output_is_terminal(true);
  Console console(terminal);
  console.print("xx");
  EXPECT_EQ(console.read_typed_item("N"), "aXb");
  // The line starts after "xx" and "N? ", in column 5.
  EXPECT_EQ(terminal.writes(), (std::vector<std::string>{"xx", "N? ", "a", "b", "\r\x1b[6C",
                                                        "\r\x1b[5C\x1b[JaXb\r\x1b[7C", "\r\n"}));
}

TEST(Console, UpAndDownMoveByTheTerminalsWidth) {
  ScriptedTerminal terminal("0123456789abc\x1b[AX\r");
  terminal.set_width(10);
  Console console(terminal);
  EXPECT_EQ(console.read_typed_item("W"), "012X3456789abc");
}

TEST(Console, ALineStartsAtTheColumnAfterTheLastLineEnd) {
  ScriptedTerminal terminal("a\x1b[D\r");
  terminal.set_output_is_terminal(true);
  Console console(terminal);
  console.print("first line", LineEnd::with);
  console.print("ab\rc");
  console.read_typed_item("P");  // column 1 + 3
  EXPECT_EQ(terminal.writes()[3], "a");
  EXPECT_EQ(terminal.writes()[4], "\r\x1b[4C");
}

// Ctrl-Z, then fg: below the shell's lines the row is drawn again as it was.
TEST(Console, AfterAStopTheRowIsDrawnAgainWithTheCursorInPlace) {
  {  // a key prompt and the keys echoed
    ScriptedTerminal terminal;
    terminal.set_output_is_terminal(true).type("A").resume().type("-");
    Console console(terminal);
    console.print("Ending note? ");
    EXPECT_EQ(console.wait_for_key(), Key::character('A'));
    console.print("A");
    EXPECT_EQ(console.wait_for_key(), Key::character('-'));
    // The shell's lines start on a line of their own.
    const std::vector<std::string> rows = terminal.screen().rows();
    ASSERT_GE(rows.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(rows.end() - 5, rows.end()),
              (std::vector<std::string>{"Ending note? A", "[1] + Stopped                 zentrill", "$ fg",
                                        "zentrill", "Ending note? A"}));
    EXPECT_EQ(terminal.screen().column(), 14u);
  }
  {  // a typed line over two rows, the cursor on the first: the key after
     // the stop is drawn where the line is
    ScriptedTerminal terminal;
    terminal.set_output_is_terminal(true).set_width(20);
    terminal.type("0123456789abcdefghij\x1b[H").resume().type("X\r");
    Console console(terminal);
    EXPECT_EQ(console.read_typed_item("Count"), "X0123456789abcdefghij");
    const std::vector<std::string> rows = terminal.screen().rows();
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(rows.end() - 3, rows.end()),
              (std::vector<std::string>{"zentrill", "Count? X0123456789ab", "cdefghij"}));
  }
}

// A window narrowed from 100 to 60 columns that cuts its rows: the line is
// drawn again at 60, under the row above it, and Up moves by 60.
TEST(Console, AWidthChangeDrawsTheLineAgainAtTheNewWidth) {
  std::string line;
  for (int i = 0; i < 9; ++i) line += "0123456789";
  const std::string prompt = "How many notes/frames? ";
  const auto rows_of = [](const std::string& text, std::size_t width) {
    std::vector<std::string> rows{"above"};
    for (std::size_t at = 0; at < text.size(); at += width) rows.push_back(text.substr(at, width));
    return rows;
  };
  {
    ScriptedTerminal terminal;
    terminal.set_output_is_terminal(true).set_width(100);
    terminal.type(line).resize(60);
    Console console(terminal);
    console.print("above", LineEnd::with);
    EXPECT_THROW(console.read_typed_item("How many notes/frames"), InputEnded);
    EXPECT_EQ(terminal.screen().rows(), rows_of(prompt + line, 60));
  }
  {
    ScriptedTerminal terminal;
    terminal.set_output_is_terminal(true).set_width(100);
    terminal.type(line).resize(60).type("\x1b[AX\r");
    Console console(terminal);
    console.print("above", LineEnd::with);
    const std::string edited = line.substr(0, 30) + "X" + line.substr(30);
    EXPECT_EQ(console.read_typed_item("How many notes/frames"), edited);
    EXPECT_EQ(terminal.screen().rows(), rows_of(prompt + edited, 60));
  }
}

}  // namespace
}  // namespace zentrill
