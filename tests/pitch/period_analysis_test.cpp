#include "pitch/period_analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "pitch/note_table.h"
#include "vocabulary/notes.h"
#include "vocabulary/tracker_pitch.h"

namespace zentrill {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(TimerPeriod, DividesAtExtendedPrecisionAndStoresADouble) {
  EXPECT_EQ(timer_period(440), 254.22908068181817);
  EXPECT_EQ(timer_period(3000), 37.286931833333334);
  // Here the plain double quotient is one bit larger.
  EXPECT_EQ(timer_period(60.163), 0x1.d0d2e99015098p+10);
  EXPECT_EQ(timer_period(0), kInf);
  EXPECT_LT(timer_period(-100), 0);
}

TEST(PeriodRange, BothLimitsAreInAndNothingBeyond) {
  EXPECT_TRUE(period_in_range(2048.5));
  EXPECT_TRUE(period_in_range(14.5));
  for (double out : {std::nextafter(2048.5, kInf), std::nextafter(14.5, 0.0), 0.0, -20.0, kInf,
                     std::nan("")}) {
    EXPECT_FALSE(period_in_range(out)) << out;
    EXPECT_FALSE(analyse_period(out, FinePitch::exact_period).has_value()) << out;
  }
}

struct PeriodCase {
  double period;
  const char* name;
  float octave;
  int pass;
  std::int64_t parameter;          // against the exact period, the default
  std::int64_t nearest_parameter;  // with the tracker's whole period
};

TEST(AnalysePeriod, GivesNoteOctaveAndParameterAtTheEdgesOfTheRangeAndOfTheZones) {
  const PeriodCase cases[] = {
      {2048.5, "A-", 0, 0, 113, 114},  // rounds to 2048, the even neighbour
      {14.5, "B-", 7, 7, 128, 128},
      {1975.933378020029, "A#", 0, 0, 72, 72},  // the A/A# bound goes to A#
      {1046.7142454624566, "A-", 1, 1, 98, 98},
      {std::nextafter(1046.7142454624566, kInf), "G#", 1, 0, 159, 158},
      {16.354910085350884, "A-", 7, 7, 128, 128},  // the longest period of pass 7
      {1118.607955, "G-", 1, 0, 151, 150},         // 100 Hz
      {254.22908068181817, "A-", 3, 3, 128, 128},  // 440 Hz
      {14.501010565206117, "B-", 7, 7, 128, 127},  // 7714 Hz
  };
  for (const PeriodCase& c : cases) {
    const auto match = find_note(c.period);
    ASSERT_TRUE(match) << c.period;
    EXPECT_EQ(match->pass, c.pass) << c.period;
    for (const FinePitch fine_pitch : {FinePitch::exact_period, FinePitch::nearest_period}) {
      const auto entry = analyse_period(c.period, fine_pitch);
      ASSERT_TRUE(entry) << c.period;
      EXPECT_EQ(entry->note_name, c.name) << c.period;
      EXPECT_EQ(entry->octave, c.octave) << c.period;
      EXPECT_EQ(entry->parameter,
                fine_pitch == FinePitch::exact_period ? c.parameter : c.nearest_parameter)
          << c.period;
    }
  }
}

TEST(TrackerNoteTable, IsTheTrackersFormulaWithTheClockOfEachMachine) {
  for (const auto& [clock, table] : {std::pair{1789773.0, kTrackerPeriods}, {1662607.0, kPalTrackerPeriods}}) {
    for (std::size_t i = 0; i < table.size(); ++i) {
      const double period = clock / 16 / (32.7032 * std::pow(2.0, static_cast<double>(i) / 12)) - 0.5;
      EXPECT_EQ(table[i], static_cast<int>(std::trunc(period))) << clock << " index " << i;
    }
  }
}

// On a bound the higher note (shorter period) wins; one bit longer, the lower.
TEST(FindNote, EveryBoundOfEveryPassBelongsToTheHigherNote) {
  for (int pass = 0; pass < kOctavePasses; ++pass) {
    const double divisor = std::ldexp(1.0, pass);
    for (std::size_t m = 0; m <= kNoteTable.size(); ++m) {
      const bool last = m == kNoteTable.size();
      const double bound = (last ? kNoteTable[m - 1].lower_bound : kNoteTable[m].upper_bound) / divisor;
      // The bound below G# is the one above A of the next pass.
      const int higher_pass = last ? pass + 1 : pass;
      const std::size_t higher_row = last ? 0 : m;
      const int lower_pass = m == 0 ? pass - 1 : pass;
      const std::size_t lower_row = m == 0 ? kNoteTable.size() - 1 : m - 1;
      if (const auto on = find_note(bound); period_in_range(bound)) {
        ASSERT_TRUE(on);
        EXPECT_EQ(on->pass, higher_pass) << bound;
        EXPECT_EQ(on->row, higher_row) << bound;
      }
      const double above = std::nextafter(bound, kInf);
      if (const auto off = find_note(above); period_in_range(above)) {
        ASSERT_TRUE(off);
        EXPECT_EQ(off->pass, lower_pass) << above;
        EXPECT_EQ(off->row, lower_row) << above;
      }
    }
  }
}

TEST(FinePitch, HalvesGoToTheEvenNeighbour) {
  const struct {
    double offset;  // the period's distance below the note's exact period
    double value;
    std::int64_t parameter;
  } cases[] = {{0.5, 128.5, 128}, {1.5, 129.5, 130}, {-0.5, 127.5, 128}, {-1.5, 126.5, 126}};
  for (const auto& c : cases) {
    for (const std::size_t row : {std::size_t{0}, std::size_t{3}, std::size_t{11}}) {
      const double period = kNoteTable[row].exact_period / 2 - c.offset;  // exact: pass 1
      const auto match = find_note(period);
      ASSERT_TRUE(match);
      EXPECT_EQ(fine_pitch_value(*match, period, Machine::ntsc), c.value);
      EXPECT_EQ(analyse_period(period, FinePitch::exact_period)->parameter, c.parameter);
    }
  }
}

// Periods over the whole range, the bounds and their neighbours included.
std::vector<double> sample_periods() {
  std::vector<double> periods{kShortestPeriod, kLongestPeriod};
  std::mt19937_64 random(2048);
  std::uniform_real_distribution<double> log_period(std::log(kShortestPeriod), std::log(kLongestPeriod));
  for (int i = 0; i < 100000; ++i) periods.push_back(std::exp(log_period(random)));
  for (int pass = 0; pass < kOctavePasses; ++pass) {
    for (const NoteRow& row : kNoteTable) {
      const double bound = row.upper_bound / std::ldexp(1.0, pass);
      for (double p : {std::nextafter(bound, 0.0), bound, std::nextafter(bound, kInf)}) {
        if (period_in_range(p)) periods.push_back(p);
      }
    }
  }
  return periods;
}

TEST(FindNote, EveryPeriodInRangeLiesInOneZoneWithAParameterItsPassAllows) {
  const std::int64_t allowed[kOctavePasses][2] = {{72, 186},  {98, 157},  {113, 142}, {121, 135},
                                                  {124, 132}, {126, 130}, {127, 129}, {128, 128}};
  std::int64_t seen[kOctavePasses][2] = {{999, -1}, {999, -1}, {999, -1}, {999, -1},
                                         {999, -1}, {999, -1}, {999, -1}, {999, -1}};
  for (const double period : sample_periods()) {
    int zones = 0;
    for (int pass = 0; pass < kOctavePasses; ++pass) {
      for (const NoteRow& row : kNoteTable) {
        const double upper = row.upper_bound / std::ldexp(1.0, pass);
        const double lower = row.lower_bound / std::ldexp(1.0, pass);
        zones += (period > lower && period < upper) || period == upper;
      }
    }
    ASSERT_EQ(zones, 1) << period;
    const auto match = find_note(period);
    ASSERT_TRUE(match) << period;
    EXPECT_EQ(match->octave, match->pass + (match->row >= kFirstRowOfNextOctave ? 1 : 0));
    const std::int64_t parameter = analyse_period(period, FinePitch::exact_period)->parameter;
    ASSERT_GE(parameter, allowed[match->pass][0]) << period;
    ASSERT_LE(parameter, allowed[match->pass][1]) << period;
    seen[match->pass][0] = std::min(seen[match->pass][0], parameter);
    seen[match->pass][1] = std::max(seen[match->pass][1], parameter);
  }
  for (int pass = 0; pass < kOctavePasses; ++pass) {
    EXPECT_EQ(seen[pass][0], allowed[pass][0]) << "pass " << pass;
    EXPECT_EQ(seen[pass][1], allowed[pass][1]) << "pass " << pass;
  }
}

// What the tracker plays for a pitch-list entry: the period register of the
// note as written and the parameter, and the channel sounds one more.
std::int64_t played_period(const PitchEntry& entry, Machine machine = Machine::ntsc) {
  const int sharp = entry.note_name[1] == kSharpSign ? 1 : 0;
  const int note = tracker_note_number(natural_semitone(entry.note_name[0]).value() + sharp);
  return period_register(machine, static_cast<int>(entry.octave), note, static_cast<int>(entry.parameter)) + 1;
}

// The parameter is worked out from the rounded period, so reading it back
// through the register rule checks that arithmetic and the parameter's range.
TEST(NearestPeriod, TheParameterGivesTheRegisterOfTheRoundedPeriodLessOneWithin72To186) {
  std::int64_t lowest = 999;
  std::int64_t highest = -1;
  const auto plays_nearest = [&](double period) {
    const std::optional<PitchEntry> entry = analyse_period(period, FinePitch::nearest_period);
    if (!entry) return false;
    lowest = std::min(lowest, entry->parameter);
    highest = std::max(highest, entry->parameter);
    const std::int64_t played = played_period(*entry);
    return played == static_cast<std::int64_t>(std::nearbyint(period)) &&
           std::abs(static_cast<double>(played) - period) <= 0.5;
  };
  for (const double period : sample_periods()) ASSERT_TRUE(plays_nearest(period)) << period;
  // Every 4096th of a unit over the range, the halves (ties) included.
  for (double k = kShortestPeriod * 4096; k <= kLongestPeriod * 4096; ++k) {
    ASSERT_TRUE(plays_nearest(k / 4096)) << k / 4096;
  }
  // The same two hexadecimal digits as the default parameter, both ends reached.
  EXPECT_EQ(lowest, 72);
  EXPECT_EQ(highest, 186);
}

// On PAL the note is still chosen by the NTSC period, and the row plays the
// PAL period nearest the frequency's; both parameters keep two digits.
TEST(NearestPeriod, OnPalTheRowPlaysTheNearestPalPeriod) {
  const Voice pal{Channel::pulse1, Machine::pal, 6};
  std::int64_t lowest = 999;
  std::int64_t highest = -1;
  for (const double period : sample_periods()) {
    const double frequency = kTimerBase / period;
    const std::optional<PitchEntry> entry = analyse_frequency(frequency, FinePitch::nearest_period, pal);
    if (!entry) continue;  // the division left a limit of the range
    ASSERT_EQ(played_period(*entry, Machine::pal), std::nearbyint(timer_period(frequency, Machine::pal)));
    const std::int64_t exact = analyse_frequency(frequency, FinePitch::exact_period, pal)->parameter;
    ASSERT_TRUE(exact >= 72 && exact <= 186) << frequency;
    lowest = std::min(lowest, entry->parameter);
    highest = std::max(highest, entry->parameter);
  }
  EXPECT_GE(lowest, 75);
  EXPECT_LE(highest, 181);
}

}  // namespace
}  // namespace zentrill
