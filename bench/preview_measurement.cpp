// Measures a preview against what the tracker plays: for each row of pxx.wav
// the period it sounds and the energy off its harmonic grid, from the samples
// alone, against the register value of the same line of pxx.txt.
//
//     zentrill_preview_measurement [FOLDER [-c CHANNEL] [-p] [-s SPEED]]
//
// FOLDER (default: the current folder) holds the pxx.txt and pxx.wav of one
// run with -w, and the options name that run's voice as zentrill's do. For
// the figures of docs/PERFORMANCE.md, the glide C-1 to A#7 in 1200 steps
// with -t:
//     printf 'c-1a#71200\rn' | zentrill -tiaw
// Prints the worst row of each measure, and exits 1 when a row misses its
// period by 0.05 unit or more, or a row of the top 100 (by pitch) holds
// aliasing less than 60 dB below its fundamental. The triangle's period is
// read after its level settles, 2500 samples into a row, where the row lasts
// three periods longer than that (speed 20 for every row).
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <string_view>
#include <vector>

#include "band_limited_wave.h"
#include "vocabulary/tracker_pitch.h"
#include "vocabulary/tracker_song.h"
#include "vocabulary/voice.h"

namespace {

using zentrill::test_support::wave_at;

using zentrill::Voice;

constexpr double kSampleRate = 44100;
constexpr std::size_t kHeaderSize = 44;
constexpr double kSettling = 2500;  // samples, for the triangle

Voice voice;

double cpu_clock() { return zentrill::machine_facts(voice.machine).cpu_clock; }
double period_unit() { return zentrill::cpu_cycles_per_period_unit(voice.channel); }

double row_start(std::size_t row) {
  return static_cast<double>(zentrill::row_start_cycle(voice, static_cast<std::int64_t>(row))) * kSampleRate /
         cpu_clock();
}

// The register value of a line as "G-1 P97", by the tracker's rule.
int register_of(const std::string& line) {
  const std::string letters = "C D EF G A B";
  int note = static_cast<int>(letters.find(line.at(0))) + 1 + (line.at(1) == '#' ? 1 : 0);
  const int octave = line.at(2) - '0';
  const int fine_pitch = std::stoi(line.substr(5, 2), nullptr, 16);
  const int table = zentrill::tracker_periods(voice.machine).at(static_cast<std::size_t>(12 * octave + note - 1));
  return std::clamp(table + 128 - fine_pitch, 0, 2047);
}

// Where the wave rises fastest within half a sample of `near`: the time of a
// band-limited rising edge, whatever the level the high-pass has moved the
// wave to.
double steepest_rise(const std::vector<double>& samples, double near) {
  const auto slope = [&](double time) {
    constexpr double kStep = 1e-3;
    return wave_at(samples, time + kStep) - wave_at(samples, time - kStep);
  };
  double low = near - 0.5;
  double high = near + 0.5;
  const double golden = (std::sqrt(5.0) - 1) / 2;
  while (high - low > 1e-6) {
    const double left = high - golden * (high - low);
    const double right = low + golden * (high - low);
    if (slope(left) < slope(right)) {
      low = left;
    } else {
      high = right;
    }
  }
  return (low + high) / 2;
}

// The period in timer units between the first and the last rising edge in
// [from, to): the rises of the wave through the middle of its range there
// are counted (after one, the next once the wave has fallen a quarter of its
// range below), and the first and the last are taken to their edges' exact
// times.
double measured_period(const std::vector<double>& samples, double from, double to) {
  const auto begin = samples.begin() + static_cast<std::ptrdiff_t>(from);
  const auto end = samples.begin() + static_cast<std::ptrdiff_t>(to);
  const auto [lowest, highest] = std::minmax_element(begin, end);
  const double level = (*lowest + *highest) / 2;
  const double hysteresis = (*highest - *lowest) / 4;
  std::vector<std::size_t> rises;
  bool armed = false;
  for (auto k = static_cast<std::size_t>(std::ceil(from)); k + 1 < samples.size() && k < to; ++k) {
    armed = armed || samples[k] < level - hysteresis;
    if (armed && samples[k] < level && samples[k + 1] >= level) {
      rises.push_back(k);
      armed = false;
    }
  }
  if (rises.size() < 2) return 0;
  const auto edge = [&](std::size_t k) {
    double low = static_cast<double>(k);
    double high = low + 1;
    while (high - low > 1e-4) {
      const double middle = (low + high) / 2;
      (wave_at(samples, middle) < level ? low : high) = middle;
    }
    return steepest_rise(samples, low);
  };
  const double samples_per_period =
      (edge(rises.back()) - edge(rises.front())) / static_cast<double>(rises.size() - 1);
  return samples_per_period * cpu_clock() / kSampleRate / period_unit();
}

// The triangle's period in timer units over [from, to), near `expected`: its
// staircase makes crossings of a level jump by a step from one period to the
// next, so the wave is compared with itself some periods later instead. The
// lag of least difference, within a quarter period of that many expected
// periods, is taken between whole samples by the parabola through its
// neighbours.
double measured_triangle_period(const std::vector<double>& samples, double from, double to,
                                double expected_units) {
  const double expected = expected_units * period_unit() * kSampleRate / cpu_clock();
  const double periods = std::max(1.0, std::floor((to - from) / 2 / expected));
  const auto difference = [&](std::size_t lag) {
    double sum = 0;
    for (auto n = static_cast<std::size_t>(from); n + lag < static_cast<std::size_t>(to); ++n) {
      sum += (samples[n] - samples[n + lag]) * (samples[n] - samples[n + lag]);
    }
    return sum;
  };
  const auto lowest = static_cast<std::size_t>((periods - 0.25) * expected);
  const auto highest = static_cast<std::size_t>((periods + 0.25) * expected) + 1;
  std::size_t best = lowest + 1;
  for (std::size_t lag = lowest + 1; lag < highest; ++lag) {
    if (difference(lag) < difference(best)) best = lag;
  }
  const double left = difference(best - 1), middle = difference(best), right = difference(best + 1);
  const double lag = static_cast<double>(best) + (left - right) / (2 * (left - 2 * middle + right));
  return lag / periods * cpu_clock() / kSampleRate / period_unit();
}

void fft(std::vector<std::complex<double>>& values) {
  const std::size_t n = values.size();
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(values[i], values[j]);
  }
  for (std::size_t length = 2; length <= n; length <<= 1) {
    const std::complex<double> turn = std::polar(1.0, -2 * std::numbers::pi / static_cast<double>(length));
    for (std::size_t start = 0; start < n; start += length) {
      std::complex<double> factor = 1;
      for (std::size_t k = 0; k < length / 2; ++k) {
        const std::complex<double> even = values[start + k];
        const std::complex<double> odd = values[start + k + length / 2] * factor;
        values[start + k] = even + odd;
        values[start + k + length / 2] = even - odd;
        factor *= turn;
      }
    }
  }
}

