#include "glide/frequency_list_builder.h"

#include <cmath>
#include <optional>
#include <string>

#include "glide/note_entry.h"
#include "textio/number_form.h"
#include "textio/text_ops.h"
#include "vocabulary/extended_precision.h"
#include "vocabulary/phase_files.h"
#include "vocabulary/playable_range.h"
#include "vocabulary/program_message.h"

namespace zentrill {
namespace {

constexpr int kFrequencyListSlot = phase_files::kFrequencyListWritten.slot;

// "How many notes/frames? " until the typed line starts with a count from 2
// to 1200, tested as typed; then rounded, halves to even (2.5 -> 2, 3.5 -> 4).
float ask_step_count(Console& console) {
  for (;;) {
    const double typed = numeric_value(console.read_typed_item("How many notes/frames"));
    if (typed >= kFewestSteps && typed <= kMostSteps) return static_cast<float>(std::nearbyint(typed));
  }
}

// Whether the pitch analysis will find the period of the note that `channel`
// sounds at `frequency` in the playable range, working it out as the
// analysis does. The analysis reads the value back from its 16 digits in the
// frequency list, which can move it by a few units in the last place, so
// close to a limit of the range it is judged as it will be read back.
bool playable(double frequency, Channel channel) {
  const auto period_of = [channel](double value) { return timer_period(pulse_frequency(value, channel)); };
  const double period = period_of(frequency);
  const auto far_from = [period](double limit) { return std::abs(period - limit) > limit * 1e-12; };
  if (far_from(kShortestPeriod) && far_from(kLongestPeriod)) return period_in_range(period);
  return period_in_range(period_of(numeric_item_value(long_number_form(frequency))));
}

// The first value of a glide outside the playable range.
struct UnplayableStep {
  int step;  // counting from 1
  double frequency;
};

// Appends `step_count` values in equal ratios from `start` towards `end`;
// `end` itself is never written. The ratio's base and exponent are rounded to
// double before pow, and each new value is the extended-precision product
// (rising) or quotient (falling) rounded to double. The notes' frequencies
// are a pulse's; each value is written as the frequency `channel` sounds for
// it, halved on the triangle (voice.h). Gives the first value written outside
// the playable range, if any.
std::optional<UnplayableStep> write_glide(FileSlots& slots, double start, double end, float step_count,
                                          Channel channel) {
  const bool rising = start < end;
  const long double wide_start = start;
  const double base = static_cast<double>(rising ? end / wide_start : wide_start / end);
  const double exponent = static_cast<double>(1.0L / step_count);
  const double ratio = std::pow(base, exponent);
  const long double wide_ratio = ratio;
  double current = start;
  std::optional<UnplayableStep> unplayable;
  int step = 1;
  do {
    const double sounded = current / frequency_divisor(channel);
    slots.write_number_line(kFrequencyListSlot, sounded);
    if (!unplayable && !playable(sounded, channel)) unplayable = UnplayableStep{step, sounded};
    current = static_cast<double>(rising ? wide_ratio * current : current / wide_ratio);
    step_count = static_cast<float>(step_count - 1.0L);
    ++step;
  } while (step_count > 0);
  return unplayable;
}

// The notice given at once for a glide that leaves the playable range: the
// pitch analysis will stop at that value, as its own notice says later.
std::string unplayable_step_message(const UnplayableStep& unplayable,
                                    std::span<const std::string_view> files_cut_short, Channel channel) {
  return program_message("step " + std::to_string(unplayable.step) + " of this glide, " +
                         long_number_form(unplayable.frequency) + " Hz, is outside the playable range of about " +
                         std::string(playable_range_in_hertz(channel)) + "; " +
                         phase_files::listed(files_cut_short) + " will end before it");
}

// "Another? ", answered by one key, Y or N in either case, not echoed;
// Ctrl-D at a terminal answers N.
bool another_glide(Console& console) {
  console.print("Another? ");
  for (;;) {
    const Key key = console.wait_for_key();
    if (console.is_end_key(key)) return false;
    if (key.special) continue;
    const char answer = upper_case(static_cast<char>(key.value));
    if (answer == 'Y') return true;
    if (answer == 'N') return false;
  }
}

// Writes one glide and tells at once when it leaves the playable range.
void add_glide(Console& console, FileSlots& slots, std::ostream& diagnostics,
               std::span<const std::string_view> files_cut_short, const NotePair& pair,
               float step_count, Channel channel) {
  const auto unplayable =
      write_glide(slots, pair.start_frequency, pair.end_frequency, step_count, channel);
  if (unplayable) {
    console.start_fresh_line();
    diagnostics << unplayable_step_message(*unplayable, files_cut_short, channel) << '\n';
  }
}

// The dialogue, until "N" or the end of the input; gives how many glides it
// wrote.
std::uint64_t ask_for_glides(Console& console, FileSlots& slots, std::ostream& diagnostics,
                             std::span<const std::string_view> files_cut_short, Channel channel) {
  std::uint64_t glides = 0;
  try {
    for (;;) {
      const NotePair pair = enter_note_pair(console);
      if (pair.identical()) {
        console.print("Start and end notes are identical. Try again.", LineEnd::with);
        continue;
      }
      const float step_count = ask_step_count(console);
      add_glide(console, slots, diagnostics, files_cut_short, pair, step_count, channel);
      ++glides;
      if (!another_glide(console)) break;
    }
  } catch (const InputEnded&) {
    // No key can arrive any more, or Ctrl-D ended the input before a note:
    // end as if "N" had been answered. The glides already written stay; a
    // glide without its count line writes nothing.
  }
  return glides;
}

}  // namespace

std::uint64_t run_frequency_list_builder(Console& console, FileSlots& slots, std::ostream& diagnostics,
                                         std::span<const std::string_view> files_cut_short,
                                         const GlideSource& source, const Voice& voice) {
  std::uint64_t glides = 0;
  if (const auto* frequencies = std::get_if<std::vector<double>>(&source)) {
    for (const double frequency : *frequencies) slots.write_number_line(kFrequencyListSlot, frequency);
    glides = frequencies->empty() ? 0 : 1;
  } else if (const auto* given = std::get_if<std::vector<NoteGlide>>(&source)) {
    for (const NoteGlide& glide : *given) {
      add_glide(console, slots, diagnostics, files_cut_short, note_pair(glide.start, glide.end),
                glide.step_count, voice.channel);
      ++glides;
    }
  } else {
    glides = ask_for_glides(console, slots, diagnostics, files_cut_short, voice.channel);
  }
  slots.close(kFrequencyListSlot);
  return glides;
}

}  // namespace zentrill
