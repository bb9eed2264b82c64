// The command line: none is needed. The options -t, -i, -a and -w may be
// given in any order, clustered (-tiaw) or long (--tracker-tuning,
// --instrument, --all-rows, --wav), and more than once. --help (or -h) and
// --version, each alone, are answered without touching any file, and
// anything else is refused before a file is opened, so a mistyped command
// never overwrites a musician's module. A refusal names the argument, or the
// unknown letter of a cluster.
#ifndef ZENTRILL_DRIVER_COMMAND_LINE_H_
#define ZENTRILL_DRIVER_COMMAND_LINE_H_

#include <span>
#include <string>

#include "driver/options.h"

namespace zentrill {

enum class CommandLineAction { run, show_help, show_version, refuse };

struct CommandLine {
  CommandLineAction action;
  std::string text;  // the help or version text, or the one-line refusal
  Options options;   // for `run`: the options given
};

// `arguments` excludes the program name.
CommandLine parse_command_line(std::span<const char* const> arguments);

}  // namespace zentrill

#endif  // ZENTRILL_DRIVER_COMMAND_LINE_H_
