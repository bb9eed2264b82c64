// The files of the current directory, behind an interface so that every phase
// can run on in-memory files in tests.
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

// A file that could not be created, written, closed, read or replaced.
// what() names the file and the system's reason, e.g. "pxx.ftm: No space
// left on device"; action() says what was being done.
class FileError : public std::runtime_error {
 public:
  FileError(std::string_view file_name, std::string_view reason, FileAction action);
  FileAction action() const { return action_; }

 private:
  FileAction action_;
};

// A file's device and inode, which every name that leads to it shares.
struct FileIdentity {
  std::uint64_t device;
  std::uint64_t inode;
  auto operator<=>(const FileIdentity&) const = default;
};

class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  // The length in bytes when the file was opened.
  virtual std::uint64_t length() const = 0;
  // Fills up to buffer.size() bytes; 0 at the end of the data. Throws
  // FileError (read) when the system refuses the read: a failed read is
  // never taken for the end of the file.
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

// A file being written to replace the file of its name as a whole: it lives
// beside that file (beside a symbolic link's target, in the target's folder),
// unnamed or under a temporary name, until move_into_place, and the file it
// replaces keeps its content until then. Destroying it before the move
// removes it. close() ends the writing; the file stays open for reading back
// and for the move.
class PendingFile : public WritableFile {
 public:
  // What was written, from its first byte. Reading back needs no permission
  // from the file's mode: the program reads its own files whatever the umask.
  // Throws FileError (read) when the file cannot be opened again.
  virtual std::unique_ptr<ReadableFile> open_for_reading() = 0;
  // Gives the file the permission bits, and the owner and group as far as
  // the user may give them, of the file it replaces, or the permission bits
  // of a new file (0666 less the umask) when there is none; then flushes it
  // to the disk and closes it (an unnamed one once it is moved). Throws
  // FileError: a late write failure, a failed flush (write), or a file to
  // replace that is no longer a regular file (replace). Every reader must be
  // gone by then.
  virtual void finish() = 0;
  // Renames the finished file over the file it replaces, or to its name when
  // there is none; a symbolic link stays and names the new file. Throws
  // FileError (replace).
  virtual void move_into_place() = 0;
  // The folder it is moved into.
  virtual std::string folder() const = 0;
};

// A folder that receives pending files, open while they are moved into it.
// Destroying it lets go of its lock.
class Folder {
 public:
  virtual ~Folder() = default;
  virtual FileIdentity identity() const = 0;
  // Takes the folder's advisory lock, which other runs take to move their
  // files into it, without waiting: false while another holds it. True, with
  // no lock, where the file system has no locks.
  virtual bool try_lock() = 0;
  // Flushes the folder's entries to the disk, the renames into it among
  // them. Gives 0, or the system's error number.
  virtual int flush() = 0;
};

// A file system in which a file can be replaced as a whole: the program's
// own, which writes its files only so.
class ReplacingFileSystem {
 public:
  virtual ~ReplacingFileSystem() = default;
  // Throws FileError (replace) with the reason when `name` cannot be
  // replaced: its folder (a symbolic link's target's folder) cannot be
  // written, it exists and cannot be written or, in a folder with the sticky
  // bit, may not be renamed over, or it is something other than a regular
  // file or a symbolic link to one (a directory, a device, a FIFO, a socket,
  // a link to nothing). Touches nothing. Gives the identity of the file it
  // would replace, links followed, or nothing when there is none yet.
  virtual std::optional<FileIdentity> check_replaceable(const std::string& name) = 0;
  // A new, empty pending file for `name`. Throws FileError: (replace) as
  // check_replaceable, or (write) when it cannot be created.
  virtual std::unique_ptr<PendingFile> create_pending(const std::string& name) = 0;
  // The folder at `path`, or nullptr when it cannot be opened (read).
  virtual std::unique_ptr<Folder> open_folder(const std::string& path) = 0;
};

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_FILE_SYSTEM_H_
