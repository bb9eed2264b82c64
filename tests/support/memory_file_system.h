// FileSystem held in memory, for tests, fuzzing and benchmarks, with the
// faults of a real one on demand: a name that cannot be created, and a disk
// that fills up.
#ifndef ZENTRILL_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_
#define ZENTRILL_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_

#include <cstddef>
#include <limits>
#include <map>
#include <set>
#include <string>

#include "textio/file_system.h"

namespace zentrill::test_support {

class MemoryFileSystem final : public FileSystem {
 public:
  // The files by name. A writable file's bytes appear here as they are
  // written (no buffering of its own), so a test sees what reached the disk.
  std::map<std::string, std::string> files;
  // Names whose creation fails, as with a directory standing in their place.
  std::set<std::string> uncreatable;
  // Total bytes all files may hold; a write past it is cut and fails.
  std::size_t capacity = std::numeric_limits<std::size_t>::max();

  std::unique_ptr<ReadableFile> open_for_reading(const std::string& name) override;
  std::unique_ptr<WritableFile> open_for_writing(const std::string& name) override;

  std::size_t used() const;
};

}  // namespace zentrill::test_support

#endif  // ZENTRILL_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_
