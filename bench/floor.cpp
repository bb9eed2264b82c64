// The floor for the whole program's time: only the work no implementation can
// avoid for the same glides, done with the standard library alone. It writes
// freq.txt and pxx.txt in the current directory with the same bytes the
// program writes for the same glides (the measurement compares them), so it
// is the same work and not a shortcut:
//   compute each glide value, format it, write it, read it back, convert it,
//   find its zone and fine pitch, write the pitch line.
// The module (256 rows, 2968 bytes) and the console dialogue are left out;
// they cost microseconds.
//
//   zentrill_floor GLIDES STEPS
// runs GLIDES glides of STEPS values, alternately A1 to A6 (110 to 3520 Hz)
// and back, as `zentrill_glides_input` in measure.sh types them.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "pitch/note_table.h"  // the tracker's zone table: data, not code

namespace {

constexpr std::size_t kChunk = 64 * 1024;

// Appends bytes and hands them to the file in 64 KiB writes.
class Output {
 public:
  explicit Output(const char* name) : file_(std::fopen(name, "wb")) {
    if (!file_) std::perror(name), std::exit(1);
  }
  ~Output() {
    flush();
    std::fclose(file_);
  }
  char* reserve(std::size_t n) {
    if (used_ + n > kChunk) flush();
    return buffer_ + used_;
  }
  void commit(char* end) { used_ = static_cast<std::size_t>(end - buffer_); }

 private:
  void flush() {
    std::fwrite(buffer_, 1, used_, file_);
    used_ = 0;
  }
  std::FILE* file_;
  std::size_t used_ = 0;
  char buffer_[kChunk];
};

// "%.16g" with at least three exponent digits, then CR LF.
void write_frequency(Output& out, double value) {
  char* const start = out.reserve(40);
  char* end = std::to_chars(start, start + 32, value, std::chars_format::general, 16).ptr;
  if (char* e = static_cast<char*>(std::memchr(start, 'e', static_cast<std::size_t>(end - start)))) {
    const std::size_t digits = static_cast<std::size_t>(end - (e + 2));
    if (digits < 3) {
      std::memmove(e + 2 + (3 - digits), e + 2, digits);
      std::memset(e + 2, '0', 3 - digits);
      end += 3 - digits;
    }
  }
  *end++ = '\r';
  *end++ = '\n';
  out.commit(end);
}

void write_glides(int glides, float steps) {
  Output out("freq.txt");
  for (int glide = 0; glide < glides; ++glide) {
    const double start = glide % 2 == 0 ? 110.0 : 3520.0;
    const double end = glide % 2 == 0 ? 3520.0 : 110.0;
    const bool rising = start < end;
    const double base = rising ? static_cast<double>(end / static_cast<long double>(start))
                               : static_cast<double>(start / static_cast<long double>(end));
    const double ratio = std::pow(base, static_cast<double>(1.0L / steps));
    double current = start;
    for (float left = steps; left > 0; left = static_cast<float>(left + -1.0L)) {
      write_frequency(out, current);
      current = rising ? static_cast<double>(static_cast<long double>(ratio) * current)
                       : static_cast<double>(current / static_cast<long double>(ratio));
    }
  }
}

// The note, octave and fine pitch of one frequency as a pitch-list line.
// False when the period is out of range.
bool write_pitch(Output& out, double frequency) {
  const double period = static_cast<double>(static_cast<long double>(zentrill::kTimerBase) / frequency);
  if (!(period >= zentrill::kShortestPeriod && period <= zentrill::kLongestPeriod)) return false;
  // The zones descend without gaps, so the first in search order whose lower
  // bound lies below the period holds it. Scaling by 2^pass is exact.
  int pass = 0;
  double scaled = period;
  while (!(scaled > zentrill::kNoteTable.back().lower_bound)) scaled *= 2, ++pass;
  std::size_t row = 0;
  while (!(scaled > zentrill::kNoteTable[row].lower_bound)) ++row;
  const long double divisor = std::ldexp(1.0L, pass);
  const double difference =
      static_cast<double>(zentrill::kNoteTable[row].exact_period / divisor - period);
  const auto parameter = static_cast<unsigned>(std::nearbyint(static_cast<double>(128.0L + difference)));
  const int octave = pass + (row >= zentrill::kFirstRowOfNextOctave ? 1 : 0);

  constexpr char kHex[] = "0123456789ABCDEF";
  char* p = out.reserve(16);
  const std::string_view name = zentrill::kNoteTable[row].name;
  *p++ = name[0];
  *p++ = name[1];
  *p++ = static_cast<char>('0' + octave);
  *p++ = ' ';
  *p++ = 'P';
  if (parameter >= 16) *p++ = kHex[parameter >> 4];
  *p++ = kHex[parameter & 15];
  *p++ = '\r';
  *p++ = '\n';
  out.commit(p);
  return true;
}

void analyse_frequencies() {
  std::FILE* in = std::fopen("freq.txt", "rb");
  if (!in) std::perror("freq.txt"), std::exit(1);
  Output out("pxx.txt");
  static char buffer[kChunk + 64];
  std::size_t kept = 0;  // the start of a line cut by the last chunk
  for (;;) {
    const std::size_t got = std::fread(buffer + kept, 1, kChunk, in);
    const std::size_t size = kept + got;
    const char* line = buffer;
    const char* const data_end = buffer + size;
    for (;;) {
      const char* cr = static_cast<const char*>(std::memchr(line, '\r', static_cast<std::size_t>(data_end - line)));
      if (!cr || cr + 1 >= data_end) break;
      double frequency = 0;
      std::from_chars(line, cr, frequency);
      if (!write_pitch(out, frequency)) goto done;
      line = cr + 2;
    }
    kept = static_cast<std::size_t>(data_end - line);
    std::memmove(buffer, line, kept);
    if (got == 0) break;
  }
done:
  std::fclose(in);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: zentrill_floor GLIDES STEPS\n", stderr);
    return 2;
  }
  write_glides(std::atoi(argv[1]), static_cast<float>(std::atoi(argv[2])));
  analyse_frequencies();
  return 0;
}
