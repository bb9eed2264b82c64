// The key decoder and the line editor over arbitrary terminal bytes. The
// first three bytes set up the editor (console width, the prompt's length,
// whether there is a screen); the rest are the bytes the terminal sends.
//
// Key decoder, fed the bytes one at a time and checked after each:
//   - with no sequence pending, ESC starts one and any other byte is its own
//     character key;
//   - with a sequence pending, a printable byte never comes out as a
//     character (only an ESC O sequence may give one of the keypad's
//     characters): it either finishes the sequence as one key or continues
//     it;
//   - a control byte or a byte from 0x80 ends a pending sequence as one key
//     (the Esc key after a lone ESC) and is then decoded afresh;
//   - finish ends a pending sequence as one key and does nothing otherwise;
//   - special keys carry one of the codes of KeyCode;
//   - feeding the bytes whole, one by one, or split anywhere gives the same
//     keys, and no call makes more keys than it was given bytes, plus one
//     for a sequence that was pending;
//   - a complete sequence put between the bytes, where none is pending,
//     gives exactly its one key and changes no other key.
// Line editor, fed the decoded keys:
//   - line and cursor follow the editing rules, the cursor within the line
//     and the line within its capacity;
//   - on a screen, the output played on a model terminal (deferred wrap at
//     the right edge, as xterm and the Linux console do) shows the prompt
//     untouched, the line in the cells after it, blanks after the line, and
//     the cursor on the cell of the editor's cursor, never waiting to wrap;
//     the output never moves above the line's first row or below the last
//     row the screen has, and uses no sequence but cursor movement and erase;
//   - without a screen, nothing is written until Enter, which writes the line
//     as it stands; after Enter no key changes anything.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "textio/key.h"
#include "textio/key_decoder.h"
#include "textio/line_editor.h"

