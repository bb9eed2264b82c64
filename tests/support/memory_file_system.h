// FileSystem held in memory, for tests, fuzzing and benchmarks, with the
// faults of a real one on demand: a name that cannot be created, a disk that
// fills up, and a file that cannot be read. It counts how its files are
// handled, so that a test can tell whether the code under test closes what it
// opens. It must outlive every file it hands out.
#ifndef ZENTRILL_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_
#define ZENTRILL_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_

#include <cstddef>
#include <limits>
#include <map>
#include <set>
#include <string>

#include "textio/file_system.h"

namespace zentrill::test_support {

// Both kinds of file system: files opened in place, as the slot layer opens
// them, and files replaced as a whole, as the program writes them.
class MemoryFileSystem final : public FileSystem, public ReplacingFileSystem {
 public:
  // The files by name. A writable file's bytes appear here as they are
  // written (no buffering of its own), so a test sees what reached the disk.
  // A pending file is here too, as "." + its name + "." + a number, until it
  // is moved over its name or removed.
  std::map<std::string, std::string> files;
  // Names that cannot be created or replaced, as with a directory standing
  // in their place.
  std::set<std::string> uncreatable;
  // Names whose reads fail, pending files included.
  std::set<std::string> unreadable;
  // Names whose writes throw std::bad_alloc, as when memory runs out.
  std::set<std::string> out_of_memory;
  // Names whose move into place fails, as a rename the folder forbids.
  std::set<std::string> unmovable;
  // Total bytes all files may hold; a write past it is cut and fails.
  std::size_t capacity = std::numeric_limits<std::size_t>::max();

  std::unique_ptr<ReadableFile> open_for_reading(const std::string& name) override;
  std::unique_ptr<WritableFile> open_for_writing(const std::string& name) override;
  // A file of its own for each name: there are no links.
  std::optional<FileIdentity> check_replaceable(const std::string& name) override;
  std::unique_ptr<PendingFile> create_pending(const std::string& name) override;
  // The one folder, which no other run locks.
  std::unique_ptr<Folder> open_folder(const std::string& path) override;

  std::size_t used() const;

  // Files handed out and not yet let go, for reading or for writing.
  int open_files() const;
  // Opens of a name while a file of that name was still open: a file read
  // before its writer closed it, or written twice at once.
  int opens_while_open = 0;
  // Files open for writing that were let go without close(), so that a
  // failure at their close would have gone unheard.
  int writers_not_closed = 0;

 private:
  friend class MemoryReadableFile;
  friend class MemoryWritableFile;
  void opened(const std::string& name);
  void let_go(const std::string& name);

  std::map<std::string, int> open_count_;
  int pending_files_made_ = 0;
};

}  // namespace zentrill::test_support

#endif  // ZENTRILL_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_
