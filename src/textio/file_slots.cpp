#include "textio/file_slots.h"

#include <string_view>
#include <vector>

#include "textio/item_reader.h"
#include "textio/number_form.h"
#include "textio/text_ops.h"

namespace zentrill {
namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

}  // namespace

struct FileSlots::Slot {
  std::unique_ptr<WritableFile> output;
  std::string pending_output;
  bool output_failed = false;  // after a refused write the slot takes no more bytes

  // Reading: undelivered bytes from `next_byte` on; buffer[0] is the file's
  // byte `buffer_offset`.
  std::unique_ptr<ReadableFile> input;
  std::uint64_t length = 0;
  std::vector<char> buffer;
  std::size_t next_byte = 0;
  std::uint64_t buffer_offset = 0;
  bool data_ended = false;
  int pushed_back = kEndOfData;
  std::string item;  // the last numeric item, kept for its capacity

  void flush() {
    if (pending_output.empty() || output_failed) return;
    try {
      output->write(pending_output);
    } catch (const FileError&) {
      output_failed = true;
      throw;
    }
    pending_output.clear();  // keeps its capacity for the next bytes
  }

  void flush_when_full() {
    if (pending_output.size() >= kBufferSize) flush();
  }

  // False when the file has no more. A failed read throws and ends the data.
  bool fill() {
    if (next_byte < buffer.size()) return true;
    buffer_offset += buffer.size();
    buffer.resize(kBufferSize);
    next_byte = 0;
    std::size_t got = 0;
    try {
      got = input->read(buffer);
    } catch (const FileError&) {
      buffer.clear();
      data_ended = true;
      throw;
    }
    buffer.resize(got);
    return got > 0;
  }

  int peek_raw() {
    if (data_ended || !fill()) return kEndOfData;
    return static_cast<unsigned char>(buffer[next_byte]);
  }

  // CR LF is delivered as LF, and a 0x1A byte ends the data.
  int next() {
    // Short enough for the item reader's loop to inline.
    if (pushed_back == kEndOfData && next_byte < buffer.size()) {
      const int c = static_cast<unsigned char>(buffer[next_byte]);
      if (c != '\r' && c != kEndOfFileMark) {
        ++next_byte;
        return c;
      }
    }
    return next_with_checks();
  }

  int next_with_checks() {
    if (pushed_back != kEndOfData) {
      const int c = pushed_back;
      pushed_back = kEndOfData;
      return c;
    }
    const int c = peek_raw();
    if (c == kEndOfData || c == kEndOfFileMark) {
      data_ended = true;
      return kEndOfData;
    }
    ++next_byte;
    if (c == '\r' && peek_raw() == '\n') {
      ++next_byte;
      return '\n';
    }
    return c;
  }

  void push_back(char c) { pushed_back = static_cast<unsigned char>(c); }

  // next() delivers these one for one up to the first CR or end mark.
  std::string_view lookahead() const {
    if (pushed_back != kEndOfData || data_ended) return {};
    return {buffer.data() + next_byte, buffer.size() - next_byte};
  }
  void skip(std::size_t count) { next_byte += count; }

  bool at_end() {
    if (pushed_back != kEndOfData) return false;
    // A CR LF pair counts as two.
    const std::uint64_t position = buffer_offset + next_byte;
    if (data_ended || position >= length) return true;
    // Before a 0x1A nothing is left, not even an empty item.
    return peek_raw() == kEndOfFileMark;
  }
};

FileSlots::FileSlots(FileSystem& file_system) : file_system_(file_system) {}

FileSlots::~FileSlots() {
  for (auto& slot : slots_) {
    if (!slot) continue;
    try {
      if (slot->output) slot->flush();
    } catch (const FileError&) {
    }
    slot.reset();
  }
}

FileSlots::Slot* FileSlots::find(int slot) {
  if (slot < 1 || slot >= static_cast<int>(slots_.size())) return nullptr;
  return slots_[static_cast<std::size_t>(slot)].get();
}

void FileSlots::open_for_writing(int slot, std::string_view name) {
  if (slot < 1 || slot >= static_cast<int>(slots_.size()) || find(slot)) return;
  auto opened = std::make_unique<Slot>();
  opened->output = file_system_.open_for_writing(std::string(name));
  slots_[static_cast<std::size_t>(slot)] = std::move(opened);
}

void FileSlots::open_for_reading(int slot, std::string_view name) {
  if (slot < 1 || slot >= static_cast<int>(slots_.size()) || find(slot)) return;
  auto input = file_system_.open_for_reading(std::string(name));
  if (!input) return;
  auto opened = std::make_unique<Slot>();
  opened->length = input->length();
  opened->input = std::move(input);
  slots_[static_cast<std::size_t>(slot)] = std::move(opened);
}

void FileSlots::close(int slot) {
  Slot* open = find(slot);
  if (!open) return;
  std::unique_ptr<Slot> closing = std::move(slots_[static_cast<std::size_t>(slot)]);
  if (!closing->output) return;
  closing->flush();
  if (!closing->output_failed) closing->output->close();
}

FileSlots::Slot* FileSlots::find_writable(int slot) {
  Slot* open = find(slot);
  if (!open || !open->output || open->output_failed) return nullptr;
  return open;
}

void FileSlots::print(int slot, std::string_view text, LineEnd line_end) {
  Slot* open = find_writable(slot);
  if (!open) return;
  open->pending_output.append(text);
  if (line_end == LineEnd::with) open->pending_output.append(kLineEndBytes);
  open->flush_when_full();
}

void FileSlots::write_number_line(int slot, double value) {
  Slot* open = find_writable(slot);
  if (!open) return;
  // Straight into the buffer: a long run writes a million of these.
  append_long_number_form(open->pending_output, value);
  open->pending_output.append(kLineEndBytes);
  open->flush_when_full();
}

bool FileSlots::at_end(int slot) {
  Slot* open = find(slot);
  if (!open || !open->input) return true;
  return open->at_end();
}

double FileSlots::read_numeric_item(int slot) {
  Slot* open = find(slot);
  if (!open || !open->input) return 0.0;
  read_item(*open, ItemKind::numeric, open->item);
  return numeric_item_value(open->item);
}

std::string FileSlots::read_text_item(int slot) {
  Slot* open = find(slot);
  if (!open || !open->input) return {};
  return read_item(*open, ItemKind::text);
}

}  // namespace zentrill
