#include "textio/key_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zentrill {
namespace {

Key ch(char c) { return Key::character(c); }
Key sp(KeyCode code) { return Key::of(code); }

struct DecodeCase {
  std::string bytes;
  std::vector<Key> keys;  // after the input has ended
};

// Every key a terminal can send, and the ways a sequence can break off.
const std::vector<DecodeCase> kCases = {
    {"a", {ch('a')}},
    {"A-1", {ch('A'), ch('-'), ch('1')}},
    {std::string("\0\x7f\x08\t\r\n\xff\x9b", 8),
     {ch('\0'), ch('\x7f'), ch('\x08'), ch('\t'), ch('\r'), ch('\n'), ch('\xff'), ch('\x9b')}},
    // CSI arrows, Home and End, bare and with modifiers.
    {"\x1b[A\x1b[B\x1b[C\x1b[D", {sp(KeyCode::up), sp(KeyCode::down), sp(KeyCode::right), sp(KeyCode::left)}},
    {"\x1b[1;5A\x1b[1;2D\x1b[1;3H", {sp(KeyCode::up), sp(KeyCode::left), sp(KeyCode::home)}},
    {"\x1b[H\x1b[F\x1b[E", {sp(KeyCode::home), sp(KeyCode::end), sp(KeyCode::center)}},
    {"\x1b[a\x1b[d", {sp(KeyCode::up), sp(KeyCode::left)}},
    // The editing keys as ESC [ n ~, also with modifiers and rxvt's endings.
    {"\x1b[1~\x1b[2~\x1b[3~\x1b[4~\x1b[5~\x1b[6~\x1b[7~\x1b[8~",
     {sp(KeyCode::home), sp(KeyCode::insert), sp(KeyCode::del), sp(KeyCode::end), sp(KeyCode::page_up),
      sp(KeyCode::page_down), sp(KeyCode::home), sp(KeyCode::end)}},
    {"\x1b[3;5~\x1b[3^\x1b[3@\x1b[3$", {sp(KeyCode::del), sp(KeyCode::del), sp(KeyCode::del), sp(KeyCode::del)}},
    // Function keys in their xterm, VT220 and Linux console forms.
    {"\x1bOP\x1bOQ\x1bOR\x1bOS", {sp(KeyCode::f1), sp(KeyCode::f2), sp(KeyCode::f3), sp(KeyCode::f4)}},
    {"\x1b[1;2P\x1bO2Q", {sp(KeyCode::f1), sp(KeyCode::f2)}},
    {"\x1b[11~\x1b[12~\x1b[13~\x1b[14~\x1b[15~",
     {sp(KeyCode::f1), sp(KeyCode::f2), sp(KeyCode::f3), sp(KeyCode::f4), sp(KeyCode::f5)}},
    {"\x1b[17~\x1b[18~\x1b[19~\x1b[20~\x1b[21~\x1b[23~\x1b[24~\x1b[24;5~",
     {sp(KeyCode::f6), sp(KeyCode::f7), sp(KeyCode::f8), sp(KeyCode::f9), sp(KeyCode::f10), sp(KeyCode::f11),
      sp(KeyCode::f12), sp(KeyCode::f12)}},
    {"\x1b[[A\x1b[[B\x1b[[C\x1b[[D\x1b[[E",
     {sp(KeyCode::f1), sp(KeyCode::f2), sp(KeyCode::f3), sp(KeyCode::f4), sp(KeyCode::f5)}},
    // SS3 arrows, Home and End; the keypad in application mode.
    {"\x1bOA\x1bOB\x1bOC\x1bOD\x1bOH\x1bOF",
     {sp(KeyCode::up), sp(KeyCode::down), sp(KeyCode::right), sp(KeyCode::left), sp(KeyCode::home),
      sp(KeyCode::end)}},
    {"\x1bOp\x1bOy\x1bOM\x1bOm", {ch('0'), ch('9'), ch('\r'), ch('-')}},
    {"\x1b[Z", {sp(KeyCode::shift_tab)}},
    // Sequences of no known key are one key each, whatever their length.
    {"\x1b[99~\x1b[200~\x1b[~\x1b[x\x1b[?1;2c\x1b[ q\x1b[[Z",
     {sp(KeyCode::other), sp(KeyCode::other), sp(KeyCode::other), sp(KeyCode::other), sp(KeyCode::other),
      sp(KeyCode::other), sp(KeyCode::other)}},
    // The Linux console's ESC [ [ takes any one printable byte: a digit
    // after it must not leak as an octave key.
    {"\x1b[[3\x1b[[ \x1b[[~", {sp(KeyCode::other), sp(KeyCode::other), sp(KeyCode::other)}},
    {"\x1b[" + std::string(600, '1') + "A", {sp(KeyCode::up)}},
    {"\x1b[1;" + std::string(600, '9') + "~x", {sp(KeyCode::home), ch('x')}},
    {"\x1bOz", {sp(KeyCode::other)}},
    // Alt with a key.
    {"\x1b" "a\x1b" "A\x1b" "1\x1b\x7f", {sp(KeyCode::other), sp(KeyCode::other), sp(KeyCode::other), sp(KeyCode::other)}},
    // A lone Esc: at the end, before a control character, before another Esc.
    {"\x1b", {ch('\x1b')}},
    {"x\x1b", {ch('x'), ch('\x1b')}},
    {"\x1b\r", {ch('\x1b'), ch('\r')}},
    {"\x1b\x1b", {ch('\x1b'), ch('\x1b')}},
    {"\x1b\x1b[A", {ch('\x1b'), sp(KeyCode::up)}},
    {"\x1b\xe9", {ch('\x1b'), ch('\xe9')}},
    // A sequence cut short: one key for what came, then the byte afresh.
    {"\x1b[", {sp(KeyCode::other)}},
    {"\x1b[1;5", {sp(KeyCode::other)}},
    {"\x1bO", {sp(KeyCode::other)}},
    {"\x1b[[", {sp(KeyCode::other)}},
    {"\x1b[1\r", {sp(KeyCode::other), ch('\r')}},
    {"\x1b[\x1b[B", {sp(KeyCode::other), sp(KeyCode::down)}},
    {"\x1bO\x7f", {sp(KeyCode::other), ch('\x7f')}},
    {"\x1b[[\n", {sp(KeyCode::other), ch('\n')}},
};

std::vector<Key> decode_in_pieces(const std::string& bytes, const std::vector<std::size_t>& cuts) {
  KeyDecoder decoder;
  std::vector<Key> keys;
  std::size_t from = 0;
  for (const std::size_t cut : cuts) {
    decoder.feed(std::string_view(bytes).substr(from, cut - from), keys);
    from = cut;
  }
  decoder.feed(std::string_view(bytes).substr(from), keys);
  decoder.finish(keys);
  return keys;
}

std::string shown(const std::string& bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7f) {
      out += c;
    } else {
      out += '<';
      out += std::to_string(u);
      out += '>';
    }
  }
  return out;
}

