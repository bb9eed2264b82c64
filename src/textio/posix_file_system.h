// The real file system, relative to the current directory, in which the
// program replaces its files as a whole.
#ifndef ZENTRILL_TEXTIO_POSIX_FILE_SYSTEM_H_
#define ZENTRILL_TEXTIO_POSIX_FILE_SYSTEM_H_

#include "textio/file_system.h"

namespace zentrill {

// A pending file is named "." + the name it replaces + "." + six random
// characters, created with O_EXCL, so it never takes the place of another
// file.
class PosixFileSystem final : public ReplacingFileSystem {
 public:
  std::optional<FileIdentity> check_replaceable(const std::string& name) override;
  std::unique_ptr<PendingFile> create_pending(const std::string& name) override;
  // Locked by flock on the folder's own descriptor, so no lock file is left.
  std::unique_ptr<Folder> open_folder(const std::string& path) override;
};

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_POSIX_FILE_SYSTEM_H_
