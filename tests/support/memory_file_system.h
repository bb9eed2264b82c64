// FileSystem held in memory, for tests, fuzzing and benchmarks, with the
// faults of a real one on demand: a name that cannot be created, a disk that
// fills up, and a file that cannot be read.
#ifndef ZENTRILL_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_
#define ZENTRILL_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_

#include <cstddef>
#include <limits>
#include <map>
#include <set>
#include <string>

#include "textio/file_system.h"

namespace zentrill::test_support {

class MemoryFileSystem final : public ReplacingFileSystem {
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
  // Total bytes all files may hold; a write past it is cut and fails.
  std::size_t capacity = std::numeric_limits<std::size_t>::max();

  std::unique_ptr<ReadableFile> open_for_reading(const std::string& name) override;
  std::unique_ptr<WritableFile> open_for_writing(const std::string& name) override;
  void check_replaceable(const std::string& name) override;
  std::unique_ptr<PendingFile> create_pending(const std::string& name) override;

  std::size_t used() const;

 private:
  int pending_files_made_ = 0;
};

}  // namespace zentrill::test_support

#endif  // ZENTRILL_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_
