#include "textio/key_decoder.h"

namespace zentrill {
namespace {

constexpr unsigned char kEsc = 0x1B;
// Parameters past this are no key's; clamping keeps the arithmetic bounded.
constexpr int kParameterClamp = 1000;

bool is_final_byte(unsigned char b) { return b >= 0x40 && b <= 0x7E; }
bool is_parameter_byte(unsigned char b) { return b >= 0x30 && b <= 0x3F; }
bool is_intermediate_byte(unsigned char b) { return b >= 0x20 && b <= 0x2F; }

// The VT220 numbering of the keys sent as ESC [ n ~.
Key numbered_key(int n) {
  switch (n) {
    case 1: case 7: return Key::of(KeyCode::home);
    case 2: return Key::of(KeyCode::insert);
    case 3: return Key::of(KeyCode::del);
    case 4: case 8: return Key::of(KeyCode::end);
    case 5: return Key::of(KeyCode::page_up);
    case 6: return Key::of(KeyCode::page_down);
    case 11: return Key::of(KeyCode::f1);
    case 12: return Key::of(KeyCode::f2);
    case 13: return Key::of(KeyCode::f3);
    case 14: return Key::of(KeyCode::f4);
    case 15: return Key::of(KeyCode::f5);
    case 17: return Key::of(KeyCode::f6);
    case 18: return Key::of(KeyCode::f7);
    case 19: return Key::of(KeyCode::f8);
    case 20: return Key::of(KeyCode::f9);
    case 21: return Key::of(KeyCode::f10);
    case 23: return Key::of(KeyCode::f11);
    case 24: return Key::of(KeyCode::f12);
    default: return Key::of(KeyCode::other);
  }
}

// Final bytes shared by CSI and SS3 forms.
bool common_final_key(unsigned char b, Key& key) {
  switch (b) {
    case 'A': key = Key::of(KeyCode::up); return true;
    case 'B': key = Key::of(KeyCode::down); return true;
    case 'C': key = Key::of(KeyCode::right); return true;
    case 'D': key = Key::of(KeyCode::left); return true;
    case 'E': key = Key::of(KeyCode::center); return true;
    case 'F': key = Key::of(KeyCode::end); return true;
    case 'H': key = Key::of(KeyCode::home); return true;
    case 'P': key = Key::of(KeyCode::f1); return true;
    case 'Q': key = Key::of(KeyCode::f2); return true;
    case 'R': key = Key::of(KeyCode::f3); return true;
    case 'S': key = Key::of(KeyCode::f4); return true;
    default: return false;
  }
}

}  // namespace

void KeyDecoder::feed(std::string_view bytes, std::vector<Key>& keys) {
  for (const char c : bytes) feed_byte(static_cast<unsigned char>(c), keys);
}

void KeyDecoder::finish(std::vector<Key>& keys) {
  if (state_ == State::escape) {
    keys.push_back(Key::character(static_cast<char>(kEsc)));
  } else if (state_ != State::ground) {
    keys.push_back(Key::of(KeyCode::other));
  }
  state_ = State::ground;
}

void KeyDecoder::start_sequence(State state) {
  state_ = state;
  first_parameter_ = -1;
  first_parameter_done_ = false;
  plain_ = true;
}

void KeyDecoder::feed_byte(unsigned char b, std::vector<Key>& keys) {
  switch (state_) {
    case State::ground:
      if (b == kEsc) {
        start_sequence(State::escape);
      } else {
        keys.push_back(Key::character(static_cast<char>(b)));
      }
      return;
    case State::escape: return feed_escape(b, keys);
    case State::csi: return feed_csi(b, keys);
    case State::ss3: return feed_ss3(b, keys);
    case State::csi_linux: return feed_linux_console(b, keys);
  }
}

void KeyDecoder::feed_escape(unsigned char b, std::vector<Key>& keys) {
  if (b == '[') {
    start_sequence(State::csi);
  } else if (b == 'O') {
    start_sequence(State::ss3);
  } else if (b == kEsc) {
    // Esc twice: the first is a lone Esc, the second may start a sequence.
    keys.push_back(Key::character(static_cast<char>(kEsc)));
  } else if (b >= 0x20 && b <= 0x7F) {
    end_sequence(Key::of(KeyCode::other), keys);  // Alt with a key
  } else {
    // Esc followed by Enter, Tab, ...: two keys, so Enter still ends a line.
    end_sequence(Key::character(static_cast<char>(kEsc)), keys);
    feed_byte(b, keys);
  }
}

void KeyDecoder::feed_csi(unsigned char b, std::vector<Key>& keys) {
  if (b == '[' && first_parameter_ < 0 && !first_parameter_done_ && plain_) {
    state_ = State::csi_linux;  // ESC [ [: nothing came between the brackets
    return;
  }
  if (b == '$') {
    // rxvt ends its modified editing keys with '$' (ESC [ 2 $).
    end_sequence(plain_ ? numbered_key(first_parameter_) : Key::of(KeyCode::other), keys);
    return;
  }
  if (take_parameter_or_intermediate(b)) return;
  if (is_final_byte(b)) {
    end_sequence(csi_key(b), keys);
  } else {
    abandon_sequence(b, keys);
  }
}

void KeyDecoder::feed_ss3(unsigned char b, std::vector<Key>& keys) {
  if (take_parameter_or_intermediate(b)) return;
  if (is_final_byte(b)) {
    end_sequence(ss3_key(b), keys);
  } else {
    abandon_sequence(b, keys);
  }
}

bool KeyDecoder::take_parameter_or_intermediate(unsigned char b) {
  if (is_parameter_byte(b)) {
    if (b >= '0' && b <= '9' && !first_parameter_done_) {
      const int digit = b - '0';
      first_parameter_ = first_parameter_ < 0 ? digit : first_parameter_ * 10 + digit;
      if (first_parameter_ > kParameterClamp) first_parameter_ = kParameterClamp;
    } else if (b == ';' || b == ':') {
      first_parameter_done_ = true;
    } else if (b >= '<') {
      plain_ = false;  // private marker: a report, not a key
    }
    return true;
  }
  if (is_intermediate_byte(b)) {
    plain_ = false;
    return true;
  }
  return false;
}

void KeyDecoder::end_sequence(Key key, std::vector<Key>& keys) {
  keys.push_back(key);
  state_ = State::ground;
}

void KeyDecoder::feed_linux_console(unsigned char b, std::vector<Key>& keys) {
  // Any printable byte ends the sequence; only F1-F5 are known.
  if (b >= 0x20 && b <= 0x7E) {
    end_sequence(b >= 'A' && b <= 'E' ? Key::of(static_cast<KeyCode>(static_cast<int>(KeyCode::f1) + (b - 'A')))
                                      : Key::of(KeyCode::other),
                 keys);
  } else {
    abandon_sequence(b, keys);
  }
}

void KeyDecoder::abandon_sequence(unsigned char b, std::vector<Key>& keys) {
  end_sequence(Key::of(KeyCode::other), keys);
  feed_byte(b, keys);
}

Key KeyDecoder::csi_key(unsigned char b) const {
  if (!plain_) return Key::of(KeyCode::other);
  Key key;
  if (common_final_key(b, key)) return key;
  switch (b) {
    case 'a': return Key::of(KeyCode::up);  // rxvt's Shift+arrows
    case 'b': return Key::of(KeyCode::down);
    case 'c': return Key::of(KeyCode::right);
    case 'd': return Key::of(KeyCode::left);
    case 'Z': return Key::of(KeyCode::shift_tab);
    case '~': case '^': case '@': return numbered_key(first_parameter_);
    default: return Key::of(KeyCode::other);
  }
}

Key KeyDecoder::ss3_key(unsigned char b) const {
  if (!plain_) return Key::of(KeyCode::other);
  Key key;
  if (common_final_key(b, key)) return key;
  // The keypad in application mode sends its characters this way.
  if (b >= 'p' && b <= 'y') return Key::character(static_cast<char>('0' + (b - 'p')));
  switch (b) {
    case 'M': return Key::character('\r');
    case 'X': return Key::character('=');
    case 'j': return Key::character('*');
    case 'k': return Key::character('+');
    case 'l': return Key::character(',');
    case 'm': return Key::character('-');
    case 'n': return Key::character('.');
    case 'o': return Key::character('/');
    default: return Key::of(KeyCode::other);
  }
}

}  // namespace zentrill
