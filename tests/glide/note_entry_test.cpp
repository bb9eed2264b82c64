#include "glide/note_entry.h"

#include <gtest/gtest.h>

#include "scripted_terminal.h"

namespace zentrill {
namespace {

using test_support::ScriptedTerminal;

struct Entered {
  NotePair pair;
  std::string screen;
};

Entered enter(std::string_view keys) {
  ScriptedTerminal terminal(keys);
  Console console(terminal);
  const NotePair pair = enter_note_pair(console);
  return {pair, terminal.output()};
}

TEST(NoteEntry, EchoesTheAcceptedKeysOnly) {
  const Entered entered = enter("c#3a-4");
  EXPECT_EQ(entered.screen, "Starting note? C#3\r\nEnding note? A-4\r\n");
  EXPECT_EQ(entered.pair.start_frequency, 277.18280029296875);
  EXPECT_EQ(entered.pair.end_frequency, 880.0);
}

TEST(NoteEntry, KeysThatDoNotFitTheirStageAreDropped) {
  const struct {
    const char* keys;
    const char* screen;
  } cases[] = {
      // Letter stage: H, digits, - and # are dropped.
      {"H19-#c-3a-4", "Starting note? C-3\r\nEnding note? A-4\r\n"},
      // Accidental stage: b, a blank and letters are dropped.
      {"cb xA#3a-4", "Starting note? C#3\r\nEnding note? A-4\r\n"},
      // Octave stage: 0, 8, 9, - and letters are dropped.
      {"c-089-x3a-4", "Starting note? C-3\r\nEnding note? A-4\r\n"},
      // The 3 comes at the accidental stage and is dropped.
      {"c3#5a-4", "Starting note? C#5\r\nEnding note? A-4\r\n"},
      // Backspace, Esc, Enter, Tab, zero and high bytes cannot undo or end.
      {"c\x7f\b\x1b\r\n\t#\xff" "2a-4", "Starting note? C#2\r\nEnding note? A-4\r\n"},
      // Special keys, whose sequences end in letters and digits, change
      // nothing at any stage.
      {"\x1b[A\x1b[B\x1bOP\x1b[[Ac\x1b[3~\x1b[1;5C#\x1b[15~\x1b[2~3a-4",
       "Starting note? C#3\r\nEnding note? A-4\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(enter(c.keys).screen, c.screen) << c.keys;
  }
}

TEST(NoteEntry, ZeroByteKeyIsDropped) {
  const std::string keys("c\0#3a-4", 7);
  EXPECT_EQ(enter(keys).screen, "Starting note? C#3\r\nEnding note? A-4\r\n");
}

TEST(NoteEntry, SharpsOfBAndEAreTheCAndFOfTheSameOctave) {
  EXPECT_EQ(enter("b#1c-1").pair.start_frequency, 65.40650177001953125);
  EXPECT_EQ(enter("b#1c-1").pair.end_frequency, 65.40650177001953125);
  EXPECT_EQ(enter("e#2f-2").pair.start_frequency, 174.6143951416015625);
  EXPECT_EQ(enter("a-1a-7").pair.start_frequency, 110.0);
  EXPECT_EQ(enter("a-1a-7").pair.end_frequency, 7040.0);
  EXPECT_EQ(enter("B-7C-1").pair.start_frequency, 7902.14404296875);
}

TEST(NoteEntry, InputEndingDuringANoteEndsTheEntry) {
  for (const char* keys : {"", "c", "c#", "c#3", "c#3a-"}) {
    ScriptedTerminal terminal(keys);
    Console console(terminal);
    EXPECT_THROW(enter_note_pair(console), InputEnded) << keys;
  }
}

}  // namespace
}  // namespace zentrill
