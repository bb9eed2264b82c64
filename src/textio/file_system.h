// The files of the current directory, behind an interface so that tests can
// use in-memory files.
#ifndef ZENTRILL_TEXTIO_FILE_SYSTEM_H_
#define ZENTRILL_TEXTIO_FILE_SYSTEM_H_

#include <compare>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zentrill {

// What was being done to a file when it failed.
enum class FileAction {
  write,    // creating, writing or closing it
  read,     // opening it again or reading it
  replace,  // checking that it can be replaced, or moving it into place
  flush,    // flushing the folder it was moved into
};

// what() names the file and the system's reason: "pxx.ftm: No space left on
// device".
class FileError : public std::runtime_error {
 public:
  FileError(std::string_view file_name, std::string_view reason, FileAction action);
  FileAction action() const { return action_; }

 private:
  FileAction action_;
};

struct FileIdentity {
  std::uint64_t device;
  std::uint64_t inode;
  auto operator<=>(const FileIdentity&) const = default;
};

class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  virtual std::uint64_t length() const = 0;
  // 0 at the end of the data. Throws FileError (read) when the system
  // refuses the read, which is never taken for the end.
  virtual std::size_t read(std::span<char> buffer) = 0;
};

class WritableFile {
 public:
  virtual ~WritableFile() = default;
  // Writes all bytes or throws FileError; bytes accepted before a failure
  // stay in the file.
  virtual void write(std::string_view bytes) = 0;
  // Throws FileError. The destructor closes an unclosed file silently.
  virtual void close() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // nullptr when the file is missing or cannot be read (a directory is one).
  virtual std::unique_ptr<ReadableFile> open_for_reading(const std::string& name) = 0;
  // Creates or empties the file; throws FileError.
  virtual std::unique_ptr<WritableFile> open_for_writing(const std::string& name) = 0;
};

// A file that replaces the file of its name as a whole. It lives beside that
// file (a symbolic link's target), unnamed or under a temporary name, which
// keeps its content until move_into_place; destroying it before the move
// removes it. After close() it stays open for reading back and the move.
class PendingFile : public WritableFile {
 public:
  // What was written, whatever the file's mode. Throws FileError (read).
  virtual std::unique_ptr<ReadableFile> open_for_reading() = 0;
  // Gives it the mode, and as far as allowed the owner and group, of the file
  // it replaces (else 0666 less the umask), flushes it to the disk and
  // closes it. Throws FileError: write, or replace when the file to replace
  // is no longer a regular file. Every reader must be gone by then.
  virtual void finish() = 0;
  // A symbolic link stays and names the new file. Throws FileError (replace).
  virtual void move_into_place() = 0;
  virtual std::string folder() const = 0;
};

// Open while pending files move into it; destroying it releases the lock.
class Folder {
 public:
  virtual ~Folder() = default;
  virtual FileIdentity identity() const = 0;
  // The advisory lock other runs take to move files in, without waiting:
  // false while another holds it; true where there are no locks.
  virtual bool try_lock() = 0;
  // Flushes the renames into it to the disk: 0 or the system's errno.
  virtual int flush() = 0;
};

// The program writes its files only by replacing them as a whole.
class ReplacingFileSystem {
 public:
  virtual ~ReplacingFileSystem() = default;
  // Throws FileError (replace) when `name` cannot be replaced: its folder or
  // it cannot be written, a sticky folder forbids the rename, or it is not a
  // regular file or a link to one. Touches nothing. Gives the identity of the
  // file it would replace (links followed), if any.
  virtual std::optional<FileIdentity> check_replaceable(const std::string& name) = 0;
  // Throws FileError: replace as check_replaceable, or write.
  virtual std::unique_ptr<PendingFile> create_pending(const std::string& name) = 0;
  // nullptr when it cannot be opened.
  virtual std::unique_ptr<Folder> open_folder(const std::string& path) = 0;
};

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_FILE_SYSTEM_H_
