#include "driver/program.h"

#include "glide/frequency_list_builder.h"
#include "module/module_writer.h"
#include "pitch/pitch_analysis.h"
#include "textio/file_slots.h"

namespace zentrill {
namespace {

void run_phases(Console& console, FileSlots& slots, std::ostream& diagnostics) {
  console.clear_screen();
  console.print("Zentrill v1 - pitch glides for the NES pulse channel", LineEnd::with);
  console.print("", LineEnd::with);

  slots.open_for_writing(1, "freq.txt");
  run_frequency_list_builder(console, slots);

  slots.open_for_reading(1, "freq.txt");
  slots.open_for_writing(2, "pxx.txt");
  const auto stop = run_pitch_analysis(slots);
  slots.close(1);
  slots.close(2);
  if (stop) diagnostics << out_of_range_message(*stop) << '\n';

  write_module(slots);
}

}  // namespace

RunOutcome run_program(Console& console, FileSystem& file_system, std::ostream& diagnostics) {
  FileSlots slots(file_system);
  try {
    run_phases(console, slots, diagnostics);
    return {0, std::nullopt};
  } catch (const FileError& failure) {
    diagnostics << "zentrill: cannot write " << failure.what() << '\n';
    // What was written before the failure stays in the other files.
    try {
      slots.close_all();
    } catch (const FileError&) {
    }
    return {1, std::nullopt};
  } catch (const TerminatingSignal& signal) {
    try {
      slots.close_all();
    } catch (const FileError&) {
    }
    return {128 + signal.signal_number, signal.signal_number};
  }
}

}  // namespace zentrill
