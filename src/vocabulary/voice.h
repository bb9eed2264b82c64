// The voice a run writes for: the 2A03 channel that plays the rows, the
// machine the module is for and the song's speed. The driver takes it from
// the command line and hands it to every phase.
#ifndef ZENTRILL_VOCABULARY_VOICE_H_
#define ZENTRILL_VOCABULARY_VOICE_H_

#include <cstdint>

namespace zentrill {

// Numbered as the tracker numbers the 2A03's channels in a module (3 is the
// noise, 4 the DPCM).
enum class Channel : std::uint8_t { pulse1 = 0, pulse2 = 1, triangle = 2 };

enum class Machine : std::uint8_t { ntsc, pal };

// The song's speed: the tracker's frames per row, 1 to 20 as the tracker
// takes it.
inline constexpr int kLowestSpeed = 1;
inline constexpr int kHighestSpeed = 20;

// Voice{} is the run without options: pulse 1 of an NTSC machine at speed 6.
struct Voice {
  Channel channel = Channel::pulse1;
  Machine machine = Machine::ntsc;
  int speed = 6;
};

inline constexpr Voice kDefaultVoice{};

// A channel's period unit in CPU cycles: a pulse's 8 duty steps last two
// cycles per unit, the triangle's 32 steps one cycle per unit.
constexpr std::uint32_t cpu_cycles_per_period_unit(Channel channel) {
  return channel == Channel::triangle ? 32 : 16;
}

// How many times lower the channel sounds a note, and a period register
// value, than a pulse does: 1, or 2 on the triangle, an octave below. Note
// names mean the same register on every channel, so the frequency a note
// sounds on the channel is its pulse frequency divided by this; for a double
// that division (by two) is exact.
constexpr int frequency_divisor(Channel channel) {
  return static_cast<int>(cpu_cycles_per_period_unit(channel) /
                          cpu_cycles_per_period_unit(Channel::pulse1));
}

// What the tracker takes from the machine of a module.
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

// A tracker frame in CPU cycles: the clock over the frame rate, the fraction
// dropped.
constexpr std::uint32_t cpu_cycles_per_frame(Machine machine) {
  return machine_facts(machine).cpu_clock / machine_facts(machine).frames_per_second;
}

static_assert(cpu_cycles_per_frame(Machine::ntsc) == 29829 && cpu_cycles_per_frame(Machine::pal) == 33252);
static_assert(frequency_divisor(Channel::pulse2) == 1 && frequency_divisor(Channel::triangle) == 2);

}  // namespace zentrill

#endif  // ZENTRILL_VOCABULARY_VOICE_H_
