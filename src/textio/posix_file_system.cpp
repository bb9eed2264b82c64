#include "textio/posix_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zentrill {

namespace {

class PosixReadableFile final : public ReadableFile {
 public:
  PosixReadableFile(int fd, std::uint64_t length) : fd_(fd), length_(length) {}
  ~PosixReadableFile() override { ::close(fd_); }

  std::uint64_t length() const override { return length_; }

  std::size_t read(std::span<char> buffer) override {
    for (;;) {
      const ssize_t got = ::read(fd_, buffer.data(), buffer.size());
      if (got >= 0) return static_cast<std::size_t>(got);
      if (errno != EINTR) return 0;
    }
  }

 private:
  int fd_;
  std::uint64_t length_;
};

class PosixWritableFile final : public WritableFile {
 public:
  PosixWritableFile(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
  ~PosixWritableFile() override {
    if (fd_ >= 0) ::close(fd_);
  }

  void write(std::string_view bytes) override {
    while (!bytes.empty()) {
      const ssize_t put = ::write(fd_, bytes.data(), bytes.size());
      if (put < 0) {
        if (errno == EINTR) continue;
        throw FileError(name_, std::strerror(errno));
      }
      if (put == 0) throw FileError(name_, std::strerror(ENOSPC));
      bytes.remove_prefix(static_cast<std::size_t>(put));
    }
  }

  void close() override {
    const int fd = fd_;
    fd_ = -1;
    // The descriptor is gone after close() even when it fails; never retry.
    if (::close(fd) != 0 && errno != EINTR) throw FileError(name_, std::strerror(errno));
  }

 private:
  int fd_;
  std::string name_;
};

}  // namespace

std::unique_ptr<ReadableFile> PosixFileSystem::open_for_reading(const std::string& name) {
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat status {};
  // Only a regular file (or a device that reads like one) has data here; a
  // directory opens but cannot be read.
  if (::fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  const auto length = S_ISREG(status.st_mode) ? static_cast<std::uint64_t>(status.st_size) : 0;
  return std::make_unique<PosixReadableFile>(fd, length);
}

std::unique_ptr<WritableFile> PosixFileSystem::open_for_writing(const std::string& name) {
  int fd;
  do {
    fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) throw FileError(name, std::strerror(errno));
  return std::make_unique<PosixWritableFile>(fd, name);
}

}  // namespace zentrill
