#include "preview/preview_writer.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "preview/preview_timing.h"
#include "preview/row_register.h"
#include "preview/voice_renderer.h"
#include "preview/wav_format.h"
#include "vocabulary/phase_files.h"
#include "vocabulary/tracker_song.h"

namespace zentrill {
namespace {

constexpr int kPitchListSlot = phase_files::kPitchListReadForPreview.slot;
constexpr int kPreviewSlot = phase_files::kPreviewWritten.slot;

std::vector<std::uint16_t> read_registers(FileSlots& slots, std::size_t max_rows, Machine machine) {
  phase_files::open_slot_file(slots, phase_files::kPitchListReadForPreview);
  std::vector<std::uint16_t> registers;
  std::uint16_t register_value = 0;
  while (registers.size() < max_rows && !slots.at_end(kPitchListSlot)) {
    register_value = row_register(slots.read_text_item(kPitchListSlot), machine).value_or(register_value);
    registers.push_back(register_value);
  }
  slots.close(kPitchListSlot);
  return registers;
}

}  // namespace

void write_preview(FileSlots& slots, const PreviewOptions& options) {
  const std::vector<std::uint16_t> registers = read_registers(
      slots, options.all_rows ? kMaxLinesWithEnd : kLinesWithoutAllRows, options.voice.machine);

  phase_files::open_slot_file(slots, phase_files::kPreviewWritten);
  const auto header = wav_format::header(static_cast<std::uint64_t>(
      preview_timing::sample_count(options.voice, static_cast<std::int64_t>(registers.size()))));
  slots.print(kPreviewSlot, std::string_view(header.data(), header.size()));
  std::array<char, kSampleBlockSize * wav_format::kBytesPerSample> bytes;
  render_preview(registers, options.voice, [&](std::span<const std::int16_t> samples) {
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