namespace zentrill {
namespace {

constexpr unsigned char kEsc = 0x1B;

bool is_printable(unsigned char b) { return b >= 0x20 && b <= 0x7E; }
// A control byte, or a byte from 0x80: no sequence goes on with it.
bool ends_a_sequence(unsigned char b) { return b < 0x20 || b >= 0x80; }

bool is_key_code(std::uint8_t value) {
  static constexpr KeyCode kCodes[] = {
      KeyCode::shift_tab, KeyCode::f1,     KeyCode::f2,     KeyCode::f3,        KeyCode::f4,
      KeyCode::f5,        KeyCode::f6,     KeyCode::f7,     KeyCode::f8,        KeyCode::f9,
      KeyCode::f10,       KeyCode::home,   KeyCode::up,     KeyCode::page_up,   KeyCode::left,
      KeyCode::center,    KeyCode::right,  KeyCode::end,    KeyCode::down,      KeyCode::page_down,
      KeyCode::insert,    KeyCode::del,    KeyCode::f11,    KeyCode::f12,       KeyCode::other,
  };
  return std::any_of(std::begin(kCodes), std::end(kCodes),
                     [value](KeyCode code) { return static_cast<std::uint8_t>(code) == value; });
}

void check_key(const Key& key) {
  if (key.special) ZENTRILL_FUZZ_CHECK(is_key_code(key.value));
}

// A character the keypad sends in application mode (ESC O and a final).
bool is_keypad_character(std::uint8_t c) {
  return (c >= '0' && c <= '9') || std::string_view("*+,-./=\r\t ").find(static_cast<char>(c)) !=
                                        std::string_view::npos;
}

std::vector<Key> decode(std::string_view bytes) {
  KeyDecoder decoder;
  std::vector<Key> keys;
  decoder.feed(bytes, keys);
  decoder.finish(keys);
  return keys;
}

// Feeds one byte at a time, checking what each byte may make.
std::vector<Key> decode_byte_by_byte(std::string_view bytes) {
  KeyDecoder decoder;
  std::vector<Key> keys;
  std::string sequence;  // the bytes of the pending sequence
  for (const char byte : bytes) {
    const unsigned char b = static_cast<unsigned char>(byte);
    const bool was_pending = decoder.pending();
    ZENTRILL_FUZZ_CHECK(was_pending == !sequence.empty());
    std::vector<Key> made;
    decoder.feed(std::string_view(&byte, 1), made);
    ZENTRILL_FUZZ_CHECK(made.size() <= (was_pending ? 2u : 1u));
    for (const Key& key : made) check_key(key);

    if (!was_pending) {
      if (b == kEsc) {
        ZENTRILL_FUZZ_CHECK(made.empty() && decoder.pending());
      } else {
        ZENTRILL_FUZZ_CHECK(made.size() == 1 && made[0] == Key::character(byte));
        ZENTRILL_FUZZ_CHECK(!decoder.pending());
      }
    } else if (is_printable(b) || (b == 0x7F && sequence == "\x1b")) {
      // Finishes the sequence as one key, or goes on with it. (DEL inside a
      // longer sequence may do either this or what a control byte does.)
      ZENTRILL_FUZZ_CHECK(made.size() <= 1);
      ZENTRILL_FUZZ_CHECK(decoder.pending() == made.empty());
      if (!made.empty() && !made[0].special) {
        ZENTRILL_FUZZ_CHECK(sequence.starts_with("\x1bO") && is_keypad_character(made[0].value));
      }
    } else if (ends_a_sequence(b)) {
      // Ends the sequence, then counts on its own.
      ZENTRILL_FUZZ_CHECK(!made.empty());
      const Key ended = sequence == "\x1b" ? Key::character(static_cast<char>(kEsc))
                                           : Key::of(KeyCode::other);
      ZENTRILL_FUZZ_CHECK(made[0] == ended);
      if (b == kEsc) {
        ZENTRILL_FUZZ_CHECK(made.size() == 1 && decoder.pending());
      } else {
        ZENTRILL_FUZZ_CHECK(made.size() == 2 && made[1] == Key::character(byte));
        ZENTRILL_FUZZ_CHECK(!decoder.pending());
      }
    }

    if (!decoder.pending()) {
      sequence.clear();
    } else if (made.empty() && was_pending) {
      sequence += byte;
    } else {
      ZENTRILL_FUZZ_CHECK(b == kEsc);  // only ESC starts a sequence
      sequence = "\x1b";
    }
    keys.insert(keys.end(), made.begin(), made.end());
  }

  std::vector<Key> made;
  decoder.finish(made);
  if (sequence.empty()) {
    ZENTRILL_FUZZ_CHECK(made.empty());
  } else {
    ZENTRILL_FUZZ_CHECK(made.size() == 1);
    ZENTRILL_FUZZ_CHECK(made[0] == (sequence == "\x1b" ? Key::character(static_cast<char>(kEsc))
                                                       : Key::of(KeyCode::other)));
  }
  ZENTRILL_FUZZ_CHECK(!decoder.pending());
  keys.insert(keys.end(), made.begin(), made.end());
  return keys;
}

void check_splits(std::string_view bytes, const std::vector<Key>& whole) {
  // Every split for short inputs, a spread of them for longer ones.
  const std::size_t step = bytes.size() <= 64 ? 1 : bytes.size() / 16;
  for (std::size_t split = 0; split <= bytes.size(); split += step) {
    KeyDecoder decoder;
    std::vector<Key> keys;
    decoder.feed(bytes.substr(0, split), keys);
    ZENTRILL_FUZZ_CHECK(keys.size() <= split);
    const bool pending = decoder.pending();
    const std::size_t before = keys.size();
    decoder.feed(bytes.substr(split), keys);
    ZENTRILL_FUZZ_CHECK(keys.size() - before <= bytes.size() - split + (pending ? 1 : 0));
    decoder.finish(keys);
    ZENTRILL_FUZZ_CHECK(keys == whole);
  }
}

struct Sequence {
  std::string_view bytes;
  Key key;
};

constexpr Key kOther = Key::of(KeyCode::other);

const Sequence kSequences[] = {
    {"\x1b[A", Key::of(KeyCode::up)},        {"\x1b[B", Key::of(KeyCode::down)},
    {"\x1b[C", Key::of(KeyCode::right)},     {"\x1b[D", Key::of(KeyCode::left)},
    {"\x1b[a", Key::of(KeyCode::up)},        {"\x1b[d", Key::of(KeyCode::left)},
    {"\x1b[1;5A", Key::of(KeyCode::up)},     {"\x1b[1;2D", Key::of(KeyCode::left)},
    {"\x1b[H", Key::of(KeyCode::home)},      {"\x1b[F", Key::of(KeyCode::end)},
    {"\x1b[1~", Key::of(KeyCode::home)},     {"\x1b[7~", Key::of(KeyCode::home)},
    {"\x1b[4~", Key::of(KeyCode::end)},      {"\x1b[8~", Key::of(KeyCode::end)},
    {"\x1b[2~", Key::of(KeyCode::insert)},   {"\x1b[3~", Key::of(KeyCode::del)},
    {"\x1b[3;5~", Key::of(KeyCode::del)},    {"\x1b[3^", Key::of(KeyCode::del)},
    {"\x1b[5~", Key::of(KeyCode::page_up)},  {"\x1b[6~", Key::of(KeyCode::page_down)},
    {"\x1b[P", Key::of(KeyCode::f1)},        {"\x1b[S", Key::of(KeyCode::f4)},
    {"\x1b[11~", Key::of(KeyCode::f1)},      {"\x1b[14~", Key::of(KeyCode::f4)},
    {"\x1b[15~", Key::of(KeyCode::f5)},      {"\x1b[17~", Key::of(KeyCode::f6)},
    {"\x1b[21~", Key::of(KeyCode::f10)},     {"\x1b[23~", Key::of(KeyCode::f11)},
    {"\x1b[24$", Key::of(KeyCode::f12)},     {"\x1b[Z", Key::of(KeyCode::shift_tab)},
    {"\x1b[[A", Key::of(KeyCode::f1)},       {"\x1b[[E", Key::of(KeyCode::f5)},
    {"\x1bOA", Key::of(KeyCode::up)},        {"\x1bOD", Key::of(KeyCode::left)},
    {"\x1bOH", Key::of(KeyCode::home)},      {"\x1bOF", Key::of(KeyCode::end)},
    {"\x1bOP", Key::of(KeyCode::f1)},        {"\x1bOS", Key::of(KeyCode::f4)},
    {"\x1b[200~", kOther},                   {"\x1b[?1;2c", kOther},
    {"\x1b[ q", kOther},                     {"\x1b[9999999999~", kOther},
    {"\x1bx", kOther},                       {"\x1b\x7f", kOther},
    {"\x1b[", kOther},  // cut short by whatever follows, or by the end
};

// Where no sequence is pending, a sequence put between the bytes makes its
// one key, and the keys before and after stay as they were.
void check_inserted_sequences(std::string_view bytes, const std::vector<Key>& whole) {
  std::size_t point = bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]) % (bytes.size() + 1);
  KeyDecoder decoder;
  std::vector<Key> before;
  decoder.feed(bytes.substr(0, point), before);
  while (decoder.pending() && point < bytes.size()) decoder.feed(bytes.substr(point++, 1), before);
  if (decoder.pending()) return;

