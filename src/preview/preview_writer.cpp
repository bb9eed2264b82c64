#include "preview/preview_writer.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "driver/phase_files.h"
#include "preview/preview_timing.h"
#include "preview/pulse_renderer.h"
#include "preview/row_register.h"
#include "preview/wav_format.h"

namespace zentrill {
namespace {

constexpr int kPitchListSlot = phase_files::kPitchListReadForPreview.slot;
constexpr int kPreviewSlot = phase_files::kPreviewWritten.slot;

// The rows of a module without all rows: one pattern.
constexpr std::size_t kOnePatternRows = 256;

std::vector<std::uint16_t> read_registers(FileSlots& slots, std::size_t max_rows) {
  phase_files::open_slot_file(slots, phase_files::kPitchListReadForPreview);
  std::vector<std::uint16_t> registers;
  std::uint16_t period_register = 0;
  while (registers.size() < max_rows && !slots.at_end(kPitchListSlot)) {
    period_register = row_register(slots.read_text_item(kPitchListSlot)).value_or(period_register);
    registers.push_back(period_register);
  }
  slots.close(kPitchListSlot);
  return registers;
}

}  // namespace

void write_preview(FileSlots& slots, const PreviewOptions& options) {
  const std::vector<std::uint16_t> registers = read_registers(
      slots, options.all_rows ? preview_timing::kMaxRows : kOnePatternRows);

  phase_files::open_slot_file(slots, phase_files::kPreviewWritten);
  const auto header = wav_format::header(
      static_cast<std::uint64_t>(preview_timing::sample_count(static_cast<std::int64_t>(registers.size()))));
  slots.print(kPreviewSlot, std::string_view(header.data(), header.size()));
  std::array<char, kSampleBlockSize * wav_format::kBytesPerSample> bytes;
  render_pulse_preview(registers, [&](std::span<const std::int16_t> samples) {
    std::size_t size = 0;
    for (const std::int16_t sample : samples) {
      const auto value = static_cast<std::uint16_t>(sample);
      bytes[size++] = static_cast<char>(value & 0xFF);
      bytes[size++] = static_cast<char>(value >> 8);
    }
    slots.print(kPreviewSlot, std::string_view(bytes.data(), size));
  });
  slots.close(kPreviewSlot);
}

}  // namespace zentrill
