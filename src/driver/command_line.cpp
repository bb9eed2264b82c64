#include "driver/command_line.h"

#include <getopt.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/program_title.h"
#include "glide/note_entry.h"
#include "preview/preview_timing.h"
#include "preview/wav_format.h"
#include "textio/text_ops.h"
#include "vocabulary/notes.h"
#include "vocabulary/phase_files.h"
#include "vocabulary/playable_range.h"
#include "vocabulary/tracker_song.h"
#include "vocabulary/voice.h"
#include "vocabulary/program_message.h"

namespace zentrill {
namespace {

constexpr std::string_view kUsage = "zentrill [OPTION]... [START END STEPS]... | --help";

constexpr std::string_view kHelp =
    "Usage: zentrill [OPTION]...                     asks for the glides\n"
    "       zentrill [OPTION]... START END STEPS...  takes them as arguments\n"
    "       zentrill [OPTION]... --from FILE         takes a list of frequencies\n"
    "Turn pitch glides into a FamiTracker module for a channel of the NES.\n"
    "\n"
    "For each glide zentrill asks:\n"
    "  Starting note? Ending note?  three keys each, no Enter: a letter A-G, '-'\n"
    "      (natural) or '#' (sharp), an octave 1-7. Keys that do not fit are\n"
    "      ignored. There is no flat; B# and E# are C- and F- of the same octave.\n"
    "  How many notes/frames?  2 to 1200, then Enter; anything else asks again.\n"
    "      Esc clears the line.\n"
    "  Another?  Y for another glide, N to finish. On a terminal Ctrl-D finishes\n"
    "      too, here or before the first key of a starting note.\n"
    "As arguments each note is one word (a-1, C#4), STEPS 2 to 1200, and nothing\n"
    "is asked or shown. FILE ('-': standard input) holds one frequency in hertz a\n"
    "line (440, 1.1e2); blank lines and lines starting with # are skipped.\n"
    "A glide that leaves the playable range, about 54.61 to 7714.54 Hz (on the\n"
    "triangle 27.30 to 3857.27 Hz; B-7 is above it), ends pxx.txt, pxx.ftm and\n"
    "pxx.wav there, told at once.\n"
    "\n"
    "Files, in the current directory, moved into place at the very end of a run\n"
    "with a playable glide; Ctrl-C, an error or no glide leaves them as they were:\n"
    "  freq.txt  the frequencies the channel sounds, one per line\n"
    "  pxx.txt   the tracker note, octave and fine pitch of each, as G-1 P97\n"
    "  pxx.ftm   a FamiTracker module that plays them row by row. Without -i it\n"
    "            has no instrument: its rows stay silent until you add one.\n"
    "  pxx.wav   with -w: the module's rows as the tracker plays them with -i\n"
    "\n"
    "Options, anywhere before --, apart or together (-tiaw):\n"
    "  -t, --tracker-tuning  tune each row to the whole timer period nearest its\n"
    "                        frequency; without -t a row can be up to one unit off\n"
    "  -i, --instrument      add the 2A03 instrument \"Zentrill\" in slot 00, so\n"
    "                        the module sounds as soon as it is opened\n"
    "  -a, --all-rows        the whole list in the module, up to 32767 lines, 256\n"
    "                        rows a frame, and the song ends after its last\n"
    "  -w, --wav             write pxx.wav too, 5.3 MB a minute; 32767 rows last\n"
    "                        55 minutes by default, at most 3.6 hours (1.16 GB)\n"
    "  -c, --channel NAME    pulse1 (the default), pulse2 or triangle, which plays\n"
    "                        each note an octave lower (A-1 is 55 Hz there)\n"
    "  -s, --speed N         each row lasts N video frames, 1 to 20 (default 6)\n"
    "  -p, --pal             for a PAL NES: video frames of 1/50 s, not 1/60 s\n"
    "  -f, --from FILE       take the frequencies from FILE instead of glides\n"
    "  -C, --directory DIR   work in the folder DIR instead of the current one\n"
    "  -h, --help, --version show this help, or the version, and exit\n"
    "A triangle kick: zentrill -tiaw -c triangle -s 1 a-4 a-1 8 (8 frames, 133 ms)\n"
    "Exit status: 0 files replaced or no glide entered; 1 no line playable or a file\n"
    "not replaced, written or read, or stdout not written; 2 a wrong command line.\n";

// The help names the files as the phases write them and the playable ranges
// as the out-of-range notices give them, and fits a terminal of 80 columns
// and 48 lines.
static_assert(kHelp.find(phase_files::kFrequencyListName) != std::string_view::npos &&
              kHelp.find(phase_files::kPitchListName) != std::string_view::npos &&
              kHelp.find(phase_files::kModuleName) != std::string_view::npos &&
              kHelp.find(phase_files::kPreviewName) != std::string_view::npos);
static_assert(kHelp.find(playable_range_in_hertz(Channel::pulse1)) != std::string_view::npos &&
              kHelp.find(playable_range_in_hertz(Channel::triangle)) != std::string_view::npos);
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
// Whether `text` holds `value` rounded to `decimals` decimals, then `unit`.
constexpr bool names_figure(std::string_view text, double value, int decimals, std::string_view unit) {
  for (int i = 0; i < decimals; ++i) value *= 10;
  auto number = static_cast<long long>(value + 0.5);
  char figure[24] = {};
  std::size_t first = sizeof figure;
  for (int place = 0; place <= decimals || number > 0; ++place, number /= 10) {
    if (place == decimals && decimals > 0) figure[--first] = '.';
    figure[--first] = static_cast<char>('0' + number % 10);
  }
  const std::string_view written(figure + first, sizeof figure - first);
  for (std::size_t at = text.find(written); at != std::string_view::npos; at = text.find(written, at + 1)) {
    if (text.substr(at + written.size()).starts_with(unit)) return true;
  }
  return false;
}
constexpr double preview_seconds(const Voice& voice, std::int64_t rows) {
  return static_cast<double>(preview_timing::sample_count(voice, rows)) / wav_format::kSampleRate;
}
constexpr double preview_bytes(const Voice& voice, std::int64_t rows) {
  return wav_format::kHeaderSize + preview_seconds(voice, rows) * wav_format::kByteRate;
}
// It gives the preview's size and length as the preview's timing makes them:
// a minute, the most lines -a holds at the default speed and machine, and
// those at the slowest, PAL at speed 20 (preview_timing.h).
constexpr Voice kSlowestVoice{Channel::pulse1, Machine::pal, kHighestSpeed};
static_assert(names_figure(kHelp, wav_format::kByteRate * 60 / 1e6, 1, " MB a minute"));
static_assert(names_figure(kHelp, preview_seconds(kDefaultVoice, kMaxLinesWithEnd) / 60, 0, " minutes"));
static_assert(names_figure(kHelp, preview_seconds(kSlowestVoice, kMaxLinesWithEnd) / 3600, 1, " hours"));
static_assert(names_figure(kHelp, preview_bytes(kSlowestVoice, kMaxLinesWithEnd) / 1e9, 2, " GB"));
constexpr bool fits_the_terminal(std::string_view text) {
  std::size_t lines = 0;
  for (std::size_t start = 0; start < text.size(); ++lines) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos || end - start > 79) return false;
    start = end + 1;
  }
  return lines <= 48;
}
static_assert(fits_the_terminal(kHelp));

