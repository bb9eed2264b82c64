// The command line, parsed as getopt_long parses it: options anywhere before
// "--", letters clustered (-tiaw), long names abbreviated while unambiguous,
// a value attached or in the next argument (-s1, -s 1, --speed=1,
// --speed 1). --help (or -h) and --version stand alone and touch no file;
// anything wrong is refused in one line that names it, before a file is
// opened, so a mistyped command never overwrites a musician's module.
#ifndef ZENTRILL_DRIVER_COMMAND_LINE_H_
#define ZENTRILL_DRIVER_COMMAND_LINE_H_

#include <span>
#include <string>
#include <vector>

#include "driver/options.h"

namespace zentrill {

enum class CommandLineAction { run, show_help, show_version, refuse };

struct CommandLine {
  CommandLineAction action;
  std::string text;  // the help or version text, or the one-line refusal
  Options options;   // for `run`: the options given
  std::vector<std::string> operands;  // the arguments that are not options, in order
};

// `arguments` excludes the program name.
CommandLine parse_command_line(std::span<const char* const> arguments);

}  // namespace zentrill

#endif  // ZENTRILL_DRIVER_COMMAND_LINE_H_
