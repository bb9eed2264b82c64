// The files of the current directory, behind an interface so that every phase
// can run on in-memory files in tests.
#ifndef ZENTRILL_TEXTIO_FILE_SYSTEM_H_
#define ZENTRILL_TEXTIO_FILE_SYSTEM_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zentrill {

// A file that could not be created, written or closed. what() names the file
// and the system's reason, e.g. "pxx.ftm: No space left on device".
class FileError : public std::runtime_error {
 public:
  FileError(std::string_view file_name, std::string_view reason);
};

class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  // The length in bytes when the file was opened.
  virtual std::uint64_t length() const = 0;
  // Fills up to buffer.size() bytes; 0 at the end of the data or on a read
  // error (a file that cannot be read reads as ended).
  virtual std::size_t read(std::span<char> buffer) = 0;
};

class WritableFile {
 public:
  virtual ~WritableFile() = default;
  // Writes all bytes, unchanged, or throws FileError (a refused or partial
  // write). Bytes accepted before a failure stay in the file.
  virtual void write(std::string_view bytes) = 0;
  // Closes the file; throws FileError when the system reports a failure.
  // The destructor closes a file that was not closed, reporting nothing.
  virtual void close() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // nullptr when the file is missing or cannot be read (a directory is one).
  virtual std::unique_ptr<ReadableFile> open_for_reading(const std::string& name) = 0;
  // Creates the file or empties it; throws FileError when neither is possible.
  virtual std::unique_ptr<WritableFile> open_for_writing(const std::string& name) = 0;
};

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_FILE_SYSTEM_H_
