// The files through which the phases meet: names, slots and directions. Each
// slot is closed before the next phase opens it again.
#ifndef ZENTRILL_VOCABULARY_PHASE_FILES_H_
#define ZENTRILL_VOCABULARY_PHASE_FILES_H_

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "textio/file_slots.h"

namespace zentrill::phase_files {

inline constexpr std::string_view kFrequencyListName = "freq.txt";
inline constexpr std::string_view kPitchListName = "pxx.txt";
inline constexpr std::string_view kModuleName = "pxx.ftm";
inline constexpr std::string_view kPreviewName = "pxx.wav";

// The files a run replaces, in the order they are moved into place.
inline constexpr std::string_view kOutputNamesWithPreview[] = {
    kFrequencyListName,
    kPitchListName,
    kModuleName,
    kPreviewName,
};
inline constexpr std::span<const std::string_view> kOutputNames =
    std::span(kOutputNamesWithPreview).first<3>();

// The files a line that never reaches the pitch list is missing from.
constexpr std::span<const std::string_view> files_from_pitch_list(bool preview) {
  return (preview ? std::span<const std::string_view>(kOutputNamesWithPreview) : kOutputNames)
      .subspan(1);
}
static_assert(files_from_pitch_list(false).size() == 2 &&
              files_from_pitch_list(false).front() == kPitchListName &&
              files_from_pitch_list(true).back() == kPreviewName);

// "a", "a and b", "a, b and c".
inline std::string listed(std::span<const std::string_view> names) {
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
    text += names[i];
  }
  return text;
}

enum class Direction { reading, writing };

struct SlotFile {
  int slot;
  std::string_view name;
  Direction direction;
};

// Phase 1, the frequency-list builder.
inline constexpr SlotFile kFrequencyListWritten{1, kFrequencyListName, Direction::writing};
// Phase 2, the pitch analysis.
inline constexpr SlotFile kFrequencyListRead{1, kFrequencyListName, Direction::reading};
inline constexpr SlotFile kPitchListWritten{2, kPitchListName, Direction::writing};
// Phase 3, the module writer.
inline constexpr SlotFile kPitchListRead{1, kPitchListName, Direction::reading};
inline constexpr SlotFile kModuleWritten{2, kModuleName, Direction::writing};
// Phase 4, the preview, when asked for.
inline constexpr SlotFile kPitchListReadForPreview{1, kPitchListName, Direction::reading};
inline constexpr SlotFile kPreviewWritten{2, kPreviewName, Direction::writing};

// A phase's input and output never share a slot, and what one phase writes
// the next reads.
static_assert(kFrequencyListRead.slot != kPitchListWritten.slot);
static_assert(kPitchListRead.slot != kModuleWritten.slot);
static_assert(kPitchListReadForPreview.slot != kPreviewWritten.slot);
static_assert(kFrequencyListWritten.name == kFrequencyListRead.name);
static_assert(kPitchListWritten.name == kPitchListRead.name &&
              kPitchListWritten.name == kPitchListReadForPreview.name);

inline void open_slot_file(FileSlots& slots, const SlotFile& file) {
  if (file.direction == Direction::writing) {
    slots.open_for_writing(file.slot, file.name);
  } else {
    slots.open_for_reading(file.slot, file.name);
  }
}

}  // namespace zentrill::phase_files

#endif  // ZENTRILL_VOCABULARY_PHASE_FILES_H_
