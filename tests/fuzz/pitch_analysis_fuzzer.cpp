// Phase 2 over an arbitrary frequency list: the input is the whole of
// freq.txt. Checked for every run:
//   - pxx.txt is 9 bytes per line and every line has the seven-character
//     form: note name (never B# or E#), octave 0-7 (0 only for A-, A#, B-),
//     " P" and two upper-case hexadecimal digits, then CR LF;
//   - line k belongs to the k-th frequency of the list: its period lies in
//     the named note's zone of the named octave, and the parameter is the
//     fine-pitch value rounded half to even, within 72-186 and the range the
//     octave pass allows;
//   - the analysis takes every frequency up to the first whose period is out
//     of range, reports that one by line number and value, and reads no
//     item after it;
//   - on a disk that fills up, pxx.txt holds exactly the bytes that fitted
//     and the failure is reported.
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "memory_file_system.h"
#include "pitch/note_table.h"
#include "pitch/pitch_analysis.h"
#include "textio/file_slots.h"
#include "textio/file_system.h"
#include "vocabulary/phase_files.h"
#include "vocabulary/tracker_pitch.h"

namespace zentrill {
namespace {

using test_support::MemoryFileSystem;

constexpr int kFrequencyListSlot = 1;
constexpr int kPitchListSlot = 2;
constexpr std::size_t kLineSize = 9;  // seven characters and CR LF

// The parameters each octave pass can give (its zones narrow by half).
constexpr std::array<std::array<int, 2>, kOctavePasses> kParameterRange = {{
    {72, 186}, {98, 157}, {113, 142}, {121, 135}, {124, 132}, {126, 130}, {127, 129}, {128, 128},
}};

struct Run {
  std::string pitch_list;
  std::optional<OutOfRangeFrequency> stop;
  std::size_t unread_items = 0;
  bool write_failed = false;
};

// The analysis as the driver runs it: slots opened, phase 2, slots closed.
Run analyse(const std::string& frequency_list, std::size_t capacity) {
  MemoryFileSystem files;
  files.files["freq.txt"] = frequency_list;
  files.capacity = capacity;
  FileSlots slots(files);
  slots.open_for_reading(kFrequencyListSlot, "freq.txt");
  slots.open_for_writing(kPitchListSlot, "pxx.txt");
  Run run;
  try {
    run.stop = run_pitch_analysis(slots, FinePitch::exact_period, kDefaultVoice);
    while (!slots.at_end(kFrequencyListSlot)) {
      slots.read_numeric_item(kFrequencyListSlot);
      ++run.unread_items;
    }
    slots.close(kFrequencyListSlot);
    slots.close(kPitchListSlot);
  } catch (const FileError&) {
    run.write_failed = true;
  }
  run.pitch_list = files.files["pxx.txt"];
  return run;
}

std::vector<double> frequencies_of(const std::string& frequency_list) {
  MemoryFileSystem files;
  files.files["freq.txt"] = frequency_list;
  FileSlots slots(files);
  slots.open_for_reading(kFrequencyListSlot, "freq.txt");
  std::vector<double> frequencies;
  while (!slots.at_end(kFrequencyListSlot)) {
    frequencies.push_back(slots.read_numeric_item(kFrequencyListSlot));
  }
  return frequencies;
}

// The period as the analysis takes it: divided at extended precision, then
// stored as a double.
double period_of(double frequency) {
  return static_cast<double>(static_cast<long double>(kTimerBase) / frequency);
}

bool in_range(double period) { return period >= kShortestPeriod && period <= kLongestPeriod; }

int hexadecimal_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void check_line(std::string_view line, double frequency) {
  ZENTRILL_FUZZ_CHECK(line.substr(3, 2) == " P" && line.substr(7) == "\r\n");

  std::size_t row = kNoteTable.size();
  for (std::size_t n = 0; n < kNoteTable.size(); ++n) {
    if (kNoteTable[n].name == line.substr(0, 2)) row = n;
  }
  ZENTRILL_FUZZ_CHECK(row < kNoteTable.size());  // one of the twelve names: no B#, no E#

  ZENTRILL_FUZZ_CHECK(line[2] >= '0' && line[2] <= '7');
  const int octave = line[2] - '0';
  // The octave number steps up between B and C, so C to G# never show octave 0.
  const int pass = row < kFirstRowOfNextOctave ? octave : octave - 1;
  ZENTRILL_FUZZ_CHECK(pass >= 0);

  const int high = hexadecimal_digit(line[5]);
  const int low = hexadecimal_digit(line[6]);
  ZENTRILL_FUZZ_CHECK(high >= 0 && low >= 0);
  const int parameter = 16 * high + low;
  ZENTRILL_FUZZ_CHECK(parameter >= 72 && parameter <= 186);
  ZENTRILL_FUZZ_CHECK(parameter >= kParameterRange[pass][0] &&
                      parameter <= kParameterRange[pass][1]);

  // The zone of the named note in the named octave holds the period; a
  // period on a bound belongs to the higher note.
  const double period = period_of(frequency);
  const double divisor = std::ldexp(1.0, pass);
  const NoteRow& note = kNoteTable[row];
  const double upper = note.upper_bound / divisor;
  const double lower = note.lower_bound / divisor;
  ZENTRILL_FUZZ_CHECK(period > lower && period <= upper);

  const double offset =
      static_cast<double>(static_cast<long double>(note.exact_period) / divisor - period);
  const double value = static_cast<double>(kNeutralFinePitch + static_cast<long double>(offset));
  ZENTRILL_FUZZ_CHECK(parameter == static_cast<int>(std::nearbyint(value)));
}

}  // namespace
}  // namespace zentrill

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zentrill;
  const std::string frequency_list(reinterpret_cast<const char*>(data), size);
  const std::vector<double> frequencies = frequencies_of(frequency_list);
  const Run run = analyse(frequency_list, std::numeric_limits<std::size_t>::max());
  ZENTRILL_FUZZ_CHECK(!run.write_failed);

  const std::string& pitch_list = run.pitch_list;
  ZENTRILL_FUZZ_CHECK(pitch_list.size() % kLineSize == 0);
  const std::size_t lines = pitch_list.size() / kLineSize;
  ZENTRILL_FUZZ_CHECK(lines <= frequencies.size());
  for (std::size_t k = 0; k < lines; ++k) {
    check_line(std::string_view(pitch_list).substr(k * kLineSize, kLineSize), frequencies[k]);
  }

  if (lines == frequencies.size()) {
    ZENTRILL_FUZZ_CHECK(!run.stop);
    ZENTRILL_FUZZ_CHECK(run.unread_items == 0);
  } else {
    // It stopped at the first frequency out of range, and read nothing after it.
    ZENTRILL_FUZZ_CHECK(run.stop.has_value());
    ZENTRILL_FUZZ_CHECK(run.stop->line_number == lines + 1);
    const double stopped_at = frequencies[lines];
    ZENTRILL_FUZZ_CHECK(run.stop->frequency == stopped_at ||
                        (std::isnan(run.stop->frequency) && std::isnan(stopped_at)));
    ZENTRILL_FUZZ_CHECK(!in_range(period_of(stopped_at)));
    ZENTRILL_FUZZ_CHECK(run.unread_items == frequencies.size() - lines - 1);
    const std::string message =
        out_of_range_message(*run.stop, phase_files::files_from_pitch_list(false), Channel::pulse1);
    ZENTRILL_FUZZ_CHECK(message.starts_with("zentrill: "));
    ZENTRILL_FUZZ_CHECK(message.find_first_of("\r\n") == std::string::npos);
  }

  // A disk that fills up part way: what fitted is there, the rest is lost,
  // and the failure is reported rather than hidden.
  if (!pitch_list.empty()) {
    const std::size_t room = (size > 0 ? data[0] * 9u + data[size - 1] : 0) % pitch_list.size();
    const Run cut = analyse(frequency_list, frequency_list.size() + room);
    ZENTRILL_FUZZ_CHECK(cut.write_failed);
    ZENTRILL_FUZZ_CHECK(cut.pitch_list == pitch_list.substr(0, room));
  }
  return 0;
}
