// The floor for the whole program's time: only the work no implementation can
// avoid for the same glides, done with the standard library alone
// (floor_steps.h). It writes freq.txt and pxx.txt in the current directory
// with the same bytes the program writes for the same glides (measure.py
// compares them), so it is the same work and not a shortcut:
//   compute each glide value, format it, write it, read it back, convert it,
//   find its zone and fine pitch, write the pitch line.
// The module (256 rows, 2968 bytes) and the console dialogue are left out;
// together they cost about a millisecond.
//
//   zentrill_floor GLIDES STEPS
// runs GLIDES glides of STEPS values, alternately A1 to A6 (110 to 3520 Hz)
// and back, as measure.py types them.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "floor_steps.h"

namespace {

using namespace zentrill::floor_steps;

constexpr std::size_t kChunk = 64 * 1024;

// Collects lines and hands them to the file in 64 KiB writes.
class Output {
 public:
  explicit Output(const char* name) : file_(std::fopen(name, "wb")) {
    if (!file_) std::perror(name), std::exit(1);
  }
  ~Output() {
    flush();
    std::fclose(file_);
  }
  // Room for a line of up to 40 bytes.
  char* line() {
    if (used_ + 40 > kChunk) flush();
    return buffer_ + used_;
  }
  void line_ends_at(char* end) { used_ = static_cast<std::size_t>(end - buffer_); }

 private:
  void flush() {
    std::fwrite(buffer_, 1, used_, file_);
    used_ = 0;
  }
  std::FILE* file_;
  std::size_t used_ = 0;
  char buffer_[kChunk];
};

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
    for (float left = steps; left > 0; left = static_cast<float>(left - 1.0L)) {
      out.line_ends_at(frequency_line(out.line(), current));
      current = rising ? static_cast<double>(static_cast<long double>(ratio) * current)
                       : static_cast<double>(current / static_cast<long double>(ratio));
    }
  }
}

void analyse_frequencies() {
  std::FILE* in = std::fopen("freq.txt", "rb");
  if (!in) std::perror("freq.txt"), std::exit(1);
  Output out("pxx.txt");
  static char buffer[2 * kChunk];
  std::size_t kept = 0;  // the start of a line cut by the last chunk
  for (;;) {
    const std::size_t got = std::fread(buffer + kept, 1, kChunk, in);
    const char* line = buffer;
    const char* const data_end = buffer + kept + got;
    for (;;) {
      const auto* cr =
          static_cast<const char*>(std::memchr(line, '\r', static_cast<std::size_t>(data_end - line)));
      if (!cr || cr + 1 >= data_end) break;
      Pitch pitch{};
      if (!analyse(frequency(line, cr), pitch)) {
        std::fclose(in);
        return;
      }
      out.line_ends_at(pitch_line(out.line(), pitch));
      line = cr + 2;
    }
    kept = static_cast<std::size_t>(data_end - line);
    std::memmove(buffer, line, kept);
    if (got == 0) break;
  }
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
