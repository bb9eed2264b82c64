// The command line, parsed as getopt_long parses it: options anywhere before
// "--", letters clustered (-tiaw), long names abbreviated while unambiguous,
// a value attached or in the next argument (-s1, -s 1, --speed=1,
// --speed 1). --help (or -h) and --version stand alone and touch no file;
// anything wrong is refused in one line that names it, before a file is
// opened, so a mistyped command never overwrites a musician's module.
// The arguments that are not options are glides, three words each, START
// END STEPS, as the dialogue takes them: "a-1 a-3 4".
#ifndef ZENTRILL_DRIVER_COMMAND_LINE_H_
#define ZENTRILL_DRIVER_COMMAND_LINE_H_

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "driver/options.h"
#include "glide/frequency_list_builder.h"

namespace zentrill {

enum class CommandLineAction { run, show_help, show_version, refuse };

struct CommandLine {
  CommandLineAction action;
  std::string text;  // the help or version text, or the one-line refusal
  Options options;   // for `run`: the options given
  // For `run`, where the glides come from: the arguments, the list of
  // --from, or when neither is given the dialogue.
  std::vector<NoteGlide> glides;             // START END STEPS, in order
  std::optional<std::string> frequency_list;  // --from FILE; "-" is standard input
  std::string directory;                     // -C DIR; empty: the current one
};

// `arguments` excludes the program name.
CommandLine parse_command_line(std::span<const char* const> arguments);

}  // namespace zentrill

#endif  // ZENTRILL_DRIVER_COMMAND_LINE_H_
