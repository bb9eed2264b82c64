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

// Checks that every output can be replaced, then shows the banner and the
// dialogue (unless `glides` come whole) and writes freq.txt, pxx.txt, pxx.ftm
// and, with options.preview, pxx.wav as pending files (output_files.h), moved
// into place at the very end. Every other way out leaves the files as they
// were and says why in one line on `diagnostics`: a file that cannot be
// replaced, written or read (status 1), no glide (0), no playable line (1), a
// terminating signal (128 + n, and the program must end by it; one that comes
// during the renames is acted on after them). On a terminal each message, and
// the shell's prompt after the run, starts a line of its own.
RunOutcome run_program(Terminal& terminal, ReplacingFileSystem& file_system, std::ostream& diagnostics,
                       const Options& options, const GlideSource& glides);

}  // namespace zentrill

#endif  // ZENTRILL_DRIVER_PROGRAM_H_
