// Numbered file slots: the program's open files. Slots 1 to 255 each are free
// or hold one file, open for reading or for writing. Every operation but
// opening does nothing on a free slot (or a number outside 1-255), and so
// does a write to a slot open for reading or a read from one open for
// writing; opening a slot that already holds a file leaves that file in
// place.
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
  // Closes every open slot; failures here are not reported (close each slot
  // first to hear of them).
  ~FileSlots();
  FileSlots(const FileSlots&) = delete;
  FileSlots& operator=(const FileSlots&) = delete;

  // Creates or empties the file. Throws FileError when it cannot; the slot
  // then stays free.
  void open_for_writing(int slot, std::string_view name);
  // Opens the file and measures its length. A file that is missing or cannot
  // be opened leaves the slot free, so it reads as empty; one the file
  // system cannot open again throws FileError.
  void open_for_reading(int slot, std::string_view name);
  // Flushes and closes the file and frees the slot. Throws FileError when the
  // last bytes cannot be written or the close fails; the slot is freed anyway.
  void close(int slot);

  // Writing, byte for byte (zero bytes included, nothing translated),
  // buffered: the bytes reach the file once 64 KiB are pending, and at
  // close. Throws FileError when the system refuses a write; the slot then
  // takes no more bytes.
  void print(int slot, std::string_view text, LineEnd line_end = LineEnd::without);
  // The long number form of the value, then CR LF.
  void write_number_line(int slot, double value);

  // True when no item is left: the slot is free, or no character is pushed
  // back and the data has ended (a read found no more, the next byte is 0x1A,
  // or the bytes delivered reached the length measured at open).
  bool at_end(int slot);
  // The next item of a slot open for reading (0 or the empty text when the
  // slot is free).
  // at_end and the reads throw FileError (read) when the system refuses a
  // read; the slot's data then ends.
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
