// The real file system, relative to the current directory, in which the
// program replaces its files as a whole.
#ifndef ZENTRILL_TEXTIO_POSIX_FILE_SYSTEM_H_
#define ZENTRILL_TEXTIO_POSIX_FILE_SYSTEM_H_

#include "textio/file_system.h"

namespace zentrill {

// A pending file is an unnamed file (O_TMPFILE) in the folder of the file it
// replaces, so that a run killed (kill -9, a crash) leaves nothing behind; at
// the move it is linked, through /proc/self/fd, to a hidden name, "." + the
// name it replaces + "." + six random characters, and renamed over that file
// at once. Where the file system has no unnamed files, or there is no /proc,
// it gets that name when it is created, with O_EXCL, and keeps it until the
// move: a run killed then leaves it.
class PosixFileSystem final : public ReplacingFileSystem {
 public:
  std::optional<FileIdentity> check_replaceable(const std::string& name) override;
  std::unique_ptr<PendingFile> create_pending(const std::string& name) override;
  // Locked by flock on the folder's own descriptor, so no lock file is left.
  std::unique_ptr<Folder> open_folder(const std::string& path) override;
};

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_POSIX_FILE_SYSTEM_H_
