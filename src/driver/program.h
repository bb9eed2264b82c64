// The program's run: the banner and the phases in order, each with its
// files in their slots.
#ifndef ZENTRILL_DRIVER_PROGRAM_H_
#define ZENTRILL_DRIVER_PROGRAM_H_

#include <optional>
#include <ostream>

#include "driver/options.h"
#include "glide/frequency_list_builder.h"
#include "textio/file_system.h"
#include "textio/terminal.h"

namespace zentrill {

struct RunOutcome {
  int exit_status;                     // 0, or 1 when a file could not be replaced, written or read
  std::optional<int> ending_signal;    // the program must end by this signal
};

// Checks that every output file can be replaced, then clears the screen,
// prints the banner and builds freq.txt with the user, or without a word
// from `glides` given whole (frequency_list_builder.h), then pxx.txt and pxx.ftm,
// and pxx.wav when options.preview, each under a temporary name
// (output_files.h), and moves them into place together at the end. Every
// other way out leaves the files exactly as they were, with nothing beside
// them, and says why in one line on `diagnostics`:
//   - a file that cannot be replaced (told before the banner, and nothing is
//     shown), written or read: named with the system's reason, status 1; a
//     move into place that the system refuses after the check (rare) leaves
//     the files moved before it, and the message names them;
//   - the input ended before a glide was complete: status 0;
//   - no line of the list is playable (its first frequency is out of the
//     range): status 1, told in place of the notice after the dialogue;
//   - a terminating signal, whether it comes while the program waits for a
//     key or while it computes: status 128 + n, and the program must end by
//     it (SIGPIPE silently). One that comes while the files are renamed is
//     held back until they are, and then told as coming after.
// A frequency out of the playable range (as soon as its glide is entered, and
// again after the dialogue), and lines of pxx.txt that pxx.ftm leaves out,
// are told there too. On a terminal each message starts, and the run ends, at
// the start of a line (a line end after an unanswered prompt); through a pipe
// the transcript gets no byte more. `options` change the files' contents, and
// whether pxx.wav is written, never the dialogue or the files' names.
RunOutcome run_program(Terminal& terminal, ReplacingFileSystem& file_system, std::ostream& diagnostics,
                       const Options& options, const GlideSource& glides);

}  // namespace zentrill

#endif  // ZENTRILL_DRIVER_PROGRAM_H_