// The version is the project's, as CMake hands it on.
std::string version_text() {
  return "zentrill " ZENTRILL_VERSION " (" + std::string(kProgramTitle) + ")\n";
}

// The channels -c names.
struct ChannelName {
  std::string_view name;
  Channel channel;
};
constexpr ChannelName kChannelNames[] = {
    {"pulse1", Channel::pulse1}, {"pulse2", Channel::pulse2}, {"triangle", Channel::triangle}};

std::optional<std::string> set_channel(CommandLine& line, std::string_view name) {
  for (const ChannelName& known : kChannelNames) {
    if (known.name == name) {
      line.options.voice.channel = known.channel;
      return std::nullopt;
    }
  }
  return "channel '" + std::string(name) + "' is not pulse1, pulse2 or triangle";
}

// A whole number written in plain digits (no sign, blank or point), from
// `lowest` to `highest`, as the speed and a step count are given.
std::optional<int> plain_number_in(std::string_view digits, int lowest, int highest) {
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
  int number = 0;
  for (const char digit : digits) number = std::min(10 * number + (digit - '0'), highest + 1);
  if (number < lowest || number > highest) return std::nullopt;
  return number;
}

std::optional<std::string> set_speed(CommandLine& line, std::string_view digits) {
  const std::optional<int> speed = plain_number_in(digits, kLowestSpeed, kHighestSpeed);
  if (!speed) {
    return "speed '" + std::string(digits) + "' is not a whole number from " +
           std::to_string(kLowestSpeed) + " to " + std::to_string(kHighestSpeed);
  }
  line.options.voice.speed = *speed;
  return std::nullopt;
}

