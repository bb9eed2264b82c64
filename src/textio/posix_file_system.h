// The real file system, relative to the current directory.
#ifndef ZENTRILL_TEXTIO_POSIX_FILE_SYSTEM_H_
#define ZENTRILL_TEXTIO_POSIX_FILE_SYSTEM_H_

#include "textio/file_system.h"

namespace zentrill {

// A pending file is unnamed (O_TMPFILE), so a killed run leaves nothing
// behind; at the move it is linked to a hidden ".name.XXXXXX" and renamed
// over the file at once. Without O_TMPFILE or /proc it has the hidden name
// from the start, and a killed run leaves it.
class PosixFileSystem final : public ReplacingFileSystem {
 public:
  std::optional<FileIdentity> check_replaceable(const std::string& name) override;
  std::unique_ptr<PendingFile> create_pending(const std::string& name) override;
  // Locked by flock on the folder's own descriptor, so no lock file is left.
  std::unique_ptr<Folder> open_folder(const std::string& path) override;
};

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_POSIX_FILE_SYSTEM_H_
