// zentrill: pitch glides for the NES pulse channel, written as a FamiTracker
// module. See zentrill.1.
#include <cfenv>
#include <iostream>
#include <span>

#include "driver/command_line.h"
#include "driver/program.h"
#include "textio/posix_file_system.h"
#include "textio/posix_terminal.h"

int main(int argc, char** argv) {
  using namespace zentrill;
  // The arithmetic mode, once: round to nearest, halves to even.
  std::fesetround(FE_TONEAREST);

  const CommandLine command_line =
      parse_command_line(std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
  switch (command_line.action) {
    case CommandLineAction::show_help:
    case CommandLineAction::show_version:
      std::cout << command_line.text << std::flush;
      return std::cout ? 0 : 1;
    case CommandLineAction::refuse:
      std::cerr << command_line.text;
      return 2;
    case CommandLineAction::run:
      break;
  }

  PosixTerminal terminal;
  PosixFileSystem file_system;
  const RunOutcome outcome = run_program(terminal, file_system, std::cerr, command_line.options);
  if (outcome.ending_signal) terminal.end_by_signal(*outcome.ending_signal);
  return outcome.exit_status;
}