  const std::vector<Key> after = decode(bytes.substr(point));
  std::vector<Key> unchanged = before;
  unchanged.insert(unchanged.end(), after.begin(), after.end());
  ZENTRILL_FUZZ_CHECK(unchanged == whole);

  // A CSI of the input's own bytes, forced into the parameter, intermediate
  // and final ranges. It has one parameter byte at least, so that its final
  // byte cannot be the second [ of the Linux console's keys, and no $, which
  // ends rxvt's keys.
  const auto byte = [&](std::size_t i) -> std::size_t {
    return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0;
  };
  std::string generic = "\x1b[";
  for (std::size_t i = 0; i < 1 + byte(1) % 4; ++i) generic += char(0x30 + byte(2 + i) % 16);
  if (byte(1) % 8 >= 4) generic += std::string_view(" !\"#%&'()*+,-./")[byte(6) % 15];
  generic += char(0x40 + byte(bytes.size() - 1) % 63);

  const auto check = [&](std::string_view sequence, const Key* key) {
    // A sequence cut short is ended by a control byte or a byte from 0x80
    // after it, or by the end; a printable byte would go on with it.
    if (sequence == "\x1b[" && point < bytes.size() && !ends_a_sequence(byte(point))) return;
    std::string changed(bytes.substr(0, point));
    changed += sequence;
    changed += bytes.substr(point);
    const std::vector<Key> keys = decode(changed);
    ZENTRILL_FUZZ_CHECK(keys.size() == whole.size() + 1);
    ZENTRILL_FUZZ_CHECK(std::equal(before.begin(), before.end(), keys.begin()));
    const Key made = keys[before.size()];
    ZENTRILL_FUZZ_CHECK(made.special);
    if (key) ZENTRILL_FUZZ_CHECK(made == *key);
    ZENTRILL_FUZZ_CHECK(std::equal(after.begin(), after.end(), keys.begin() + before.size() + 1));
  };
  for (const Sequence& sequence : kSequences) check(sequence.bytes, &sequence.key);
  check(generic, nullptr);
}

