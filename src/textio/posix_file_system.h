// FileSystem over POSIX file descriptors, relative to the current directory.
#ifndef ZENTRILL_TEXTIO_POSIX_FILE_SYSTEM_H_
#define ZENTRILL_TEXTIO_POSIX_FILE_SYSTEM_H_

#include "textio/file_system.h"

namespace zentrill {

class PosixFileSystem final : public FileSystem {
 public:
  std::unique_ptr<ReadableFile> open_for_reading(const std::string& name) override;
  std::unique_ptr<WritableFile> open_for_writing(const std::string& name) override;
};

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_POSIX_FILE_SYSTEM_H_
