#include "driver/command_line.h"

#include <string_view>

#include "driver/phase_files.h"

namespace zentrill {
namespace {

constexpr std::string_view kHelp =
    "Usage: zentrill [--help | --version]\n"
    "Turn pitch glides into a FamiTracker module for the NES's first pulse channel.\n"
    "\n"
    "Type a starting note and an ending note as three keys each (letter A-G,\n"
    "'-' or '#', octave 1-7), then the number of steps. Zentrill writes, in the\n"
    "current directory, replacing earlier versions:\n"
    "  freq.txt  the glide's frequencies, one per line\n"
    "  pxx.txt   the tracker note, octave and fine pitch (Pxx) of each\n"
    "  pxx.ftm   a FamiTracker module that plays them row by row\n"
    "\n"
    "Options:\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "Exit status: 0 when all files were written, 1 when a file could not be\n"
    "written, 2 for a wrong command line.\n";

// The help names the files as the phases write them.
static_assert(kHelp.find(phase_files::kFrequencyListName) != std::string_view::npos &&
              kHelp.find(phase_files::kPitchListName) != std::string_view::npos &&
              kHelp.find(phase_files::kModuleName) != std::string_view::npos);

constexpr std::string_view kVersion = "zentrill 1.0 (Zentrill v1)\n";

}  // namespace

CommandLine parse_command_line(std::span<const char* const> arguments) {
  if (arguments.empty()) return {CommandLineAction::run, {}};
  const std::string_view first = arguments[0];
  if (arguments.size() == 1 && first == "--help") return {CommandLineAction::show_help, std::string(kHelp)};
  if (arguments.size() == 1 && first == "--version") {
    return {CommandLineAction::show_version, std::string(kVersion)};
  }
  const std::string_view unexpected = (first == "--help" || first == "--version") ? arguments[1] : first;
  return {CommandLineAction::refuse,
          "zentrill: unexpected argument '" + std::string(unexpected) +
              "' (usage: zentrill [--help | --version])\n"};
}

}  // namespace zentrill
