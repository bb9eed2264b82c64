// One key press: a character, or a key without one known by its code.
#ifndef ZENTRILL_TEXTIO_KEY_H_
#define ZENTRILL_TEXTIO_KEY_H_

#include <cstdint>

namespace zentrill {

// The PC keyboard's scan codes, as DOS programs got them after a zero byte.
enum class KeyCode : std::uint8_t {
  shift_tab = 0x0F,
  f1 = 0x3B, f2, f3, f4, f5, f6, f7, f8, f9, f10,
  home = 0x47,
  up = 0x48,
  page_up = 0x49,
  left = 0x4B,
  center = 0x4C,  // keypad 5 without Num Lock
  right = 0x4D,
  end = 0x4F,
  down = 0x50,
  page_down = 0x51,
  insert = 0x52,
  del = 0x53,
  f11 = 0x85,
  f12 = 0x86,
  // Any other complete sequence, Alt with a key, and a sequence cut short.
  other = 0xFF,
};

struct Key {
  std::uint8_t value = 0;  // the character, or the KeyCode of a special key
  bool special = false;

  static constexpr Key character(char c) { return Key{static_cast<std::uint8_t>(c), false}; }
  static constexpr Key of(KeyCode code) { return Key{static_cast<std::uint8_t>(code), true}; }

  constexpr bool is(KeyCode code) const { return special && value == static_cast<std::uint8_t>(code); }
  constexpr bool is(char c) const { return !special && value == static_cast<std::uint8_t>(c); }

  friend constexpr bool operator==(const Key&, const Key&) = default;
};

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_KEY_H_