// The energy off the harmonic grid of `fundamental` Hz relative to the
// fundamental's, in dB, over 4096 samples from `from` under a 4-term
// Blackman-Harris window (side lobes 92 dB down): every bin further than
// kLobe bins from each harmonic below 22.05 kHz and from 0 Hz is off it.
double off_grid_db(const std::vector<double>& samples, std::size_t from, double fundamental) {
  constexpr std::size_t kSize = 4096;
  constexpr double kLobe = 5;
  std::vector<std::complex<double>> spectrum(kSize);
  for (std::size_t i = 0; i < kSize; ++i) {
    const double x = 2 * std::numbers::pi * static_cast<double>(i) / kSize;
    const double window = 0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2 * x) - 0.01168 * std::cos(3 * x);
    spectrum[i] = samples[from + i] * window;
  }
  fft(spectrum);
  const double bin_hz = kSampleRate / kSize;
  double fundamental_energy = 0;
  double off_grid = 0;
  for (std::size_t bin = 0; bin <= kSize / 2; ++bin) {
    const double energy = std::norm(spectrum[bin]);
    const double harmonic = std::round(static_cast<double>(bin) * bin_hz / fundamental);
    const double distance = std::abs(static_cast<double>(bin) - harmonic * fundamental / bin_hz);
    if (harmonic == 1 && distance <= kLobe) fundamental_energy += energy;
    if (distance > kLobe && static_cast<double>(bin) > kLobe) off_grid += energy;
  }
  return 10 * std::log10(off_grid / fundamental_energy);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : ".";
  for (int i = 2; i < argc; ++i) {
    const std::string_view option = argv[i];
    if (option == "-p") voice.machine = zentrill::Machine::pal;
    if (option == "-s" && i + 1 < argc) voice.speed = std::stoi(argv[++i]);
    if (option == "-c" && i + 1 < argc) {
      const std::string_view name = argv[++i];
      voice.channel = name == "triangle" ? zentrill::Channel::triangle
                      : name == "pulse2" ? zentrill::Channel::pulse2
                                         : zentrill::Channel::pulse1;
    }
  }
  const bool triangle = voice.channel == zentrill::Channel::triangle;
  std::ifstream pitch_list(folder + "/pxx.txt");
  std::vector<int> registers;
  for (std::string line; std::getline(pitch_list, line);) registers.push_back(register_of(line));
  std::ifstream wav(folder + "/pxx.wav", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(wav)), std::istreambuf_iterator<char>());
  if (registers.empty() || bytes.size() < kHeaderSize) {
    std::fprintf(stderr, "no pxx.txt or pxx.wav in %s\n", folder.c_str());
    return 2;
  }
  std::vector<double> samples;
  for (std::size_t i = kHeaderSize; i + 1 < bytes.size(); i += 2) {
    samples.push_back(static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i]) |
                                                static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  const std::size_t rows = std::min(registers.size(), static_cast<std::size_t>(32767));
  std::printf("%zu rows, %zu samples (%.3f s)\n", rows, samples.size(),
              static_cast<double>(samples.size()) / kSampleRate);

  // The rows by pitch, highest first: the last 100 rows of a rising glide.
  std::vector<std::size_t> by_pitch(rows);
  for (std::size_t row = 0; row < rows; ++row) by_pitch[row] = row;
  std::stable_sort(by_pitch.begin(), by_pitch.end(),
                   [&](std::size_t a, std::size_t b) { return registers[a] < registers[b]; });

  double worst_period_error = 0;
  std::size_t worst_period_row = 0;
  double worst_alias = -1000;
  std::size_t worst_alias_row = 0;
  double best_alias = 0;
  double peak = 0;
  double lowest_rms = 1e9;
  double highest_rms = 0;
  for (std::size_t row = 0; row < rows; ++row) {
    const double start = row_start(row);
    const double end = row_start(row + 1);
    const double settling = triangle ? kSettling : 40;
    const double wanted = registers[row] + 1;
    const double period = !triangle ? measured_period(samples, start + settling, end - 20)
                          : end - start > settling + 3 * wanted * period_unit() * kSampleRate / cpu_clock()
                              ? measured_triangle_period(samples, start + settling, end - 20, wanted)
                              : wanted;  // too short a row to read after the settling
    const double error = std::abs(period - wanted);
    if (error > worst_period_error) {
      worst_period_error = error;
      worst_period_row = row;
    }
    double energy = 0;
    for (auto i = static_cast<std::size_t>(start); i < static_cast<std::size_t>(end); ++i) {
      energy += samples[i] * samples[i];
      peak = std::max(peak, std::abs(samples[i]));
    }
    const double rms = std::sqrt(energy / (end - start));
    lowest_rms = std::min(lowest_rms, rms);
    highest_rms = std::max(highest_rms, rms);
  }
  const std::size_t top = std::min<std::size_t>(100, rows);
  for (std::size_t rank = 0; rank < top; ++rank) {
    const std::size_t row = by_pitch[rank];
    const double fundamental = cpu_clock() / (period_unit() * (registers[row] + 1));
    const auto from = static_cast<std::size_t>((row_start(row) + row_start(row + 1)) / 2) - 2048;
    const double alias = off_grid_db(samples, from, fundamental);
    if (alias > worst_alias) {
      worst_alias = alias;
      worst_alias_row = row;
    }
    best_alias = std::min(best_alias, alias);
  }
  const auto dbfs = [](double level) { return 20 * std::log10(level / 32768); };
  std::printf("period: worst row %zu (R + 1 = %d), %.5f units off\n", worst_period_row,
              registers[worst_period_row] + 1, worst_period_error);
  std::printf("off the harmonic grid, %zu highest rows: worst %.1f dB (row %zu, R + 1 = %d), best %.1f dB\n",
              top, worst_alias, worst_alias_row, registers[worst_alias_row] + 1, best_alias);
  std::printf("level: peak %.2f dBFS (%.0f), rms per row %.1f to %.1f dBFS\n", dbfs(peak), peak,
              dbfs(lowest_rms), dbfs(highest_rms));
  return worst_period_error < 0.05 && worst_alias <= -60 ? 0 : 1;
}
