// The hot paths of a long run, one benchmark each: what every line of
// freq.txt and pxx.txt costs, the module's rows and the preview of a glide;
// then the floor loop's steps for the same values. Files live in memory, so the figures are the
// work without the disk.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "floor_steps.h"
#include "memory_file_system.h"
#include "module/module_writer.h"
#include "pitch/period_analysis.h"
#include "pitch/pitch_list_writer.h"
#include "preview/preview_writer.h"
#include "textio/file_slots.h"
#include "textio/number_form.h"
#include "vocabulary/phase_files.h"

namespace zentrill {
namespace {

using test_support::MemoryFileSystem;

constexpr int kSlot = 1;

// One glide of 1200 values from 110 Hz up to 3520 Hz, the values of the long
// measured run.
const std::vector<double>& glide_values() {
  static const std::vector<double> values = [] {
    std::vector<double> list;
    const double ratio = std::pow(32.0, 1.0 / 1200);
    for (double f = 110; list.size() < 1200; f *= ratio) list.push_back(f);
    return list;
  }();
  return values;
}

std::string frequency_list_text() {
  std::string text;
  for (const double value : glide_values()) text += long_number_form(value) + "\r\n";
  return text;
}

// Files that swallow what is written and replay a fixed text when read, so
// that neither side's cost is the benchmark's own.
class ReplayFileSystem final : public FileSystem {
 public:
  explicit ReplayFileSystem(std::string contents) : contents_(std::move(contents)) {}

  std::unique_ptr<ReadableFile> open_for_reading(const std::string&) override {
    return std::make_unique<Replay>(contents_);
  }
  std::unique_ptr<WritableFile> open_for_writing(const std::string&) override {
    return std::make_unique<Sink>();
  }

 private:
  class Replay final : public ReadableFile {
   public:
    explicit Replay(const std::string& text) : text_(text) {}
    std::uint64_t length() const override { return text_.size(); }
    std::size_t read(std::span<char> buffer) override {
      const std::size_t count = std::min(buffer.size(), text_.size() - offset_);
      text_.copy(buffer.data(), count, offset_);
      offset_ += count;
      return count;
    }

   private:
    const std::string& text_;
    std::size_t offset_ = 0;
  };
  class Sink final : public WritableFile {
   public:
    void write(std::string_view bytes) override { benchmark::DoNotOptimize(bytes.data()); }
    void close() override {}
  };