// A terminal of `width` columns, unbounded downwards, with the cursor
// waiting at the right edge after a character is written into the last
// column, until the next character wraps it or a movement clears the wait.
class ModelTerminal {
 public:
  ModelTerminal(std::size_t width, std::size_t start)
      : width_(width), first_row_(start / width), row_(start / width), col_(start % width),
        last_row_(row_) {}

  void play(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      const unsigned char b = static_cast<unsigned char>(bytes[i]);
      if (b == kEsc) {
        i = control_sequence(bytes, i);
      } else if (b == '\r') {
        col_ = 0;
        waiting_ = false;
      } else if (b == '\n') {
        down(1);
        last_row_ = std::max(last_row_, row_);
      } else {
        ZENTRILL_FUZZ_CHECK(b >= 0x20 && b != 0x7F);  // no other control byte is written
        if (waiting_) {
          col_ = 0;
          down(1);
          last_row_ = std::max(last_row_, row_);
        }
        cell(row_, col_) = static_cast<char>(b);
        if (col_ + 1 == width_) {
          waiting_ = true;
        } else {
          ++col_;
        }
      }
    }
  }

  char at(std::size_t index) {
    return index / width_ < rows_.size() ? cell(index / width_, index % width_) : ' ';
  }
  std::size_t cursor_index() const { return row_ * width_ + col_; }
  std::size_t row() const { return row_; }
  bool waiting() const { return waiting_; }
  std::size_t end_of_screen() const { return (last_row_ + 1) * width_; }

 private:
  char& cell(std::size_t row, std::size_t col) {
    if (rows_.size() <= row) rows_.resize(row + 1, std::string(width_, ' '));
    return rows_[row][col];
  }

  void down(std::size_t n) {
    row_ += n;
    waiting_ = false;
  }

  // ESC [ n A/B/C/D (default 1), ESC [ J / K (to the end of the screen or
  // row). Gives the index of the sequence's last byte.
  std::size_t control_sequence(std::string_view bytes, std::size_t i) {
    ZENTRILL_FUZZ_CHECK(i + 1 < bytes.size() && bytes[i + 1] == '[');
    std::size_t j = i + 2;
    std::size_t n = 0;
    bool has_n = false;
    while (j < bytes.size() && bytes[j] >= '0' && bytes[j] <= '9') {
      n = std::min<std::size_t>(n * 10 + (bytes[j] - '0'), 1 << 20);
      has_n = true;
      ++j;
    }
    ZENTRILL_FUZZ_CHECK(j < bytes.size());
    if (!has_n) n = 1;
    waiting_ = false;
    switch (bytes[j]) {
      case 'A':
        ZENTRILL_FUZZ_CHECK(row_ >= first_row_ + n);  // never above the line
        row_ -= n;
        break;
      case 'B':
        ZENTRILL_FUZZ_CHECK(row_ + n <= last_row_);  // CSI B does not scroll
        row_ += n;
        break;
      case 'C':
        ZENTRILL_FUZZ_CHECK(col_ + n < width_);  // a real terminal stops at the edge
        col_ += n;
        break;
      case 'D':
        ZENTRILL_FUZZ_CHECK(col_ >= n);
        col_ -= n;
        break;
      case 'J':
        ZENTRILL_FUZZ_CHECK(!has_n);
        for (std::size_t index = cursor_index(); index < end_of_screen(); ++index) {
          cell(index / width_, index % width_) = ' ';
        }
        break;
      case 'K':
        ZENTRILL_FUZZ_CHECK(!has_n);
        for (std::size_t c = col_; c < width_; ++c) cell(row_, c) = ' ';
        break;
      default:
        fuzz::check_failed("the output holds only cursor movement and erase", __FILE__, __LINE__);
    }
    return j;
  }

  std::size_t width_;
  std::size_t first_row_;
  std::size_t row_;
  std::size_t col_;
  std::size_t last_row_;  // the lowest row the screen has reached
  bool waiting_ = false;
  std::vector<std::string> rows_;
};

// The editing rules, kept on the side: line, cursor and whether Enter came.
struct ModelLine {
  std::string line;
  std::size_t cursor = 0;
  bool done = false;

  void insert(std::string_view text) {
    const std::size_t room = LineEditor::kCapacity - line.size();
    text = text.substr(0, std::min(room, text.size()));
    line.insert(cursor, text);
    cursor += text.size();
  }

