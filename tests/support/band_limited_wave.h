// The wave between the samples of a band-limited signal, for measuring a
// preview from its samples alone (its periods, the times of its edges).
#ifndef ZENTRILL_TESTS_SUPPORT_BAND_LIMITED_WAVE_H_
#define ZENTRILL_TESTS_SUPPORT_BAND_LIMITED_WAVE_H_

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <vector>

namespace zentrill::test_support {

// The wave at `time` (in samples, fractional), rebuilt by a sinc under a
// Blackman window 128 samples wide; samples outside the signal count as 0.
template <typename Sample>
double wave_at(const std::vector<Sample>& samples, double time) {
  constexpr std::int64_t kReach = 64;
  const auto centre = static_cast<std::int64_t>(std::floor(time));
  double sum = 0;
  for (std::int64_t k = std::max<std::int64_t>(centre - kReach + 1, 0);
       k <= centre + kReach && k < static_cast<std::int64_t>(samples.size()); ++k) {
    const double x = time - static_cast<double>(k);
    const double u = std::numbers::pi * x;
    const double sinc = x == 0 ? 1 : std::sin(u) / u;
    const double window = 0.42 + 0.5 * std::cos(u / kReach) + 0.08 * std::cos(2 * u / kReach);
    sum += static_cast<double>(samples[static_cast<std::size_t>(k)]) * sinc * window;
  }
  return sum;
}

}  // namespace zentrill::test_support

#endif  // ZENTRILL_TESTS_SUPPORT_BAND_LIMITED_WAVE_H_
