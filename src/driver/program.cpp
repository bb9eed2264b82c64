#include "driver/program.h"

#include <cstdint>

#include "glide/frequency_list_builder.h"
#include "module/module_writer.h"
#include "pitch/pitch_analysis.h"
#include "textio/console.h"
#include "textio/file_slots.h"
#include "vocabulary/phase_files.h"

namespace zentrill {
namespace {

using namespace phase_files;

// Phases 2 and 3 read no keys; a signal that came meanwhile is taken here.
void end_if_signalled(Terminal& terminal) {
  if (const auto signal_number = terminal.take_terminating_signal()) {
    throw TerminatingSignal{*signal_number};
  }
}

void run_phases(Console& console, Terminal& terminal, FileSlots& slots, std::ostream& diagnostics,
                const Options& options) {
  console.clear_screen();
  console.print("Zentrill v1 - NES pitch glides, by the Zentrill developers", LineEnd::with);
  console.print("", LineEnd::with);

  open_slot_file(slots, kFrequencyListWritten);
  run_frequency_list_builder(console, slots);
  end_if_signalled(terminal);

  open_slot_file(slots, kFrequencyListRead);
  open_slot_file(slots, kPitchListWritten);
  const auto stop = run_pitch_analysis(slots, options.fine_pitch);
  slots.close(kFrequencyListRead.slot);
  slots.close(kPitchListWritten.slot);
  if (stop) {
    console.start_fresh_line();
    diagnostics << out_of_range_message(*stop) << '\n';
  }
  end_if_signalled(terminal);

  const std::uint64_t lines_left_out =
      write_module(slots, {.instrument = options.instrument, .all_rows = options.all_rows});
  if (lines_left_out > 0) {
    console.start_fresh_line();
    diagnostics << lines_left_out_message(lines_left_out) << '\n';
  }
  end_if_signalled(terminal);
}

}  // namespace

RunOutcome run_program(Terminal& terminal, FileSystem& file_system, std::ostream& diagnostics,
                       const Options& options) {
  FileSlots slots(file_system);
  // The console outlives the phases, so that every way out can start a fresh
  // line: on a terminal each message, and the shell's prompt after the
  // program, starts in column 0, never after a prompt.
  Console console(terminal);
  try {
    run_phases(console, terminal, slots, diagnostics, options);
    console.start_fresh_line();
    return {0, std::nullopt};
  } catch (const FileError& failure) {
    console.start_fresh_line();
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
    console.start_fresh_line();
    return {128 + signal.signal_number, signal.signal_number};
  }
}

}  // namespace zentrill
