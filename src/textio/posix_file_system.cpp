#include "textio/posix_file_system.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>

namespace zentrill {

namespace {

// Throws FileError naming the file.
void write_all(int fd, std::string_view bytes, const std::string& name) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(fd, bytes.data(), bytes.size());
    if (put < 0) {
      if (errno == EINTR) continue;
      throw FileError(name, std::strerror(errno), FileAction::write);
    }
    if (put == 0) throw FileError(name, std::strerror(ENOSPC), FileAction::write);
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
}

// Reads through the writer's descriptor at offsets of its own: no permission
// from the file's mode is needed, and the writer's offset stays.
class PendingReader final : public ReadableFile {
 public:
  PendingReader(int fd, std::string name, std::uint64_t length)
      : fd_(fd), name_(std::move(name)), length_(length) {}

  std::uint64_t length() const override { return length_; }

  std::size_t read(std::span<char> buffer) override {
    for (;;) {
      const ssize_t got = ::pread(fd_, buffer.data(), buffer.size(), static_cast<off_t>(offset_));
      if (got >= 0) {
        offset_ += static_cast<std::uint64_t>(got);
        return static_cast<std::size_t>(got);
      }
      if (errno != EINTR) throw FileError(name_, std::strerror(errno), FileAction::read);
    }
  }

