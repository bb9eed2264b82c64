// The program's run: the banner and the three phases in order, each with its
// files in their slots.
#ifndef ZENTRILL_DRIVER_PROGRAM_H_
#define ZENTRILL_DRIVER_PROGRAM_H_

#include <optional>
#include <ostream>

#include "driver/options.h"
#include "textio/file_system.h"
#include "textio/terminal.h"

namespace zentrill {

struct RunOutcome {
  int exit_status;                     // 0, or 1 when a file could not be written
  std::optional<int> ending_signal;    // the program must end by this signal
};

// Clears the screen, prints the banner, builds freq.txt with the user, then
// pxx.txt and pxx.ftm. A file that cannot be written is named with the
// system's reason on `diagnostics`; a frequency out of the playable range, and
// lines of pxx.txt that pxx.ftm leaves out, are told there too. A terminating
// signal, whether it comes while the program waits for a key or while it
// computes, ends the run. Every file is closed before it returns, keeping what
// was written. On a terminal each message starts, and the run ends, at the
// start of a line (a line end after an unanswered prompt); through a pipe the
// transcript gets no byte more. `options` change the files' contents only,
// never the dialogue or the files' names.
RunOutcome run_program(Terminal& terminal, FileSystem& file_system, std::ostream& diagnostics,
                       const Options& options);

}  // namespace zentrill

#endif  // ZENTRILL_DRIVER_PROGRAM_H_
