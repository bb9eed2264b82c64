// Slots 1 to 255, each free or holding one file open for reading or writing.
// An operation on a free or wrong-kind slot, or a number outside 1-255, does
// nothing; opening a slot that holds a file leaves that file in place.
#ifndef ZENTRILL_TEXTIO_FILE_SLOTS_H_
#define ZENTRILL_TEXTIO_FILE_SLOTS_H_

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "textio/file_system.h"
#include "textio/line_end.h"

namespace zentrill {

class FileSlots {
 public:
  explicit FileSlots(FileSystem& file_system);
  // Reports no failures: close each slot first to hear of them.
  ~FileSlots();
  FileSlots(const FileSlots&) = delete;
  FileSlots& operator=(const FileSlots&) = delete;

  // Throws FileError; the slot then stays free.
  void open_for_writing(int slot, std::string_view name);
  // A missing or unopenable file leaves the slot free, so it reads as empty.
  void open_for_reading(int slot, std::string_view name);
  // Throws FileError when the last bytes or the close fail; the slot is freed
  // anyway.
  void close(int slot);

  // Byte for byte, buffered up to 64 KiB. Throws FileError when a write is
  // refused; the slot then takes no more bytes.
  void print(int slot, std::string_view text, LineEnd line_end = LineEnd::without);
  void write_number_line(int slot, double value);

  // The data ends at a read that finds no more, a 0x1A byte, or the length
  // measured at open.
  bool at_end(int slot);
  // 0 or "" on a free slot. at_end and the reads throw FileError (read) when
  // a read is refused; the slot's data then ends.
  double read_numeric_item(int slot);
  std::string read_text_item(int slot);

 private:
  struct Slot;
  Slot* find(int slot);
  Slot* find_writable(int slot);  // nullptr unless open for writing and not failed

  FileSystem& file_system_;
  std::array<std::unique_ptr<Slot>, 256> slots_;
};

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_FILE_SLOTS_H_