  std::string contents_;
};

void BM_WriteNumberLine(benchmark::State& state) {
  ReplayFileSystem files("");
  FileSlots slots(files);
  slots.open_for_writing(kSlot, "freq.txt");
  const std::vector<double>& values = glide_values();
  std::size_t next = 0;
  for (auto _ : state) {
    slots.write_number_line(kSlot, values[next]);
    next = next + 1 == values.size() ? 0 : next + 1;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WriteNumberLine);

void BM_ReadNumericItem(benchmark::State& state) {
  ReplayFileSystem files(frequency_list_text());
  FileSlots slots(files);
  slots.open_for_reading(kSlot, "freq.txt");
  double sum = 0;
  for (auto _ : state) {
    if (slots.at_end(kSlot)) {
      // One reopen per 1200 items: part of the figure, but a small one.
      slots.close(kSlot);
      slots.open_for_reading(kSlot, "freq.txt");
    }
    sum += slots.read_numeric_item(kSlot);
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadNumericItem);

// The timer period, the note search and the fine pitch of one frequency.
// The frequencies span the whole playable range: the search's cost grows
// with the octave.
const std::vector<double>& analysed_frequencies() {
  static const std::vector<double> frequencies = [] {
    std::vector<double> list;
    for (const double f : glide_values()) list.push_back(f);
    for (const double f : glide_values()) list.push_back(f * 2.2);
    return list;
  }();
  return frequencies;
}

void BM_AnalyseFrequency(benchmark::State& state) {
  const std::vector<double>& frequencies = analysed_frequencies();
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        analyse_period(timer_period(frequencies[next]), FinePitch::exact_period));
    next = next + 1 == frequencies.size() ? 0 : next + 1;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AnalyseFrequency);

void BM_WritePitchListLine(benchmark::State& state) {
  ReplayFileSystem files("");
  FileSlots slots(files);
  phase_files::open_slot_file(slots, phase_files::kPitchListWritten);
  std::vector<PitchEntry> entries;
  for (const double f : glide_values()) {
    entries.push_back(*analyse_period(timer_period(f), FinePitch::exact_period));
  }
  std::size_t next = 0;
  for (auto _ : state) {
    write_pitch_list_line(slots, entries[next]);
    next = next + 1 == entries.size() ? 0 : next + 1;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WritePitchListLine);

// A whole module: 256 pattern rows read from a full pitch list, the fixed
// head and the tail. Items are rows.
void BM_ModuleRows(benchmark::State& state) {
  MemoryFileSystem files;
  {
    FileSlots slots(files);
    phase_files::open_slot_file(slots, phase_files::kPitchListWritten);
    for (std::size_t i = 0; i < 256; ++i) {
      const double period = timer_period(glide_values()[i * 4]);
      write_pitch_list_line(slots, *analyse_period(period, FinePitch::exact_period));
    }
    slots.close(phase_files::kPitchListWritten.slot);
  }
  for (auto _ : state) {
    FileSlots slots(files);
    write_module(slots, {});
  }
  state.SetItemsProcessed(state.iterations() * 256);
}
BENCHMARK(BM_ModuleRows);

// The whole preview of C-1 to A#7 in 1200 steps with -t (zentrill -tiaw):
// its pitch list read, 5.29 million samples computed and written, 2 minutes
// of sound. Items are rows.
void BM_Preview1200Rows(benchmark::State& state) {
  MemoryFileSystem lines;
  {
    FileSlots slots(lines);
    phase_files::open_slot_file(slots, phase_files::kPitchListWritten);
    const double lowest = 65.40650177001953;  // C-1, as the note entry gives it
    const double ratio = std::pow(2.0, (6 * 12 + 10) / 12.0 / 1200);  // to A#7
    for (int i = 0; i < 1200; ++i) {
      const double period = timer_period(lowest * std::pow(ratio, i));
      write_pitch_list_line(slots, *analyse_period(period, FinePitch::nearest_period));
    }
    slots.close(phase_files::kPitchListWritten.slot);
  }
  ReplayFileSystem files(lines.files[std::string(phase_files::kPitchListName)]);
  for (auto _ : state) {
    FileSlots slots(files);
    write_preview(slots, {.all_rows = true, .voice = {}});
  }
  state.SetItemsProcessed(state.iterations() * 1200);
}
BENCHMARK(BM_Preview1200Rows)->Unit(benchmark::kMillisecond);

// The floor loop's steps (floor_steps.h), each beside the step above that
// does the same work, into a plain 64 KiB buffer.

class LineBuffer {
 public:
  char* line() { return used_ + 40 > sizeof buffer_ ? (used_ = 0, buffer_) : buffer_ + used_; }
  void line_ends_at(char* end) { used_ = static_cast<std::size_t>(end - buffer_); }

 private:
  char buffer_[64 * 1024];
  std::size_t used_ = 0;
};

void BM_FloorWriteFrequencyLine(benchmark::State& state) {
  auto out = std::make_unique<LineBuffer>();
  const std::vector<double>& values = glide_values();
  std::size_t next = 0;
  for (auto _ : state) {
    out->line_ends_at(floor_steps::frequency_line(out->line(), values[next]));
    next = next + 1 == values.size() ? 0 : next + 1;
  }
  benchmark::DoNotOptimize(out->line());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FloorWriteFrequencyLine);

void BM_FloorReadFrequency(benchmark::State& state) {
  const std::string text = frequency_list_text();
  const char* line = text.data();
  const char* const end = text.data() + text.size();
  double sum = 0;
  for (auto _ : state) {
    const auto* cr = static_cast<const char*>(std::memchr(line, '\r', static_cast<std::size_t>(end - line)));
    sum += floor_steps::frequency(line, cr);
    line = cr + 2 == end ? text.data() : cr + 2;
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FloorReadFrequency);

void BM_FloorAnalyseFrequency(benchmark::State& state) {
  const std::vector<double>& frequencies = analysed_frequencies();
  std::size_t next = 0;
  floor_steps::Pitch pitch{};
  for (auto _ : state) {
    benchmark::DoNotOptimize(floor_steps::analyse(frequencies[next], pitch));
    benchmark::DoNotOptimize(pitch);
    next = next + 1 == frequencies.size() ? 0 : next + 1;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FloorAnalyseFrequency);

void BM_FloorWritePitchLine(benchmark::State& state) {
  auto out = std::make_unique<LineBuffer>();
  std::vector<floor_steps::Pitch> pitches;
  for (const double f : glide_values()) {
    floor_steps::Pitch pitch{};
    floor_steps::analyse(f, pitch);
    pitches.push_back(pitch);
  }
  std::size_t next = 0;
  for (auto _ : state) {
    out->line_ends_at(floor_steps::pitch_line(out->line(), pitches[next]));
    next = next + 1 == pitches.size() ? 0 : next + 1;
  }
  benchmark::DoNotOptimize(out->line());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FloorWritePitchLine);

}  // namespace
}  // namespace zentrill

BENCHMARK_MAIN();