TEST(KeyDecoder, DecodesEveryCaseFedWhole) {
  for (const DecodeCase& c : kCases) EXPECT_EQ(decode_in_pieces(c.bytes, {}), c.keys) << shown(c.bytes);
}

TEST(KeyDecoder, DecodesEveryCaseSplitAtEveryPosition) {
  for (const DecodeCase& c : kCases) {
    for (std::size_t cut = 1; cut < c.bytes.size(); ++cut) {
      EXPECT_EQ(decode_in_pieces(c.bytes, {cut}), c.keys) << shown(c.bytes) << " cut at " << cut;
    }
  }
}

TEST(KeyDecoder, DecodesEveryCaseFedByteByByte) {
  for (const DecodeCase& c : kCases) {
    std::vector<std::size_t> cuts;
    for (std::size_t cut = 1; cut < c.bytes.size(); ++cut) cuts.push_back(cut);
    EXPECT_EQ(decode_in_pieces(c.bytes, cuts), c.keys) << shown(c.bytes);
  }
}

// The console sizes its reads on this bound, so that no key can be lost.
TEST(KeyDecoder, MakesNoMoreKeysThanBytesPlusOnePending) {
  for (const DecodeCase& c : kCases) {
    for (std::size_t cut = 0; cut <= c.bytes.size(); ++cut) {
      KeyDecoder decoder;
      std::vector<Key> keys;
      decoder.feed(std::string_view(c.bytes).substr(0, cut), keys);
      const bool was_pending = decoder.pending();
      const std::size_t before = keys.size();
      decoder.feed(std::string_view(c.bytes).substr(cut), keys);
      EXPECT_LE(keys.size() - before, c.bytes.size() - cut + (was_pending ? 1 : 0)) << shown(c.bytes);
      const std::size_t at_end = keys.size();
      decoder.finish(keys);
      EXPECT_LE(keys.size() - at_end, 1u);
      EXPECT_FALSE(decoder.pending());
    }
  }
}

TEST(KeyDecoder, HoldsAnUnfinishedSequenceUntilItEnds) {
  const std::vector<std::string> unfinished = {"\x1b", "\x1b[", "\x1b[1;5", "\x1bO", "\x1b[[", "\x1bO2"};
  for (const std::string& bytes : unfinished) {
    KeyDecoder decoder;
    std::vector<Key> keys;
    decoder.feed(bytes, keys);
    EXPECT_TRUE(keys.empty()) << shown(bytes);
    EXPECT_TRUE(decoder.pending()) << shown(bytes);
  }
  KeyDecoder decoder;
  std::vector<Key> keys;
  decoder.feed("ab", keys);
  EXPECT_FALSE(decoder.pending());
}

}  // namespace
}  // namespace zentrill
