#include <gtest/gtest.h>

#include "glide/note_entry.h"

namespace zentrill {
namespace {

TEST(NoteFrequency, BaseValuesAreTheSinglesOfOctaveOne) {
  const struct {
    char letter;
    char accidental;
    double frequency;
  } cases[] = {
      {'C', '-', 65.40650177001953125}, {'B', '#', 65.40650177001953125},
      {'C', '#', 69.2957000732421875},  {'D', '-', 73.41629791259765625},
      {'D', '#', 77.78179931640625},    {'E', '-', 82.4069976806640625},
      {'E', '#', 87.30719757080078125}, {'F', '-', 87.30719757080078125},
      {'F', '#', 92.4987030029296875},  {'G', '-', 97.99900054931640625},
      {'G', '#', 103.82630157470703125}, {'A', '-', 110},
      {'A', '#', 116.54109954833984375}, {'B', '-', 123.47100067138671875},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(note_frequency(c.letter, c.accidental, 1.0f), c.frequency) << c.letter << c.accidental;
  }
}

TEST(NoteFrequency, OctavesArePowersOfTwo) {
  EXPECT_EQ(note_frequency('A', '-', 7.0f), 7040.0);
  EXPECT_EQ(note_frequency('B', '-', 7.0f), 7902.14404296875);
  EXPECT_EQ(note_frequency('C', '#', 3.0f), 277.18280029296875);
  EXPECT_EQ(note_frequency('A', '-', 4.0f), 880.0);
  // B# sounds the C that begins its own octave (above), not the one above B.
  EXPECT_NE(note_frequency('B', '#', 3.0f), note_frequency('C', '-', 4.0f));
  EXPECT_EQ(note_frequency('E', '#', 2.0f), 174.6143951416015625);
  for (float octave = 1; octave <= 7; ++octave) {
    EXPECT_EQ(note_frequency('G', '#', octave), 103.82630157470703125 * (1 << int(octave - 1)));
  }
}

}  // namespace
}  // namespace zentrill
