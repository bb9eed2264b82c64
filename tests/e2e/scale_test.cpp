// Long piped runs of the built program: a thousand glides of 1200 values,
// 1.2 million lines, go through all three phases; every line reaches
// freq.txt and pxx.txt, and the program's memory does not grow with the list.
#include <fcntl.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "process.h"

namespace zentrill {
namespace {

using test_support::ScratchDirectory;

// The build defines ZENTRILL_SCALE_DOWN for its sanitized builds; flags set
// by hand are told by the compiler, GCC and clang each in its own way.
#if !defined(ZENTRILL_SCALE_DOWN) && defined(__SANITIZE_ADDRESS__)
#define ZENTRILL_SCALE_DOWN
#endif
#if !defined(ZENTRILL_SCALE_DOWN) && defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZENTRILL_SCALE_DOWN
#endif
#endif

constexpr int kSteps = 1200;
#ifdef ZENTRILL_SCALE_DOWN
// Sanitized builds run many times slower; the line counts still tell.
constexpr int kLongRunGlides = 20;
#else
constexpr int kLongRunGlides = 1000;
#endif
constexpr std::uint64_t kLongRunLines = std::uint64_t{kLongRunGlides} * kSteps;

// Glides alternately from A1 up to A6 (110 to 3520 Hz) and back: every value
// is in the playable range, so no line is left out of pxx.txt.
std::string glide_keys(int glides) {
  std::string keys;
  for (int glide = 0; glide < glides; ++glide) {
    keys += glide % 2 == 0 ? "a-1a-6" : "a-6a-1";
    keys += std::to_string(kSteps) + "\r";
    keys += glide + 1 < glides ? "y" : "n";
  }
  return keys;
}

struct MeasuredRun {
  int exit_status;    // -1 when ended by a signal
  long peak_rss_kib;  // 0 when it could not be read
};

// The peak resident size of a process, from /proc; 0 when unknown.
long peak_rss_kib(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

enum class Peak { ignored, read };

// Runs the program in `directory` with `keys` as its standard input (from a
// file, so that no pipe needs pumping), its output to "out" and "err" there.
// The peak is read from /proc while the program stands traced at its exit:
// the peak that wait4 reports would include this test's own size at the fork
// (the child starts as its copy), which is about the program's. (A sanitized
// program must not be traced: LeakSanitizer gives up under ptrace.)
MeasuredRun run_measured(const ScratchDirectory& directory, const std::string& keys, Peak peak) {
  directory.write("keys", keys);
  const std::string keys_file = directory.path() / "keys";
  const std::string out_file = directory.path() / "out";
  const std::string err_file = directory.path() / "err";
  const pid_t child = ::fork();
  if (child == 0) {
    const int in = ::open(keys_file.c_str(), O_RDONLY);
    const int out = ::open(out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 ||
        ::dup2(err, 2) < 0 || ::chdir(directory.path().c_str()) != 0) {
      ::_exit(126);
    }
    // If refused, the run goes on untraced and no peak is read.
    if (peak == Peak::read) ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
    ::execl(ZENTRILL_BINARY, ZENTRILL_BINARY, static_cast<char*>(nullptr));
    ::_exit(127);
  }
  if (child < 0) return {-1, 0};
  MeasuredRun run{-1, 0};
  bool first_stop = peak == Peak::read;
  for (int status = 0; ::waitpid(child, &status, 0) == child;) {
    if (WIFEXITED(status) || WIFSIGNALED(status)) {
      run.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      break;
    }
    long passed_signal = 0;
    if (first_stop) {
      // Stopped by its exec: have it stop once more at its exit.
      ::ptrace(PTRACE_SETOPTIONS, child, nullptr, PTRACE_O_TRACEEXIT);
      first_stop = false;
    } else if (status >> 8 == (SIGTRAP | (PTRACE_EVENT_EXIT << 8))) {
      run.peak_rss_kib = peak_rss_kib(child);
    } else {
      passed_signal = WSTOPSIG(status);  // a signal meant for the program
    }
    ::ptrace(PTRACE_CONT, child, nullptr, passed_signal);
  }
  return run;
}

struct ListSummary {
  std::uint64_t lines = 0;       // ended by CR LF
  std::uint64_t bare_ends = 0;   // LF without a CR before it, or CR without LF after it
  std::uint64_t bytes = 0;
  std::vector<std::string> picked;  // the lines asked for, without their line end
};

// Reads a list file in pieces (it may be tens of MiB; holding it would make
// this process, and so the next measured child, big) and picks the lines
// numbered in `wanted` (ascending, counting from 1).
ListSummary summarise(const std::filesystem::path& file, const std::vector<std::uint64_t>& wanted) {
  ListSummary summary;
  std::ifstream in(file, std::ios::binary);
  std::vector<char> chunk(64 * 1024);
  std::string line;
  std::size_t next_wanted = 0;
  bool after_cr = false;
  while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0) {
    const auto got = static_cast<std::size_t>(in.gcount());
    summary.bytes += got;
    for (std::size_t i = 0; i < got; ++i) {
      const char c = chunk[i];
      if (after_cr && c != '\n') ++summary.bare_ends;
      if (c == '\n') {
        if (!after_cr) ++summary.bare_ends;
        ++summary.lines;
        if (next_wanted < wanted.size() && wanted[next_wanted] == summary.lines) {
          summary.picked.push_back(line);
          ++next_wanted;
        }
        line.clear();
      } else if (c != '\r') {
        line.push_back(c);
      }
      after_cr = c == '\r';
    }
  }
  return summary;
}

TEST(LongRun, EveryLineReachesBothListsAndTheModule) {
  ScratchDirectory directory;
  const MeasuredRun run = run_measured(directory, glide_keys(kLongRunGlides), Peak::ignored);
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(directory.read("err"), "zentrill: lines 257 to " + std::to_string(kLongRunLines) +
                                      " of pxx.txt were left out of pxx.ftm, which holds the first 256 lines "
                                      "without -a; -a keeps them\n");

  // The first value of each glide is its start note: the rising glides start
  // at 110 Hz, the falling ones at 3520 Hz.
  const ListSummary frequencies =
      summarise(directory.path() / "freq.txt", {1, kSteps + 1, 2 * kSteps + 1});
  EXPECT_EQ(frequencies.lines, kLongRunLines);
  EXPECT_EQ(frequencies.bare_ends, 0u);
  EXPECT_EQ(frequencies.picked, (std::vector<std::string>{"110", "3520", "110"}));

  // One seven-character line per frequency, the glides' ends included.
  const ListSummary pitches = summarise(directory.path() / "pxx.txt", {1, kSteps + 1});
  EXPECT_EQ(pitches.lines, kLongRunLines);
  EXPECT_EQ(pitches.bare_ends, 0u);
  EXPECT_EQ(pitches.bytes, kLongRunLines * 9);
  EXPECT_EQ(pitches.picked, (std::vector<std::string>{"A-1 P80", "A-6 P80"}));

  // Only the first 256 lines reach the module, whose size never changes.
  EXPECT_EQ(directory.read("pxx.ftm").size(), 2968u);
}

TEST(LongRun, PeakMemoryDoesNotGrowWithTheList) {
#ifdef ZENTRILL_SCALE_DOWN
  GTEST_SKIP() << "the sanitizers keep freed memory in quarantine: no peak to compare";
#endif
  long peaks[2] = {};  // one glide's, then the long run's
  const int glides[2] = {1, kLongRunGlides};
  for (int i = 0; i < 2; ++i) {
    ScratchDirectory directory;
    const MeasuredRun run = run_measured(directory, glide_keys(glides[i]), Peak::read);
    ASSERT_EQ(run.exit_status, 0);
    peaks[i] = run.peak_rss_kib;
  }
  if (peaks[0] == 0 || peaks[1] == 0) GTEST_SKIP() << "tracing refused: no peak to read";
  EXPECT_LE(peaks[1] - peaks[0], 1024)
      << "one glide: " << peaks[0] << " KiB, " << kLongRunLines << " lines: " << peaks[1] << " KiB";
}

}  // namespace
}  // namespace zentrill