// getopt_long's code for an option without a letter: past every char.
constexpr int kVersionCode = 256;

// Every option, by its letter (0: none) and long name. `apply` sets what the
// option asks for and gives the refusal's text when its value is not
// accepted.
struct OptionSpec {
  int code;
  const char* long_name;
  bool takes_value;
  std::optional<std::string> (*apply)(CommandLine&, std::string_view value);
};
constexpr OptionSpec kOptions[] = {
    {'t', "tracker-tuning", false,
     [](CommandLine& line, std::string_view) -> std::optional<std::string> {
       line.options.fine_pitch = FinePitch::nearest_period;
       return std::nullopt;
     }},
    {'i', "instrument", false,
     [](CommandLine& line, std::string_view) -> std::optional<std::string> {
       line.options.instrument = true;
       return std::nullopt;
     }},
    {'a', "all-rows", false,
     [](CommandLine& line, std::string_view) -> std::optional<std::string> {
       line.options.all_rows = true;
       return std::nullopt;
     }},
    {'w', "wav", false,
     [](CommandLine& line, std::string_view) -> std::optional<std::string> {
       line.options.preview = true;
       return std::nullopt;
     }},
    {'c', "channel", true, set_channel},
    {'s', "speed", true, set_speed},
    {'p', "pal", false,
     [](CommandLine& line, std::string_view) -> std::optional<std::string> {
       line.options.voice.machine = Machine::pal;
       return std::nullopt;
     }},
    {'f', "from", true,
     [](CommandLine& line, std::string_view file) -> std::optional<std::string> {
       line.frequency_list = std::string(file);
       return std::nullopt;
     }},
    {'C', "directory", true,
     [](CommandLine& line, std::string_view folder) -> std::optional<std::string> {
       line.directory = std::string(folder);
       return std::nullopt;
     }},
    {'h', "help", false,
     [](CommandLine& line, std::string_view) -> std::optional<std::string> {
       line.action = CommandLineAction::show_help;
       return std::nullopt;
     }},
    {kVersionCode, "version", false,
     [](CommandLine& line, std::string_view) -> std::optional<std::string> {
       line.action = CommandLineAction::show_version;
       return std::nullopt;
     }},
};

const OptionSpec* option_by_code(int code) {
  for (const OptionSpec& option : kOptions) {
    if (option.code == code) return &option;
  }
  return nullptr;
}

// How the user wrote an option: "-s" or "--speed".
std::string spelled(const OptionSpec& option, std::string_view as_written) {
  if (as_written.starts_with("--") || option.code > 0xFF) return "--" + std::string(option.long_name);
  return std::string{'-', static_cast<char>(option.code)};
}

CommandLine refusal(std::string_view what_is_wrong) {
  return {CommandLineAction::refuse,
          program_message(std::string(what_is_wrong) + " (usage: " + std::string(kUsage) + ")\n"),
          Options{},
          {},
          {},
          {}};
}

// getopt_long's tables for kOptions: ":" first, so that a missing value is
// told apart from an unknown option.
std::string short_options() {
  std::string letters = ":";
  for (const OptionSpec& option : kOptions) {
    if (option.code > 0xFF) continue;
    letters += static_cast<char>(option.code);
    if (option.takes_value) letters += ':';
  }
  return letters;
}

// How a flat is typed, there being none: "Bb is A#", "Cb is B- an octave
// down".
std::string flat_as_sharp(char letter) {
  const int natural = *natural_semitone(letter);
  const int below = (natural + kNotesPerOctave - 1) % kNotesPerOctave;
  std::string name;
  for (const NaturalNote& other : kNaturalNotes) {
    if (other.semitone == below) name = {other.letter, kNaturalSign};
    if (other.semitone == below - 1 && name.empty()) name = {other.letter, kSharpSign};
  }
  return std::string{letter, 'b'} + " is " + name + (below > natural ? " an octave down" : "");
}

std::string not_a_note(std::string_view word, std::string_view expected) {
  std::string text = "'" + std::string(word) + "' is not " + std::string(expected);
  const char letter = word.empty() ? '\0' : upper_case(word[0]);
  if (word.size() >= 2 && natural_semitone(letter) && word[1] == 'b') {
    return text + ": there is no flat, " + flat_as_sharp(letter);
  }
  return text + ": a letter A-G, - or #, an octave 1-7, as a-1 or C#4";
}

