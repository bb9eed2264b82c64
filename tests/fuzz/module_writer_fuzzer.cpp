// Phase 3 over an arbitrary pitch list: the input is the whole of pxx.txt.
// Checked for every run:
//   - the module is exactly 2968 bytes: the same 380-byte head as always,
//     256 pattern items with the row indices 0 to 255 in order, the fixed
//     tail;
//   - every item is a note row (note 0-12, octave 0-9, instrument 0), a
//     continuation row or a filler row (no note, no instrument), always with
//     an empty volume and the fine-pitch effect;
//   - the items are exactly those the line rules give for the first 256
//     lines of the list, worked out here on the side;
//   - both slots are closed afterwards;
//   - on a disk that fills up, pxx.ftm holds exactly the bytes that fitted
//     and the failure is reported.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "memory_file_system.h"
#include "module/module_format.h"
#include "module/module_writer.h"
#include "textio/file_slots.h"
#include "textio/file_system.h"

namespace zentrill {
namespace {

using testing::MemoryFileSystem;

using namespace module_format;

constexpr int kPitchListSlot = 1;
constexpr int kModuleSlot = 2;

// DPCM SAMPLES, version 1, one data byte (no samples), then END.
constexpr std::string_view kTail{
    "DPCM SAMPLES\0\0\0\0"
    "\x01\0\0\0"
    "\x01\0\0\0"
    "\0"
    "END",
    28};
static_assert(kTail.size() == kTailSize);

struct Run {
  std::string module;
  bool write_failed = false;
  bool slots_closed = false;
};

Run write(const std::string& pitch_list, std::size_t capacity) {
  MemoryFileSystem files;
  files.files["pxx.txt"] = pitch_list;
  files.capacity = capacity;
  FileSlots slots(files);
  Run run;
  try {
    write_module(slots);
  } catch (const FileError&) {
    run.write_failed = true;
  }
  run.module = files.files["pxx.ftm"];
  // A closed slot reads as ended and takes no bytes.
  slots.print(kModuleSlot, "x");
  run.slots_closed = slots.at_end(kPitchListSlot) && files.files["pxx.ftm"] == run.module;
  return run;
}

// The lines that become rows: the first 256 text items.
std::vector<std::string> lines_of(const std::string& pitch_list) {
  MemoryFileSystem files;
  files.files["pxx.txt"] = pitch_list;
  FileSlots slots(files);
  slots.open_for_reading(kPitchListSlot, "pxx.txt");
  std::vector<std::string> lines;
  while (lines.size() < kPatternRows && !slots.at_end(kPitchListSlot)) {
    lines.push_back(slots.read_text_item(kPitchListSlot));
  }
  return lines;
}

std::string row_bytes(std::uint32_t row, int note, int octave, int instrument, int parameter) {
  std::string bytes;
  for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((row >> shift) & 0xFF);
  for (int field : {note, octave, instrument, kNoVolume, kFinePitchEffect, parameter}) {
    bytes += static_cast<char>(field);
  }
  return bytes;
}

// The pattern items the lines should give, by the line rules: characters 1
// and 2 the note (kept when not a capital note letter), 3 the octave (0 when
// not a digit), 6 and 7 the hexadecimal digits (each kept when not 0-9 or
// A-F).
std::string expected_items(const std::vector<std::string>& lines) {
  // A zero byte stands for a position past the end; it matches nothing below.
  const auto character = [](const std::string& line, std::size_t position) {
    return position <= line.size() ? line[position - 1] : '\0';
  };
  const std::string_view letters = "C-D-EF-G-A-B";  // note number - 1 of each letter
  const std::string_view digits = "0123456789ABCDEF";
  int note = 0, octave = 0, high = 0, low = 0, previous_note = 0, previous_octave = 0;
  std::string items;
  std::uint32_t row = 0;
  for (const std::string& line : lines) {
    const char letter = character(line, 1);
    if (letter != '-' && letters.find(letter) != std::string_view::npos) {
      note = static_cast<int>(letters.find(letter)) + 1;
    }
    if (character(line, 2) == '#' && note < 12) ++note;
    const char octave_digit = character(line, 3);
    octave = octave_digit >= '0' && octave_digit <= '9' ? octave_digit - '0' : 0;
    if (digits.find(character(line, 6)) != std::string_view::npos) {
      high = static_cast<int>(digits.find(character(line, 6)));
    }
    if (digits.find(character(line, 7)) != std::string_view::npos) {
      low = static_cast<int>(digits.find(character(line, 7)));
    }
    const int parameter = 16 * high + low;
    if (note == previous_note && octave == previous_octave) {
      items += row_bytes(row, kNoNote, 0, kNoInstrument, parameter);
    } else {
      items += row_bytes(row, note, octave, kFirstInstrument, parameter);
    }
    ++row;
    previous_note = note;
    previous_octave = octave;
  }
  for (; row < kPatternRows; ++row) {
    items += row_bytes(row, kNoNote, 0, kNoInstrument, kNeutralFinePitch);
  }
  return items;
}

void check_items(std::string_view items) {
  for (std::uint32_t row = 0; row < kPatternRows; ++row) {
    const std::string_view item = items.substr(row * kRowSize, kRowSize);
    const auto byte = [&](std::size_t offset) { return static_cast<unsigned char>(item[offset]); };
    const std::uint32_t index = byte(0) | byte(1) << 8 | byte(2) << 16 | std::uint32_t{byte(3)} << 24;
    ZENTRILL_FUZZ_CHECK(index == row);
    ZENTRILL_FUZZ_CHECK(byte(kNoteOffset) <= 12);
    ZENTRILL_FUZZ_CHECK(byte(kOctaveOffset) <= 9);
    ZENTRILL_FUZZ_CHECK(byte(kVolumeOffset) == kNoVolume);
    ZENTRILL_FUZZ_CHECK(byte(kEffectCommandOffset) == kFinePitchEffect);
    if (byte(kInstrumentOffset) == kNoInstrument) {
      ZENTRILL_FUZZ_CHECK(byte(kNoteOffset) == kNoNote && byte(kOctaveOffset) == 0);
    } else {
      ZENTRILL_FUZZ_CHECK(byte(kInstrumentOffset) == kFirstInstrument);
    }
  }
}

const std::string& empty_list_head() {
  static const std::string head = write("", std::numeric_limits<std::size_t>::max())
                                      .module.substr(0, kFixedHeadSize);
  return head;
}

}  // namespace
}  // namespace zentrill

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zentrill;
  const std::string pitch_list(reinterpret_cast<const char*>(data), size);
  const Run run = write(pitch_list, std::numeric_limits<std::size_t>::max());
  ZENTRILL_FUZZ_CHECK(!run.write_failed);
  ZENTRILL_FUZZ_CHECK(run.slots_closed);

  const std::string_view module = run.module;
  ZENTRILL_FUZZ_CHECK(module.size() == kModuleSize);
  const std::string_view head = module.substr(0, kFixedHeadSize);
  ZENTRILL_FUZZ_CHECK(head == empty_list_head());
  ZENTRILL_FUZZ_CHECK(head.starts_with(kMagic));
  ZENTRILL_FUZZ_CHECK(head.substr(head.size() - 4) == std::string_view("\0\x01\0\0", 4));
  const std::string_view items = module.substr(kFixedHeadSize, kPatternRows * kRowSize);
  check_items(items);
  ZENTRILL_FUZZ_CHECK(items == expected_items(lines_of(pitch_list)));
  ZENTRILL_FUZZ_CHECK(module.substr(kFixedHeadSize + kPatternRows * kRowSize) == kTail);

  // A disk that fills up part way through the module.
  const std::size_t room = (size > 0 ? data[0] * 31u + data[size - 1] * 7u : 0) % kModuleSize;
  const Run cut = write(pitch_list, pitch_list.size() + room);
  ZENTRILL_FUZZ_CHECK(cut.write_failed);
  ZENTRILL_FUZZ_CHECK(cut.module == module.substr(0, room));
  return 0;
}