  void press(const Key& key, std::size_t width) {
    if (done) return;
    if (key.special) {
      if (key.is(KeyCode::left) && cursor > 0) --cursor;
      if (key.is(KeyCode::right) && cursor < line.size()) ++cursor;
      if (key.is(KeyCode::home)) cursor = 0;
      if (key.is(KeyCode::end)) cursor = line.size();
      if (key.is(KeyCode::up)) cursor = cursor >= width ? cursor - width : 0;
      if (key.is(KeyCode::down)) cursor = std::min(line.size(), cursor + width);
      if (key.is(KeyCode::del) && cursor < line.size()) line.erase(cursor, 1);
      return;
    }
    const unsigned char c = key.value;
    if (c == '\r' || c == '\n') {
      done = true;
    } else if (c == 0x7F || c == 0x08) {
      if (cursor > 0) line.erase(--cursor, 1);
    } else if (c == '\t') {
      insert(std::string(8 - cursor % 8, ' '));
    } else if (c == kEsc) {
      line.clear();
      cursor = 0;
    } else if (c >= 0x20) {
      insert(std::string(1, static_cast<char>(c)));
    }
  }
};

void check_line_editor(const std::vector<Key>& keys, std::size_t width, std::size_t start,
                       bool on_screen) {
  const std::size_t columns = std::max<std::size_t>(width, 1);
  LineEditor editor(start, on_screen);
  ModelLine model;
  ModelTerminal terminal(columns, start);
  for (const Key& key : keys) {
    const bool was_done = model.done;
    model.press(key, columns);
    const std::string output = editor.press(key, width);
    ZENTRILL_FUZZ_CHECK(editor.line() == model.line);
    ZENTRILL_FUZZ_CHECK(editor.done() == model.done);
    ZENTRILL_FUZZ_CHECK(editor.line().size() <= LineEditor::kCapacity);
    if (was_done) {
      ZENTRILL_FUZZ_CHECK(output.empty());
      continue;
    }
    if (!on_screen) {
      ZENTRILL_FUZZ_CHECK(output == (model.done ? model.line : std::string()));
      // The cursor, unseen while editing, is where a repaint puts it.
      if (!model.done && (model.line.size() <= 512 || &key == &keys.back())) {
        ModelTerminal repainted(columns, start);
        repainted.play(editor.repaint(width));
        ZENTRILL_FUZZ_CHECK(repainted.cursor_index() == start + model.cursor);
      }
      continue;
    }

    terminal.play(output);
    // The whole screen after every change of a short line, and after every
    // redraw or cursor movement and the last key of a long one: a long line
    // typed to its end would otherwise take a while.
    const std::string& line = model.line;
    if (line.size() <= 512 || output.find_first_of("\x1b\r\n") != std::string::npos ||
        &key == &keys.back()) {
      for (std::size_t i = 0; i < start; ++i) ZENTRILL_FUZZ_CHECK(terminal.at(i) == ' ');
      for (std::size_t i = 0; i < line.size(); ++i) {
        ZENTRILL_FUZZ_CHECK(terminal.at(start + i) == line[i]);
      }
      for (std::size_t i = start + line.size(); i < terminal.end_of_screen(); ++i) {
        ZENTRILL_FUZZ_CHECK(terminal.at(i) == ' ');
      }
    }
    if (model.done) {
      // On the row of the line's last character, ready for the line end.
      const std::size_t last = start + (line.empty() ? 0 : line.size() - 1);
      ZENTRILL_FUZZ_CHECK(terminal.row() == last / columns);
    } else {
      ZENTRILL_FUZZ_CHECK(!terminal.waiting());
      ZENTRILL_FUZZ_CHECK(terminal.cursor_index() == start + model.cursor);
    }
  }
}

}  // namespace
}  // namespace zentrill

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zentrill;
  if (size < 3) return 0;
  // Widths from 0 (taken as 1) to 100 columns; the prompt may wrap, but does
  // not end exactly at the right edge.
  const std::size_t width = data[0] % 101;
  const std::size_t columns = std::max<std::size_t>(width, 1);
  std::size_t start = data[1] % (3 * columns);
  if (start % columns == 0) start = 0;
  const bool on_screen = data[2] % 2 == 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 3), size - 3);

  const std::vector<Key> keys = decode(bytes);
  ZENTRILL_FUZZ_CHECK(keys.size() <= bytes.size());
  ZENTRILL_FUZZ_CHECK(decode_byte_by_byte(bytes) == keys);
  check_splits(bytes, keys);
  check_inserted_sequences(bytes, keys);
  check_line_editor(keys, width, start, on_screen);
  return 0;
}
