#include "preview/voice_renderer.h"

#include <array>
#include <cstddef>

#include "preview/preview_timing.h"
#include "vocabulary/tracker_song.h"

namespace zentrill {
namespace {

// The duty sequencer counts down; 7 is the one high step.
constexpr int kDutySteps = 8;
constexpr int kHighStep = 7;
constexpr int kCyclesPerTimerTick = 2;  // the timer counts every other CPU cycle
constexpr std::uint16_t kLowestSoundingRegister = 8;
static_assert(kDutySteps * kCyclesPerTimerTick == cpu_cycles_per_period_unit(Channel::pulse1));

// The mixer's levels of outputs 0 to 15, where a pulse at volume 15 is 59.
constexpr int kTriangleSteps = 32;
constexpr std::array<int, 16> kTriangleLevels = {0,  7,  14, 21, 28, 34, 40, 46,
                                                 52, 58, 64, 70, 75, 80, 85, 90};
constexpr double kMixerUnit = kPulseStepHeight / 59;
constexpr std::uint16_t kHighestHoldingRegister = 1;
constexpr std::int64_t kQuarterFrameCycles = 7458;
static_assert(kTriangleSteps == cpu_cycles_per_period_unit(Channel::triangle));

// Handed on as a step where it changes.
class Level {
 public:
  explicit Level(BandLimitedSteps& steps) : steps_(steps) {}
  void set(std::int64_t cycle, double level) {
    if (level == level_) return;
    steps_.add_step(cycle, level - level_);
    level_ = level;
  }

 private:
  BandLimitedSteps& steps_;
  double level_ = 0;
};

class Pulse {
 public:
  explicit Pulse(BandLimitedSteps& steps) : level_(steps) {}

  // `rewrites_high`: the tracker writes the high period register here.
  void play_row(std::int64_t start, std::int64_t end, std::uint16_t register_value, bool rewrites_high) {
    const std::int64_t step_cycles = kCyclesPerTimerTick * (register_value + 1);
    if (!started_) {
      next_reload_ = start + step_cycles;
      started_ = true;
    }
    if (rewrites_high) position_ = 0;
    muted_ = register_value < kLowestSoundingRegister;
    sound_at(start);
    while (next_reload_ < end) {
      const std::int64_t reload = next_reload_;
      position_ = (position_ + kDutySteps - 1) % kDutySteps;
      next_reload_ += step_cycles;
      sound_at(reload);
    }
  }

 private:
  void sound_at(std::int64_t cycle) {
    level_.set(cycle, position_ == kHighStep && !muted_ ? kPulseStepHeight : 0);
  }

  Level level_;
  bool started_ = false;
  std::int64_t next_reload_ = 0;  // the cycle at which the timer next reloads
  int position_ = 0;              // of the duty sequencer
  bool muted_ = false;
};

class Triangle {
 public:
  explicit Triangle(BandLimitedSteps& steps) : level_(steps) {}

  void play_row(std::int64_t start, std::int64_t end, std::uint16_t register_value) {
    const std::int64_t step_cycles = register_value + 1;
    if (!started_) {
      next_step_ = (start / kQuarterFrameCycles + 1) * kQuarterFrameCycles + step_cycles;
      started_ = true;
    }
    const bool holds = register_value <= kHighestHoldingRegister;
    for (; next_step_ < end; next_step_ += step_cycles) {
      if (holds) continue;
      position_ = (position_ + 1) % kTriangleSteps;
      const int output = position_ < kTriangleSteps / 2 ? position_ : kTriangleSteps - 1 - position_;
      level_.set(next_step_, kMixerUnit * kTriangleLevels[static_cast<std::size_t>(output)]);
    }
  }

 private:
  Level level_;
  bool started_ = false;
  std::int64_t next_step_ = 0;  // the cycle at which the sequencer next steps
  int position_ = 0;            // of the sequencer, 0 to 31, output 0 at 0
};

}  // namespace

void render_preview(std::span<const std::uint16_t> registers, const Voice& voice,
                    const SampleBlockSink& sink) {
  const auto rows = static_cast<std::int64_t>(registers.size());
  BandLimitedSteps steps(preview_timing::sample_count(voice, rows),
                         preview_timing::samples_per_cycle(voice.machine), sink);
  Pulse pulse(steps);
  Triangle triangle(steps);
  for (std::int64_t row = 0; row < rows; ++row) {
    const std::int64_t start = row_start_cycle(voice, row);
    const std::int64_t end = row_start_cycle(voice, row + 1);
    const std::uint16_t register_value = registers[static_cast<std::size_t>(row)];
    if (voice.channel == Channel::triangle) {
      triangle.play_row(start, end, register_value);
    } else {
      const bool rewrites_high =
          row == 0 || (register_value >> 8) != (registers[static_cast<std::size_t>(row - 1)] >> 8);
      pulse.play_row(start, end, register_value, rewrites_high);
    }
  }
  steps.finish();
}

}  // namespace zentrill
