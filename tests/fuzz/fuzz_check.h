// Property checks for the fuzz targets. A failed check names the property and
// aborts, which libFuzzer reports as a crash, saving the input that broke it.
#ifndef ZENTRILL_TESTS_FUZZ_FUZZ_CHECK_H_
#define ZENTRILL_TESTS_FUZZ_FUZZ_CHECK_H_

#include <cstdio>
#include <cstdlib>

namespace zentrill::fuzz {

[[noreturn]] inline void check_failed(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, condition);
  std::abort();
}

}  // namespace zentrill::fuzz

#define ZENTRILL_FUZZ_CHECK(condition) \
  ((condition) ? void(0) : ::zentrill::fuzz::check_failed(#condition, __FILE__, __LINE__))

#endif  // ZENTRILL_TESTS_FUZZ_FUZZ_CHECK_H_
