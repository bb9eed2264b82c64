// Running the built program in tests: a child process with given standard
// input in a scratch directory.
#ifndef ZENTRILL_TESTS_SUPPORT_PROCESS_H_
#define ZENTRILL_TESTS_SUPPORT_PROCESS_H_

#include <filesystem>
#include <string>
#include <vector>

namespace zentrill::test_support {

struct ProcessResult {
  std::string out;   // everything written to standard output
  std::string err;   // everything written to standard error
  int exit_status;   // -1 when ended by a signal
  int signal;        // the ending signal, or 0
};

// Runs `program` with `arguments` in `directory`, feeding `input` to its
// standard input (then closing it) and collecting both outputs.
ProcessResult run_process(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& input, const std::filesystem::path& directory);

// A fresh directory under /tmp, removed with everything in it at the end.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The bytes of a file in the directory; empty when it is missing.
  std::string read(const std::string& name) const;
  void write(const std::string& name, const std::string& bytes) const;
  bool exists(const std::string& name) const;
  // Every name in the directory, sorted.
  std::vector<std::string> names() const;

 private:
  std::filesystem::path path_;
};

}  // namespace zentrill::test_support

#endif  // ZENTRILL_TESTS_SUPPORT_PROCESS_H_
