#include "driver/command_line.h"

#include <string_view>

#include "driver/phase_files.h"

namespace zentrill {
namespace {

constexpr std::string_view kUsage = "zentrill [-t] [-i] [-a] | --help | --version";

constexpr std::string_view kHelp =
    "Usage: zentrill [-t] [-i] [-a]\n"
    "       zentrill --help | --version\n"
    "Turn pitch glides into a FamiTracker module for the NES's first pulse channel.\n"
    "\n"
    "For each glide zentrill asks:\n"
    "  Starting note? Ending note?  three keys each, no Enter: a letter A-G, '-'\n"
    "      (natural) or '#' (sharp), an octave 1-7. Keys that do not fit are\n"
    "      ignored. There is no flat; B# and E# are C- and F- of the same octave.\n"
    "  How many notes/frames?  2 to 1200, then Enter; anything else asks again.\n"
    "      Esc clears the line.\n"
    "  Another?  Y for another glide, N to finish. On a terminal Ctrl-D finishes\n"
    "      too, here or before the first key of a starting note.\n"
    "A glide that leaves the playable range, about 54.61 to 7714.54 Hz (B-7 is\n"
    "above it), ends pxx.txt and pxx.ftm there, with a notice.\n"
    "\n"
    "Files, in the current directory; freq.txt is replaced as soon as zentrill\n"
    "starts, the other two when the dialogue ends:\n"
    "  freq.txt  the glides' frequencies, one per line\n"
    "  pxx.txt   the tracker note, octave and fine pitch of each, as G-1 P97\n"
    "  pxx.ftm   a FamiTracker module that plays them row by row. Without -i it\n"
    "            has no instrument: its rows stay silent until you add one.\n"
    "\n"
    "Options, in any order or together (-tia):\n"
    "  -t, --tracker-tuning  tune each row to the whole timer period nearest its\n"
    "                        frequency; without -t a row can be up to one unit off\n"
    "  -i, --instrument      add the 2A03 instrument \"Zentrill\" in slot 00, so\n"
    "                        the module sounds as soon as it is opened\n"
    "  -a, --all-rows        put the whole list in the module, 256 rows a frame\n"
    "                        (a frame: one step of the song's order list), up\n"
    "                        to 128 frames (32768 lines; the rest is left out,\n"
    "                        with a notice); without -a only its first 256 lines\n"
    "      --help            show this help and exit\n"
    "      --version         show the version and exit\n"
    "To hear a glide at once, in tune: zentrill -tia\n"
    "\n"
    "Exit status: 0 when all files were written, 1 when a file or standard\n"
    "output could not be written, 2 for a wrong command line.\n";

// The help names the files as the phases write them, and fits a terminal of
// 80 columns and 40 lines.
static_assert(kHelp.find(phase_files::kFrequencyListName) != std::string_view::npos &&
              kHelp.find(phase_files::kPitchListName) != std::string_view::npos &&
              kHelp.find(phase_files::kModuleName) != std::string_view::npos);
constexpr bool fits_the_terminal(std::string_view text) {
  std::size_t lines = 0;
  for (std::size_t start = 0; start < text.size(); ++lines) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos || end - start > 79) return false;
    start = end + 1;
  }
  return lines <= 40;
}
static_assert(fits_the_terminal(kHelp));

constexpr std::string_view kVersion = "zentrill 1.0 (Zentrill v1)\n";

// The run options, by their letter and their long name.
struct RunOption {
  char letter;
  std::string_view long_name;
  void (*set)(Options&);
};
constexpr RunOption kRunOptions[] = {
    {'t', "--tracker-tuning", [](Options& options) { options.fine_pitch = FinePitch::nearest_period; }},
    {'i', "--instrument", [](Options& options) { options.instrument = true; }},
    {'a', "--all-rows", [](Options& options) { options.all_rows = true; }},
};

const RunOption* option_by_letter(char letter) {
  for (const RunOption& option : kRunOptions) {
    if (option.letter == letter) return &option;
  }
  return nullptr;
}

const RunOption* option_by_long_name(std::string_view name) {
  for (const RunOption& option : kRunOptions) {
    if (option.long_name == name) return &option;
  }
  return nullptr;
}

// Sets what one argument asks for: a long option, or a dash and one or more
// option letters. False for anything else: a bare "-" or "--", an unknown
// name or letter, a value after "=".
bool apply_run_option(std::string_view argument, Options& options) {
  if (argument.starts_with("--")) {
    const RunOption* option = option_by_long_name(argument);
    if (!option) return false;
    option->set(options);
    return true;
  }
  if (argument.size() < 2 || argument[0] != '-') return false;
  for (const char letter : argument.substr(1)) {
    const RunOption* option = option_by_letter(letter);
    if (!option) return false;
    option->set(options);
  }
  return true;
}

CommandLine refusal(std::string_view argument) {
  return {CommandLineAction::refuse,
          "zentrill: unexpected argument '" + std::string(argument) + "' (usage: " +
              std::string(kUsage) + ")\n",
          Options{}};
}

}  // namespace

CommandLine parse_command_line(std::span<const char* const> arguments) {
  if (!arguments.empty()) {
    const std::string_view first = arguments[0];
    // --help and --version stand alone; whatever follows one is refused.
    if (first == "--help" || first == "--version") {
      if (arguments.size() > 1) return refusal(arguments[1]);
      return first == "--help" ? CommandLine{CommandLineAction::show_help, std::string(kHelp), {}}
                               : CommandLine{CommandLineAction::show_version, std::string(kVersion), {}};
    }
  }
  Options options;
  for (const std::string_view argument : arguments) {
    if (!apply_run_option(argument, options)) return refusal(argument);
  }
  return {CommandLineAction::run, {}, options};
}

}  // namespace zentrill
