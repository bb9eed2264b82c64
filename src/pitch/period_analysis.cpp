#include "pitch/period_analysis.h"

#include <array>
#include <cmath>

#include "pitch/note_table.h"
#include "textio/number_form.h"
#include "vocabulary/extended_precision.h"
#include "vocabulary/tracker_pitch.h"

namespace zentrill {
namespace {

std::optional<std::size_t> zone_row(double scaled) {
  // The zones are contiguous.
  if (scaled <= kNoteTable.back().lower_bound) return std::nullopt;
  for (std::size_t row = 0; row < kNoteTable.size(); ++row) {
    const NoteRow& zone = kNoteTable[row];
    if ((scaled > zone.lower_bound && scaled < zone.upper_bound) || scaled == zone.upper_bound) {
      return row;
    }
  }
  return std::nullopt;
}

std::optional<PitchEntry> entry(const NoteMatch& match, double period, FinePitch fine_pitch,
                                Machine machine) {
  const std::int64_t parameter =
      fine_pitch == FinePitch::nearest_period
          ? nearest_period_parameter(match, period, machine)
          : fine_pitch_parameter(fine_pitch_value(match, period, machine));
  return PitchEntry{kNoteTable[match.row].name, match.octave, parameter};
}

}  // namespace

std::optional<NoteMatch> find_note(double period) {
  if (!period_in_range(period)) return std::nullopt;
  // Multiplying by a power of two is exact: the same as dividing the table.
  float divisor = 1;
  for (int pass = 0; pass < kOctavePasses; ++pass, divisor = divisor * 2) {
    if (const std::optional<std::size_t> row = zone_row(period * divisor)) {
      const float octave = static_cast<float>(pass + (*row >= kFirstRowOfNextOctave ? 1 : 0));
      return NoteMatch{*row, pass, divisor, octave};
    }
  }
  return std::nullopt;  // not reached: every period in range lies in a zone of passes 0 to 7
}

double exact_period(std::size_t row, Machine machine) {
  if (machine == Machine::ntsc) return kNoteTable[row].exact_period;
  static const std::array<double, kNotesPerOctave> pal_periods = [] {
    std::array<double, kNotesPerOctave> periods{};
    for (std::size_t n = 0; n < periods.size(); ++n) {
      const long double pitch = kFirstRowPitch * std::exp2(static_cast<long double>(n) / kNotesPerOctave);
      periods[n] = static_cast<double>(timer_base(Machine::pal) / pitch);
    }
    return periods;
  }();
  return pal_periods[row];
}

double fine_pitch_value(const NoteMatch& match, double period, Machine machine) {
  const double exact = exact_period(match.row, machine);
  const double difference =
      static_cast<double>(exact / static_cast<long double>(match.divisor) - period);
  return static_cast<double>(static_cast<long double>(kNeutralFinePitch) + difference);
}

std::int64_t fine_pitch_parameter(double value) { return to_int64(value); }

std::int64_t nearest_period_parameter(const NoteMatch& match, double period, Machine machine) {
  const int table_period = tracker_periods(
      machine)[tracker_note_index(static_cast<int>(match.octave), note_number_of_row(match.row))];
  // The channel plays its register value + 1.
  const std::int64_t neutral_played = static_cast<std::int64_t>(kNeutralFinePitch) + 1;
  return table_period + neutral_played - to_int64(period);
}

std::optional<PitchEntry> analyse_period(double period, FinePitch fine_pitch) {
  const std::optional<NoteMatch> match = find_note(period);
  if (!match) return std::nullopt;
  return entry(*match, period, fine_pitch, Machine::ntsc);
}

std::optional<PitchEntry> analyse_frequency(double frequency, FinePitch fine_pitch, const Voice& voice) {
  const double note_frequency = pulse_frequency(frequency, voice.channel);
  const std::optional<NoteMatch> match = find_note(timer_period(note_frequency));
  if (!match) return std::nullopt;
  return entry(*match, timer_period(note_frequency, voice.machine), fine_pitch, voice.machine);
}

}  // namespace zentrill
