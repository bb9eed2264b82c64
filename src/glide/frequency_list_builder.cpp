#include "glide/frequency_list_builder.h"

#include <cmath>
#include <string>

#include "driver/phase_files.h"
#include "glide/note_entry.h"
#include "textio/text_ops.h"

namespace zentrill {
namespace {

constexpr int kFrequencyListSlot = phase_files::kFrequencyListWritten.slot;

// "How many notes/frames? " until the typed line starts with a count from 2
// to 1200, tested as typed; then rounded, halves to even (2.5 -> 2, 3.5 -> 4).
float ask_step_count(Console& console) {
  for (;;) {
    const double typed = numeric_value(console.read_typed_item("How many notes/frames"));
    if (typed >= 2.0 && typed <= 1200.0) return static_cast<float>(std::nearbyint(typed));
  }
}

// Appends `step_count` values in equal ratios from `start` towards `end`;
// `end` itself is never written. The ratio's base and exponent are rounded to
// double before pow, and each new value is the extended-precision product
// (rising) or quotient (falling) rounded to double.
void write_glide(FileSlots& slots, double start, double end, float step_count) {
  const bool rising = start < end;
  const long double wide_start = start;
  const double base = static_cast<double>(rising ? end / wide_start : wide_start / end);
  const double exponent = static_cast<double>(1.0L / step_count);
  const double ratio = std::pow(base, exponent);
  const long double wide_ratio = ratio;
  double current = start;
  do {
    slots.write_number_line(kFrequencyListSlot, current);
    current = static_cast<double>(rising ? wide_ratio * current : current / wide_ratio);
    step_count = static_cast<float>(step_count + -1.0L);
  } while (step_count > 0);
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

}  // namespace

void run_frequency_list_builder(Console& console, FileSlots& slots) {
  try {
    for (;;) {
      const NotePair pair = enter_note_pair(console);
      if (pair.start_frequency == pair.end_frequency) {
        console.print("Start and end notes are identical. Try again.", LineEnd::with);
        continue;
      }
      const float step_count = ask_step_count(console);
      write_glide(slots, pair.start_frequency, pair.end_frequency, step_count);
      if (!another_glide(console)) break;
    }
  } catch (const InputEnded&) {
    // No key can arrive any more, or Ctrl-D ended the input before a note:
    // end as if "N" had been answered. The glides already written stay; a
    // glide without its count line writes nothing.
  }
  slots.close(kFrequencyListSlot);
}

}  // namespace zentrill
