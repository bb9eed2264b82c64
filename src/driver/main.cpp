// zentrill: pitch glides for the NES pulse channel, written as a FamiTracker
// module. See zentrill.1.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cfenv>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "driver/command_line.h"
#include "driver/frequency_list_input.h"
#include "driver/program.h"
#include "textio/posix_file_system.h"
#include "textio/posix_terminal.h"
#include "vocabulary/program_message.h"

namespace {

// Output to standard output that failed, whatever was written: a full disk,
// an I/O error.
void report_output_failure(std::string_view reason) {
  std::cerr << zentrill::program_message("cannot write standard output: " + std::string(reason)) << '\n';
}

// Opens each of descriptors 0, 1 and 2 that is closed on /dev/null, so that
// no file of the program can take its number and receive the dialogue or the
// messages. False when /dev/null cannot be opened.
bool open_closed_standard_descriptors() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free number, this one, as those below it are open.
    if (::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY) != fd) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace zentrill;
  if (!open_closed_standard_descriptors()) return 1;
  // The arithmetic mode, once: round to nearest, halves to even.
  std::fesetround(FE_TONEAREST);
  // A write past the file-size limit (ulimit -f) then fails with EFBIG and is
  // told like any failed write, instead of ending the program by SIGXFSZ
  // with its pending files left behind.
  ::signal(SIGXFSZ, SIG_IGN);

  const CommandLine command_line =
      parse_command_line(std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
  switch (command_line.action) {
    case CommandLineAction::show_help:
    case CommandLineAction::show_version: {
      const std::string_view text = command_line.text;
      if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
        report_output_failure(std::strerror(errno));
        return 1;
      }
      return 0;
    }
    case CommandLineAction::refuse:
      std::cerr << command_line.text;
      return 2;
    case CommandLineAction::run:
      break;
  }

  // -C: every file from here on is in that folder; one that is not there is
  // a wrong command line.
  if (!command_line.directory.empty() && ::chdir(command_line.directory.c_str()) != 0) {
    const std::string reason = std::strerror(errno);
    std::cerr << program_message("cannot change to folder '" + command_line.directory + "': " + reason) << '\n';
    return 2;
  }
  GlideSource glides = Dialogue{};
  if (!command_line.glides.empty()) glides = command_line.glides;
  if (command_line.frequency_list) {
    FrequencyListInput list = read_frequency_list_input(*command_line.frequency_list);
    if (!list.refusal.empty()) {
      std::cerr << list.refusal;
      return 1;
    }
    glides = std::move(list.frequencies);
  }

  PosixTerminal terminal(std::holds_alternative<Dialogue>(glides) ? KeyInput::read : KeyInput::unused);
  PosixFileSystem file_system;
  const RunOutcome outcome = run_program(terminal, file_system, std::cerr, command_line.options, glides);
  if (outcome.ending_signal) terminal.end_by_signal(*outcome.ending_signal);
  // The run went on and wrote its files; the transcript is what was lost.
  if (const std::optional<std::string> reason = terminal.output_failure()) {
    report_output_failure(*reason);
    return 1;
  }
  return outcome.exit_status;
}
