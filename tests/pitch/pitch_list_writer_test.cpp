#include "pitch/pitch_list_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "memory_file_system.h"
#include "vocabulary/phase_files.h"

namespace zentrill {
namespace {

using test_support::MemoryFileSystem;

std::string written(const std::vector<PitchEntry>& entries) {
  MemoryFileSystem files;
  FileSlots slots(files);
  phase_files::open_slot_file(slots, phase_files::kPitchListWritten);
  for (const PitchEntry& entry : entries) write_pitch_list_line(slots, entry);
  slots.close(phase_files::kPitchListWritten.slot);
  return files.files["pxx.txt"];
}

TEST(PitchListWriter, WritesNameOctaveAndHexadecimalParameter) {
  EXPECT_EQ(written({{"G-", 1, 151}}), "G-1 P97\r\n");
  EXPECT_EQ(written({{"A#", 0, 72}, {"B-", 7, 186}, {"C#", 3, 128}}),
            "A#0 P48\r\nB-7 PBA\r\nC#3 P80\r\n");
  EXPECT_EQ(written({}), "");
}

// What the module writer relies on: columns 1-3 note and octave, " P",
// two hexadecimal digits, CR LF - for every period the analysis accepts.
TEST(PitchListWriter, EveryAnalysedPeriodGivesASevenCharacterLine) {
  std::vector<PitchEntry> entries;
  for (double period = 14.5; period <= 2048.5; period *= 1.0001) {
    entries.push_back(*analyse_period(period, FinePitch::exact_period));
  }
  entries.push_back(*analyse_period(2048.5, FinePitch::exact_period));
  const std::string pxx = written(entries);
  ASSERT_EQ(pxx.size(), 9 * entries.size());
  const std::set<std::string> names{"A-", "A#", "B-", "C-", "C#", "D-", "D#", "E-", "F-", "F#", "G-", "G#"};
  for (std::size_t at = 0; at < pxx.size(); at += 9) {
    const std::string line = pxx.substr(at, 9);
    EXPECT_TRUE(names.count(line.substr(0, 2))) << line;
    EXPECT_TRUE(line[2] >= '0' && line[2] <= '7') << line;
    EXPECT_TRUE(line[2] != '0' || line[0] == 'A' || line[0] == 'B') << line;
    EXPECT_EQ(line.substr(3, 2), " P") << line;
    ASSERT_EQ(line.substr(5, 2).find_first_not_of("0123456789ABCDEF"), std::string::npos) << line;
    const int parameter = std::stoi(line.substr(5, 2), nullptr, 16);
    EXPECT_TRUE(parameter >= 72 && parameter <= 186) << line;
    EXPECT_EQ(line.substr(7), "\r\n") << line;
  }
}

}  // namespace
}  // namespace zentrill