 private:
  int fd_;  // the pending file's, which outlives this reader
  std::string name_;
  std::uint64_t length_;
  std::uint64_t offset_ = 0;
};

struct Destination {
  std::string path;    // the name itself, or a symbolic link's target resolved
  std::string folder;  // the folder that holds `path`, where its pending file goes
  bool exists;
  uid_t owner = 0;     // of the file at `path`, when it exists
  FileIdentity identity{};
};

std::string folder_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Throws FileError (replace) for what a regular file cannot replace.
Destination destination_of(const std::string& name) {
  struct stat status {};
  if (::lstat(name.c_str(), &status) != 0) {
    if (errno != ENOENT) throw FileError(name, std::strerror(errno), FileAction::replace);
    return {name, folder_of(name), false};
  }
  std::string path = name;
  if (S_ISLNK(status.st_mode)) {
    // The target is replaced, in its own folder: a rename over the link would
    // replace the link.
    char* const resolved = ::realpath(name.c_str(), nullptr);
    if (resolved == nullptr) {
      throw FileError(name, errno == ENOENT ? "a symbolic link to nothing" : std::strerror(errno),
                      FileAction::replace);
    }
    path = resolved;
    std::free(resolved);
    if (::stat(path.c_str(), &status) != 0) {
      throw FileError(name, std::strerror(errno), FileAction::replace);
    }
  }
  if (S_ISDIR(status.st_mode)) throw FileError(name, std::strerror(EISDIR), FileAction::replace);
  if (!S_ISREG(status.st_mode)) throw FileError(name, "not a regular file", FileAction::replace);
  return {path, folder_of(path), true, status.st_uid, {status.st_dev, status.st_ino}};
}

// The owner and group of the replaced file, or the group alone where only
// root may give the owner, or neither. False, with errno, on other failures.
bool keep_owner_and_group(int fd, const struct stat& replaced) {
  if (::fchown(fd, replaced.st_uid, replaced.st_gid) == 0) return true;
  if (errno != EPERM) return false;
  return ::fchown(fd, static_cast<uid_t>(-1), replaced.st_gid) == 0 || errno == EPERM;
}

// ".name.XXXXXX" beside `path`.
std::string hidden_name_template(const std::string& path) {
  const std::size_t base = path.rfind('/') + 1;  // 0 without a slash
  return path.substr(0, base) + "." + path.substr(base) + ".XXXXXX";
}

void fill_at_random(std::string& name_template) {
  static constexpr std::string_view kCharacters =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device random;
  for (std::size_t i = name_template.size() - 6; i < name_template.size(); ++i) {
    name_template[i] = kCharacters[random() % kCharacters.size()];
  }
}

std::string descriptor_path(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

class PosixPendingFile final : public PendingFile {
 public:
  // An unnamed file (O_TMPFILE) has no temporary path until it is moved.
  PosixPendingFile(int fd, std::string name, std::string temporary_path, Destination destination)
      : fd_(fd), name_(std::move(name)), unnamed_(temporary_path.empty()),
        temporary_path_(std::move(temporary_path)), path_(std::move(destination.path)),
        folder_(std::move(destination.folder)) {}
  ~PosixPendingFile() override {
    // The close's result is not needed: a failed write shows at the flush.
    if (fd_ >= 0) ::close(fd_);
    if (!moved_ && !temporary_path_.empty()) ::unlink(temporary_path_.c_str());
  }

  void write(std::string_view bytes) override {
    write_all(fd_, bytes, name_);
    written_ += bytes.size();
    if (written_ - writeback_started_ >= kWritebackChunk) write_back();
  }
  void close() override {}

  std::unique_ptr<ReadableFile> open_for_reading() override {
    struct stat status {};
    if (::fstat(fd_, &status) != 0) throw FileError(name_, std::strerror(errno), FileAction::read);
    return std::make_unique<PendingReader>(fd_, name_, static_cast<std::uint64_t>(status.st_size));
  }

  void finish() override {
    struct stat replaced {};
    mode_t mode;
    if (::stat(path_.c_str(), &replaced) == 0) {
      if (!S_ISREG(replaced.st_mode)) throw FileError(name_, "not a regular file", FileAction::replace);
      mode = replaced.st_mode & 07777;
      // Run by root (sudo), the user keeps the file. Before fchmod: a change
      // of owner clears the set-user-ID bit.
      if (!keep_owner_and_group(fd_, replaced)) {
        throw FileError(name_, std::strerror(errno), FileAction::write);
      }
    } else if (errno == ENOENT) {
      // umask() can only be read by setting it.
      const mode_t mask = ::umask(0);
      ::umask(mask);
      mode = 0666 & ~mask;
    } else {
      throw FileError(name_, std::strerror(errno), FileAction::replace);
    }
    if (::fchmod(fd_, mode) != 0) throw FileError(name_, std::strerror(errno), FileAction::write);
    // On the disk before the rename, so a crash never leaves a short file in
    // place of the old one. EINVAL: the file system has no disk to flush to.
    int synced;
    do {
      synced = ::fsync(fd_);
    } while (synced != 0 && errno == EINTR);
    if (synced != 0 && errno != EINVAL) throw FileError(name_, std::strerror(errno), FileAction::write);
    if (unnamed_) return;
    const int fd = fd_;
    fd_ = -1;
    // Some file systems report a failed write only here.
    if (::close(fd) != 0 && errno != EINTR) throw FileError(name_, std::strerror(errno), FileAction::write);
  }

  void move_into_place() override {
    if (unnamed_) link_under_hidden_name();
    if (::rename(temporary_path_.c_str(), path_.c_str()) != 0) {
      throw FileError(name_, std::strerror(errno), FileAction::replace);
    }
    moved_ = true;
  }

  std::string folder() const override { return folder_; }

 private:
  // A large file goes to the disk chunk by chunk as it is written, so the
  // flush in finish() keeps a signal waiting for two chunks at most.
  static constexpr std::uint64_t kWritebackChunk = 4 << 20;
  // linkat cannot link over the replaced file, and removing it first would
  // leave a moment with no file: link under a hidden name, then rename.
  void link_under_hidden_name() {
    std::string hidden = hidden_name_template(path_);
    for (int tries = 1;; ++tries) {
      fill_at_random(hidden);
      const std::string descriptor = descriptor_path(fd_);
      if (::linkat(AT_FDCWD, descriptor.c_str(), AT_FDCWD, hidden.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        temporary_path_ = hidden;
        return;
      }
      if (errno != EEXIST || tries == 100) throw FileError(name_, std::strerror(errno), FileAction::replace);
    }
  }

  void write_back() {
    ::sync_file_range(fd_, static_cast<off_t>(writeback_started_),
                      static_cast<off_t>(written_ - writeback_started_), SYNC_FILE_RANGE_WRITE);
    // A length of 0 would mean the whole file.
    if (writeback_started_ > written_back_) {
      ::sync_file_range(fd_, static_cast<off_t>(written_back_),
                        static_cast<off_t>(writeback_started_ - written_back_),
                        SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
    }
    written_back_ = writeback_started_;
    writeback_started_ = written_;
  }

  int fd_;
  std::string name_;            // as the user names it, for messages
  bool unnamed_;
  std::string temporary_path_;  // beside path_
  std::string path_;            // the file replaced
  std::string folder_;          // path_'s
  bool moved_ = false;
  std::uint64_t written_ = 0;            // bytes
  std::uint64_t writeback_started_ = 0;  // for the bytes before this
  std::uint64_t written_back_ = 0;       // the bytes before this are on the disk
};

}  // namespace

std::optional<FileIdentity> PosixFileSystem::check_replaceable(const std::string& name) {
  const Destination destination = destination_of(name);
  // AT_EACCESS: the effective user creates and renames the pending file.
  if (::faccessat(AT_FDCWD, destination.folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0 ||
      (destination.exists && ::faccessat(AT_FDCWD, destination.path.c_str(), W_OK, AT_EACCESS) != 0)) {
    throw FileError(name, std::strerror(errno), FileAction::replace);
  }
  // In a sticky folder (/tmp) only the file's owner, the folder's owner or
  // root may rename over a file.
  struct stat folder {};
  const uid_t user = ::geteuid();
  if (destination.exists && user != 0 && destination.owner != user &&
      ::stat(destination.folder.c_str(), &folder) == 0 && (folder.st_mode & S_ISVTX) != 0 &&
      folder.st_uid != user) {
    throw FileError(name, std::strerror(EPERM), FileAction::replace);
  }
  if (!destination.exists) return std::nullopt;
  return destination.identity;
}

std::unique_ptr<PendingFile> PosixFileSystem::create_pending(const std::string& name) {
  const Destination destination = destination_of(name);
  // 0600 until finish(): nobody else reads it meanwhile. No O_EXCL, so that
  // it can be linked.
  int fd = ::open(destination.folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0 && ::access(descriptor_path(fd).c_str(), F_OK) != 0) {
    ::close(fd);  // no /proc to link it through
    fd = -1;
    errno = EOPNOTSUPP;
  }
  if (fd >= 0) return std::make_unique<PosixPendingFile>(fd, name, "", destination);
  // EISDIR: a kernel without unnamed files.
  if (errno != EOPNOTSUPP && errno != EISDIR) throw FileError(name, std::strerror(errno), FileAction::write);
  std::string temporary_path = hidden_name_template(destination.path);
  fd = ::mkostemp(temporary_path.data(), O_CLOEXEC);
  if (fd < 0) throw FileError(name, std::strerror(errno), FileAction::write);
  return std::make_unique<PosixPendingFile>(fd, name, std::move(temporary_path), destination);
}

namespace {

class PosixFolder final : public Folder {
 public:
  PosixFolder(int fd, FileIdentity identity) : fd_(fd), identity_(identity) {}
  ~PosixFolder() override { ::close(fd_); }
  PosixFolder(const PosixFolder&) = delete;
  PosixFolder& operator=(const PosixFolder&) = delete;

  FileIdentity identity() const override { return identity_; }

  bool try_lock() override {
    int locked;
    do {
      locked = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    return locked == 0 || errno != EWOULDBLOCK;
  }

  int flush() override {
    int synced;
    do {
      synced = ::fsync(fd_);
    } while (synced != 0 && errno == EINTR);
    // EINVAL: the file system keeps no disk to flush to.
    return synced == 0 || errno == EINVAL ? 0 : errno;
  }

 private:
  int fd_;
  FileIdentity identity_;
};

}  // namespace

std::unique_ptr<Folder> PosixFileSystem::open_folder(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<PosixFolder>(fd, FileIdentity{status.st_dev, status.st_ino});
}

}  // namespace zentrill
