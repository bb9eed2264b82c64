// Terminal bytes to key presses. An escape sequence is one special key: its
// tail ("A" of ESC [ A, "3~" of ESC [ 3 ~) never comes out as characters.
#ifndef ZENTRILL_TEXTIO_KEY_DECODER_H_
#define ZENTRILL_TEXTIO_KEY_DECODER_H_

#include <string_view>
#include <vector>

#include "textio/key.h"

namespace zentrill {

// Understood, modifiers ignored (ESC [ 1 ; 5 A is Up): CSI (ESC [), SS3
// (ESC O), the Linux console's ESC [ [ A-E, and ESC with a printable byte or
// DEL (Alt+key). Alt+key and unknown sequences give KeyCode::other. A control
// byte or one from 0x80 cuts a sequence short: what came gives KeyCode::other
// (a lone ESC, the Esc key) and the byte is decoded afresh.
class KeyDecoder {
 public:
  // At most one key per byte, plus one for a sequence pending before.
  void feed(std::string_view bytes, std::vector<Key>& keys);
  // For the end of the Esc wait or of input: a lone ESC is the Esc key (0x1B),
  // an unfinished sequence one KeyCode::other.
  void finish(std::vector<Key>& keys);
  bool pending() const { return state_ != State::ground; }

 private:
  enum class State { ground, escape, csi, csi_linux, ss3 };

  void feed_byte(unsigned char byte, std::vector<Key>& keys);
  void feed_escape(unsigned char byte, std::vector<Key>& keys);
  void feed_csi(unsigned char byte, std::vector<Key>& keys);
  void feed_ss3(unsigned char byte, std::vector<Key>& keys);
  void feed_linux_console(unsigned char byte, std::vector<Key>& keys);
  // False, changing nothing, for any other byte.
  bool take_parameter_or_intermediate(unsigned char byte);
  void start_sequence(State state);
  void end_sequence(Key key, std::vector<Key>& keys);
  // A sequence cut short by `byte`: one key for what came, then `byte` afresh.
  void abandon_sequence(unsigned char byte, std::vector<Key>& keys);
  Key csi_key(unsigned char final_byte) const;
  Key ss3_key(unsigned char final_byte) const;

  State state_ = State::ground;
  int first_parameter_ = -1;       // -1 while no digit of it has come
  bool first_parameter_done_ = false;
  bool plain_ = true;              // no private marker, no intermediate byte
};

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_KEY_DECODER_H_