// The glides of the arguments that are not options, three words each; gives
// the refusal of the first word that does not fit, or of a glide cut short.
std::optional<std::string> read_glides(const std::vector<std::string>& words,
                                       std::vector<NoteGlide>& glides) {
  for (std::size_t i = 0; i < words.size(); i += 3) {
    const std::optional<Note> start = note_of_word(words[i]);
    if (!start) return not_a_note(words[i], "a starting note");
    if (i + 1 == words.size()) return "an ending note was expected after '" + words[i] + "'";
    const std::optional<Note> end = note_of_word(words[i + 1]);
    if (!end) return not_a_note(words[i + 1], "an ending note");
    if (note_pair(*start, *end).identical()) {
      return "'" + words[i] + "' and '" + words[i + 1] + "' are the same note: a glide joins two";
    }
    if (i + 2 == words.size()) return "a step count was expected after '" + words[i + 1] + "'";
    const std::optional<int> step_count = plain_number_in(words[i + 2], kFewestSteps, kMostSteps);
    if (!step_count) {
      return "'" + words[i + 2] + "' is not a step count: a whole number from " +
             std::to_string(kFewestSteps) + " to " + std::to_string(kMostSteps);
    }
    glides.push_back({*start, *end, static_cast<float>(*step_count)});
  }
  return std::nullopt;
}

std::vector<option> long_options() {
  std::vector<option> table;
  for (const OptionSpec& option : kOptions) {
    table.push_back({option.long_name, option.takes_value ? required_argument : no_argument, nullptr, option.code});
  }
  table.push_back({nullptr, 0, nullptr, 0});
  return table;
}

}  // namespace

CommandLine parse_command_line(std::span<const char* const> arguments) {
  // getopt_long permutes the pointers of its argument vector, so it gets
  // pointers into a copy; the program name is only a placeholder.
  std::vector<std::string> words = {"zentrill"};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(words.size());

  const std::string letters = short_options();
  const std::vector<option> long_table = long_options();
  CommandLine line{CommandLineAction::run, {}, Options{}, {}, {}, {}};
  // --help or --version, whichever came first, and how many options came.
  CommandLineAction stands_alone = CommandLineAction::run;
  std::size_t options_given = 0;
  // The refusals are ours, one line; 0 also restarts the scan, so that every
  // call parses afresh.
  opterr = 0;
  optind = 0;
  for (;;) {
    const int code = getopt_long(argc, argv.data(), letters.c_str(), long_table.data(), nullptr);
    if (code == -1) break;
    // The argument just taken, for naming a long option in a refusal.
    const std::string_view last = argv[static_cast<std::size_t>(optind - 1)];
    if (code == '?') {
      const OptionSpec* known = optopt != 0 ? option_by_code(optopt) : nullptr;
      if (optopt == 0) return refusal("unknown option '" + std::string(last) + "'");
      if (known && last.starts_with("--")) return refusal("option '" + spelled(*known, last) + "' takes no value");
      return refusal("unknown option '" + std::string(1, static_cast<char>(optopt)) + "'");
    }
    const OptionSpec* option = option_by_code(code == ':' ? optopt : code);
    if (code == ':') return refusal("option '" + spelled(*option, last) + "' needs a value");
    if (auto refused = option->apply(line, optarg ? std::string_view(optarg) : std::string_view())) {
      return refusal(*refused);
    }
    ++options_given;
    if (stands_alone == CommandLineAction::run) stands_alone = line.action;
  }
  // getopt_long has moved every operand after the options, in their order.
  const std::vector<std::string> operands(argv.begin() + optind, argv.end() - 1);

  if (stands_alone != CommandLineAction::run) {
    const bool help = stands_alone == CommandLineAction::show_help;
    if (options_given > 1 || !operands.empty()) {
      return refusal(std::string(help ? "--help" : "--version") + " stands alone");
    }
    line.action = stands_alone;
    line.text = help ? std::string(kHelp) : version_text();
    return line;
  }
  if (line.frequency_list && !operands.empty()) {
    return refusal("'" + operands.front() + "' with --from: glides come from the list or the arguments");
  }
  if (auto refused = read_glides(operands, line.glides)) return refusal(*refused);
  return line;
}

}  // namespace zentrill
