// Turns the bytes a terminal sends into key presses. Special keys arrive as
// escape sequences, each of which becomes one special key: their tails
// ("A" of ESC [ A, "3~" of ESC [ 3 ~) never come out as characters.
#ifndef ZENTRILL_TEXTIO_KEY_DECODER_H_
#define ZENTRILL_TEXTIO_KEY_DECODER_H_

#include <string_view>
#include <vector>

#include "textio/key.h"

namespace zentrill {

// Understood, with or without modifier parameters (ESC [ 1 ; 5 A is Up):
//   CSI  ESC [ params intermediates final: arrows A-D (and rxvt's a-d), Home
//        and End as H/F or 1~ 7~ / 4~ 8~, Insert 2~, Delete 3~, PgUp 5~,
//        PgDn 6~, F1-F4 as P-S or 11~-14~, F5-F12 as 15~ 17~-21~ 23~ 24~
//        (rxvt's ^ @ $ in place of ~ too), Shift+Tab Z;
//   the Linux console's ESC [ [ A-E for F1-F5;
//   SS3  ESC O final: arrows, Home, End, F1-F4, and the keypad's characters;
//   ESC and a printable byte or DEL: Alt with that key (KeyCode::other).
// Any other complete sequence gives KeyCode::other. A byte that cannot go on
// with a sequence (a control character, or a byte from 0x80) ends it: the
// sequence so far gives KeyCode::other (after a lone ESC, the Esc key) and
// the byte is decoded afresh. Every other byte is its own character key.
class KeyDecoder {
 public:
  // Appends the keys completed by `bytes` to `keys`. One call makes at most
  // bytes.size() keys, plus one when a sequence was pending before the call.
  void feed(std::string_view bytes, std::vector<Key>& keys);
  // Ends a pending sequence, for when no byte followed within the wait for a
  // lone Esc, or the input has ended: a lone ESC is the Esc key (0x1B), an
  // unfinished sequence one KeyCode::other. Makes at most one key.
  void finish(std::vector<Key>& keys);
  // True while bytes of an unfinished sequence are held.
  bool pending() const { return state_ != State::ground; }

 private:
  enum class State { ground, escape, csi, csi_linux, ss3 };

  void feed_byte(unsigned char byte, std::vector<Key>& keys);
  // One per state with a sequence pending: ESC, ESC [, ESC O, ESC [ [.
  void feed_escape(unsigned char byte, std::vector<Key>& keys);
  void feed_csi(unsigned char byte, std::vector<Key>& keys);
  void feed_ss3(unsigned char byte, std::vector<Key>& keys);
  void feed_linux_console(unsigned char byte, std::vector<Key>& keys);
  // The parameter and intermediate bytes that CSI and SS3 share; false, and
  // nothing changed, for any other byte.
  bool take_parameter_or_intermediate(unsigned char byte);
  void start_sequence(State state);
  // The pending sequence is `key`.
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
