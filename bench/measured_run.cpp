// Runs one program with its standard input from a file and prints what the
// kernel accounted to that one child:
//   zentrill_measured_run INPUT DIRECTORY PROGRAM [ARGUMENT...]
// prints "WALL_SECONDS CPU_SECONDS PEAK_RSS_KIB EXIT_STATUS". The output goes
// to /dev/null; the program runs in DIRECTORY.
//
// A launcher of its own, and a small one, because the peak RSS that a parent
// learns for a child includes the parent's size at the fork (the child starts
// as a copy, and exec keeps the larger peak): measured from Python, every run
// would seem as big as Python.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

namespace {

double seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; }

double now() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fputs("usage: zentrill_measured_run INPUT DIRECTORY PROGRAM [ARGUMENT...]\n", stderr);
    return 2;
  }
  const int input = open(argv[1], O_RDONLY | O_CLOEXEC);
  const int discard = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (input < 0 || discard < 0) {
    std::perror(argv[1]);
    return 2;
  }
  const double start = now();
  const pid_t child = fork();
  if (child < 0) {
    std::perror("fork");
    return 2;
  }
  if (child == 0) {
    dup2(input, 0);
    dup2(discard, 1);
    dup2(discard, 2);
    if (chdir(argv[2]) != 0) _exit(126);
    execv(argv[3], argv + 3);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) {
    std::perror("wait4");
    return 2;
  }
  const double wall = now() - start;
  const int exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  std::printf("%.6f %.6f %ld %d\n", wall, seconds(usage.ru_utime) + seconds(usage.ru_stime),
              usage.ru_maxrss, exit_status);
  return 0;
}
