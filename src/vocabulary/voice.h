// The channel, machine and speed a run writes for, handed to every phase.
#ifndef ZENTRILL_VOCABULARY_VOICE_H_
#define ZENTRILL_VOCABULARY_VOICE_H_

#include <cstdint>

namespace zentrill {

// Numbered as in a module (3 is the noise, 4 the DPCM).
enum class Channel : std::uint8_t { pulse1 = 0, pulse2 = 1, triangle = 2 };

enum class Machine : std::uint8_t { ntsc, pal };

// Frames per row, as far as the tracker takes it.
inline constexpr int kLowestSpeed = 1;
inline constexpr int kHighestSpeed = 20;

// Voice{} is the run without options.
struct Voice {
  Channel channel = Channel::pulse1;
  Machine machine = Machine::ntsc;
  int speed = 6;
};

inline constexpr Voice kDefaultVoice{};

// A pulse's 8 duty steps last two cycles per unit, the triangle's 32 one.
constexpr std::uint32_t cpu_cycles_per_period_unit(Channel channel) {
  return channel == Channel::triangle ? 32 : 16;
}

// 2 on the triangle, an octave below a pulse on the same register; a double
// divides by it exactly.
constexpr int frequency_divisor(Channel channel) {
  return static_cast<int>(cpu_cycles_per_period_unit(channel) /
                          cpu_cycles_per_period_unit(Channel::pulse1));
}

struct MachineFacts {
  std::uint32_t module_code;        // the module's machine field
  std::uint32_t cpu_clock;          // in hertz
  std::uint32_t frames_per_second;  // the tracker's frames (ticks)
  std::uint32_t tempo;              // the tracker's default for the machine
};

constexpr MachineFacts machine_facts(Machine machine) {
  return machine == Machine::pal ? MachineFacts{1, 1662607, 50, 125}
                                 : MachineFacts{0, 1789773, 60, 150};
}

// The fraction is dropped.
constexpr std::uint32_t cpu_cycles_per_frame(Machine machine) {
  return machine_facts(machine).cpu_clock / machine_facts(machine).frames_per_second;
}

static_assert(cpu_cycles_per_frame(Machine::ntsc) == 29829 && cpu_cycles_per_frame(Machine::pal) == 33252);
static_assert(frequency_divisor(Channel::pulse2) == 1 && frequency_divisor(Channel::triangle) == 2);

}  // namespace zentrill

#endif  // ZENTRILL_VOCABULARY_VOICE_H_
