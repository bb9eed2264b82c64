#include "textio/whole_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "textio/file_system.h"

namespace zentrill {

std::string input_name(const std::string& path) { return path == "-" ? "standard input" : path; }

std::string read_whole_file(const std::string& path) {
  const std::string name = input_name(path);
  const int fd = path == "-" ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw FileError(name, std::strerror(errno), FileAction::read);
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      const int error = got < 0 ? errno : 0;
      if (fd != STDIN_FILENO) ::close(fd);
      if (error != 0) throw FileError(name, std::strerror(error), FileAction::read);
      return bytes;
    }
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
}

}  // namespace zentrill
