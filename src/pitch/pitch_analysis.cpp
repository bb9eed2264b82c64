#include "pitch/pitch_analysis.h"

#include "pitch/period_analysis.h"
#include "pitch/pitch_list_writer.h"
#include "textio/number_form.h"
#include "vocabulary/phase_files.h"
#include "vocabulary/playable_range.h"
#include "vocabulary/program_message.h"

namespace zentrill {
namespace {

constexpr int kFrequencyListSlot = phase_files::kFrequencyListRead.slot;

}  // namespace

std::optional<OutOfRangeFrequency> run_pitch_analysis(FileSlots& slots, FinePitch fine_pitch,
                                                      const Voice& voice) {
  std::uint64_t line_number = 0;
  while (!slots.at_end(kFrequencyListSlot)) {
    const double frequency = slots.read_numeric_item(kFrequencyListSlot);
    ++line_number;
    // Out of range ends the phase before any piece of the line is written,
    // so the pitch list never ends in half a line.
    const std::optional<PitchEntry> entry = analyse_frequency(frequency, fine_pitch, voice);
    if (!entry) return OutOfRangeFrequency{line_number, frequency};
    write_pitch_list_line(slots, *entry);
  }
  return std::nullopt;
}

std::string out_of_range_message(const OutOfRangeFrequency& stop,
                                 std::span<const std::string_view> files_cut_short,
                                 Channel channel) {
  using namespace phase_files;
  return program_message("line " + std::to_string(stop.line_number) + " of " + std::string(kFrequencyListName) +
                         ", " + long_number_form(stop.frequency) + " Hz, is outside the playable range of about " +
                         std::string(playable_range_in_hertz(channel)) +
                         "; it and every line after it were left out of " + listed(files_cut_short));
}

}  // namespace zentrill
