#include "preview/row_register.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace zentrill {
namespace {

TEST(RowRegister, IsTheTrackersTableValueMovedByTheFinePitch) {
  const struct {
    const char* line;
    std::uint16_t period_register;
  } cases[] = {
      {"A-3 P80", 253},   // the table's A-3 as it stands
      {"G-1 P97", 1117},  // 100 Hz without -t: the tracker plays 1118
      {"G-1 P96", 1118},  // and with it: 1119, nearest 1118.61
      {"B-7 P7F", 14},
      {"C#3 P8A", 403 - 10},
      {"B#3 P80", 225},    // B# is B of the same octave, as the module has it
      {"E#2 P80", 640},    // E# is F
      {"C#0 P00", 2047},   // held within the register
      {"B-7 PFF", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(row_register(c.line, Machine::ntsc), std::optional<std::uint16_t>(c.period_register)) << c.line;
  }
}

TEST(RowRegister, IsEmptyForALineNotOfTheLayout) {
  for (const char* line : {"", "H-1 P80", "a-1 P80", "A+1 P80", "A-x P80", "A-8 P80", "A-1 P8a",
                           "A-1 Q80", "A-1P80 ", "A-1 P80 ", "A-1 P8"}) {
    EXPECT_EQ(row_register(line, Machine::ntsc), std::nullopt) << line;
  }
}

}  // namespace
}  // namespace zentrill
