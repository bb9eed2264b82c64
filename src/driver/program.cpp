#include "driver/program.h"

#include <signal.h>

#include <cstdint>
#include <exception>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "driver/output_files.h"
#include "driver/program_title.h"
#include "glide/frequency_list_builder.h"
#include "module/module_writer.h"
#include "pitch/pitch_analysis.h"
#include "preview/preview_writer.h"
#include "textio/console.h"
#include "textio/file_slots.h"
#include "vocabulary/phase_files.h"
#include "vocabulary/playable_range.h"
#include "vocabulary/tracker_song.h"
#include "vocabulary/program_message.h"

namespace zentrill {
namespace {

using namespace phase_files;

// Why a run that ends normally replaces no file.
struct NothingToReplace {
  int exit_status;
  std::string reason;
};

// The banner (before the dialogue alone) and the phases, writing the pending
// files of `outputs`. Gives why nothing is to be replaced, if so: then no
// later phase runs.
std::optional<NothingToReplace> run_phases(Console& console, Terminal& terminal, OutputFiles& outputs,
                                           std::ostream& diagnostics, const Options& options,
                                           const GlideSource& glides) {
  if (std::holds_alternative<Dialogue>(glides)) {
    console.clear_screen();
    console.print(std::string(kProgramTitle) + " - NES pitch glides, by the Zentrill developers",
                  LineEnd::with);
    console.print("", LineEnd::with);
  }

  FileSlots slots(outputs);
  open_slot_file(slots, kFrequencyListWritten);
  const auto from_pitch_list = files_from_pitch_list(options.preview);
  const std::uint64_t entered =
      run_frequency_list_builder(console, slots, diagnostics, from_pitch_list, glides, options.voice);
  end_if_signalled(terminal);
  if (entered == 0) return NothingToReplace{0, "no glide was entered"};

  open_slot_file(slots, kFrequencyListRead);
  open_slot_file(slots, kPitchListWritten);
  const auto stop = run_pitch_analysis(slots, options.fine_pitch, options.voice);
  slots.close(kFrequencyListRead.slot);
  slots.close(kPitchListWritten.slot);
  // An empty pitch list would replace the user's set with a module of filler
  // rows.
  if (stop && stop->line_number == 1) {
    return NothingToReplace{1, "no line of the list is within the playable range of about " +
                                   std::string(playable_range_in_hertz(options.voice.channel))};
  }
  if (stop) {
    console.start_fresh_line();
    diagnostics << out_of_range_message(*stop, from_pitch_list, options.voice.channel) << '\n';
  }
  end_if_signalled(terminal);

  const std::uint64_t lines_left_out = write_module(
      slots, {.instrument = options.instrument, .all_rows = options.all_rows, .voice = options.voice});
  if (lines_left_out > 0) {
    console.start_fresh_line();
    const auto module_on = from_pitch_list.subspan(1);
    diagnostics << lines_left_out_message(lines_left_out, module_on, options.all_rows) << '\n';
  }
  if (options.preview) {
    end_if_signalled(terminal);
    write_preview(slots, {.all_rows = options.all_rows, .voice = options.voice});
  }
  return std::nullopt;
}

// What a failure leaves: nothing changed, or the files that a failed move
// into place left replaced already, named.
std::string what_was_changed(const OutputFiles& outputs) {
  const std::vector<std::string_view> replaced = outputs.replaced();
  if (replaced.empty()) return "; no file was changed";
  return "; " + listed(replaced) + (replaced.size() == 1 ? " was" : " were") + " replaced already";
}

// A closed pipe ends the program silently, as the Unix custom is.
RunOutcome ended_by(int signal_number, std::ostream& diagnostics, std::string_view what_it_left) {
  if (signal_number != SIGPIPE) diagnostics << program_message("interrupted" + std::string(what_it_left)) << '\n';
  return {128 + signal_number, signal_number};
}

const char* verb(FileAction action) {
  if (action == FileAction::flush) return "flush the folder of";
  return action == FileAction::read ? "read" : action == FileAction::write ? "write" : "replace";
}

}  // namespace

RunOutcome run_program(Terminal& terminal, ReplacingFileSystem& file_system, std::ostream& diagnostics,
                       const Options& options, const GlideSource& glides) {
  // The console outlives the phases, so that every way out can start a fresh
  // line: on a terminal each message, and the shell's prompt after the
  // program, starts in column 0, never after a prompt.
  Console console(terminal);
  // Every way out of this function passes the set's destructor, which
  // removes what was not moved into place; the program ends by a signal only
  // after that.
  OutputFiles outputs(file_system, options.preview ? kOutputNamesWithPreview : kOutputNames, terminal);
  try {
    outputs.check_replaceable();
    if (const auto nothing = run_phases(console, terminal, outputs, diagnostics, options, glides)) {
      console.start_fresh_line();
      diagnostics << program_message(nothing->reason + "; no file was changed") << '\n';
      return {nothing->exit_status, std::nullopt};
    }
    // A signal until the renames still leaves every file as it was.
    outputs.finish();
    outputs.lock_folders([&] {
      console.start_fresh_line();
      diagnostics << program_message("waiting for another run in this folder to finish") << '\n';
    });
    {
      // The renames and the folders' flush are never cut short.
      const TerminatingSignalsHeld held(terminal);
      outputs.move_into_place();
    }
    console.start_fresh_line();
    // One that came meanwhile is acted on now.
    if (const auto signal_number = terminal.take_terminating_signal()) {
      return ended_by(*signal_number, diagnostics, " after the files were replaced");
    }
    return {0, std::nullopt};
  } catch (const FileError& failure) {
    console.start_fresh_line();
    diagnostics << program_message("cannot " + std::string(verb(failure.action())) + ' ' + failure.what() +
                                   what_was_changed(outputs))
                << '\n';
    return {1, std::nullopt};
  } catch (const TerminatingSignal& signal) {
    console.start_fresh_line();
    return ended_by(signal.signal_number, diagnostics, "; no file was changed");
  } catch (const std::exception& failure) {
    // Out of memory, or a fault of the program's own: caught so that the
    // set's destructor still removes the pending files.
    console.start_fresh_line();
    diagnostics << program_message(failure.what() + what_was_changed(outputs)) << '\n';
    return {1, std::nullopt};
  }
}

}  // namespace zentrill
