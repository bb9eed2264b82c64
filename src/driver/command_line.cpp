#include "driver/command_line.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "driver/program_title.h"
#include "vocabulary/phase_files.h"
#include "vocabulary/playable_range.h"
#include "vocabulary/tracker_song.h"

namespace zentrill {
namespace {

constexpr std::string_view kUsage = "zentrill [-t] [-i] [-a] [-w] | -h | --help | --version";

constexpr std::string_view kHelp =
    "Usage: zentrill [-t] [-i] [-a] [-w]\n"
    "       zentrill -h | --help | --version\n"
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
    "above it), ends pxx.txt, pxx.ftm and pxx.wav there, told at once.\n"
    "\n"
    "Files, in the current directory, all replaced together when a run ends with\n"
    "a glide entered; Ctrl-C, an error or no glide leaves them as they were:\n"
    "  freq.txt  the glides' frequencies, one per line\n"
    "  pxx.txt   the tracker note, octave and fine pitch of each, as G-1 P97\n"
    "  pxx.ftm   a FamiTracker module that plays them row by row. Without -i it\n"
    "            has no instrument: its rows stay silent until you add one.\n"
    "  pxx.wav   with -w: the module's rows as the tracker plays them with -i\n"
    "\n"
    "Options, in any order or together (-tiaw):\n"
    "  -t, --tracker-tuning  tune each row to the whole timer period nearest its\n"
    "                        frequency; without -t a row can be up to one unit off\n"
    "  -i, --instrument      add the 2A03 instrument \"Zentrill\" in slot 00, so\n"
    "                        the module sounds as soon as it is opened\n"
    "  -a, --all-rows        put the whole list in the module, 256 rows a frame\n"
    "                        (a frame: one step of the song's order list), up to\n"
    "                        32767 lines (more are left out, with a notice), and\n"
    "                        end the song after its last; without -a the first 256\n"
    "  -w, --wav             write pxx.wav too; 32767 lines play 55 minutes, 289 MB\n"
    "  -h, --help            show this help and exit\n"
    "      --version         show the version and exit\n"
    "To hear a glide at once, in tune: zentrill -tiaw, then aplay pxx.wav\n"
    "\n"
    "Exit status: 0 when the files were replaced or no glide was entered, 1 when\n"
    "a file could not be replaced, written or read or standard output could not\n"
    "be written, 2 for a wrong command line.\n";

// The help names the files as the phases write them and the playable range as
// the out-of-range notice gives it, and fits a terminal of 80 columns and 40
// lines.
static_assert(kHelp.find(phase_files::kFrequencyListName) != std::string_view::npos &&
              kHelp.find(phase_files::kPitchListName) != std::string_view::npos &&
              kHelp.find(phase_files::kModuleName) != std::string_view::npos &&
              kHelp.find(phase_files::kPreviewName) != std::string_view::npos);
static_assert(kHelp.find(kPlayableRangeInHertz) != std::string_view::npos);
// It gives the most lines -a holds as the module writer counts them
// (tracker_song.h).
constexpr bool names_number(std::string_view text, std::uint32_t number) {
  char digits[10] = {};
  std::size_t first = sizeof digits;
  do {
    digits[--first] = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number > 0);
  return text.find(std::string_view(digits + first, sizeof digits - first)) != std::string_view::npos;
}
static_assert(names_number(kHelp, kMaxLinesWithEnd));
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

// The version is the project's, as CMake hands it on.
std::string version_text() {
  return "zentrill " ZENTRILL_VERSION " (" + std::string(kProgramTitle) + ")\n";
}

// --help's short form, -h, which stands alone as --help does.
constexpr char kHelpLetter = 'h';

bool asks_for_help(std::string_view argument) {
  return argument == "--help" ||
         (argument.size() == 2 && argument[0] == '-' && argument[1] == kHelpLetter);
}

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
    {'w', "--wav", [](Options& options) { options.preview = true; }},
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

CommandLine refusal(std::string_view what_is_wrong) {
  return {CommandLineAction::refuse,
          "zentrill: " + std::string(what_is_wrong) + " (usage: " + std::string(kUsage) + ")\n",
          Options{}};
}

CommandLine unexpected_argument(std::string_view argument) {
  return refusal("unexpected argument '" + std::string(argument) + "'");
}

// Sets what one argument asks for, a long option or a dash and one or more
// option letters; gives the refusal of anything else: a bare "-" or "--", an
// unknown name, a value after "=", an unknown letter (named alone), or -h
// among other letters (it stands alone).
std::optional<CommandLine> apply_run_option(std::string_view argument, Options& options) {
  if (argument.starts_with("--")) {
    const RunOption* option = option_by_long_name(argument);
    if (!option) return unexpected_argument(argument);
    option->set(options);
    return std::nullopt;
  }
  if (argument.size() < 2 || argument[0] != '-') return unexpected_argument(argument);
  for (const char letter : argument.substr(1)) {
    const RunOption* option = option_by_letter(letter);
    if (!option && letter == kHelpLetter) return unexpected_argument(argument);
    if (!option) return refusal("unknown option '" + std::string(1, letter) + "'");
    option->set(options);
  }
  return std::nullopt;
}

}  // namespace

CommandLine parse_command_line(std::span<const char* const> arguments) {
  if (!arguments.empty()) {
    const std::string_view first = arguments[0];
    // -h or --help and --version stand alone; whatever follows one is
    // refused.
    const bool help = asks_for_help(first);
    if (help || first == "--version") {
      if (arguments.size() > 1) return unexpected_argument(arguments[1]);
      return help ? CommandLine{CommandLineAction::show_help, std::string(kHelp), {}}
                  : CommandLine{CommandLineAction::show_version, version_text(), {}};
    }
  }
  Options options;
  for (const std::string_view argument : arguments) {
    if (auto refused = apply_run_option(argument, options)) return *std::move(refused);
  }
  return {CommandLineAction::run, {}, options};
}

}  // namespace zentrill
