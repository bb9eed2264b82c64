// Cutting a stream of characters into items: the values of a text file line,
// or the first value of a typed line.
#ifndef ZENTRILL_TEXTIO_ITEM_READER_H_
#define ZENTRILL_TEXTIO_ITEM_READER_H_

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace zentrill {

// What a character stream gives once its data has ended.
inline constexpr int kEndOfData = -1;

// The byte that ends a text file's data (file_slots.h); the item reader only
// knows it as a byte it never takes from a stream's lookahead.
inline constexpr char kEndOfFileMark = 0x1A;

enum class ItemKind {
  numeric,  // ends at a blank; d and D become e and E unless an '&' came first
  text,     // keeps inner and trailing blanks
};

inline constexpr std::size_t kNumericItemLimit = 67;
inline constexpr std::size_t kTextItemLimit = 4096;

namespace item_reader_internal {

// The characters no rule of item reading is about: they join the item as
// they are. Every other byte is a separator, a blank or TAB, a double quote,
// d or D, &, or the end mark.
inline constexpr std::array<bool, 256> kOrdinary = [] {
  std::array<bool, 256> ordinary{};
  ordinary.fill(true);
  for (const char c : std::string_view("\n\r\t ,\"dD&")) ordinary[static_cast<unsigned char>(c)] = false;
  ordinary[static_cast<unsigned char>(kEndOfFileMark)] = false;
  return ordinary;
}();

inline bool is_blank(int c) { return c == ' ' || c == '\t'; }

// `c`, just read, ends an item as a separator: a comma or LF alone, or a CR
// together with an LF right after it; any other character after the CR is
// pushed back.
template <class Stream>
void take_separator(Stream& stream, int c) {
  if (c != '\r') return;
  const int after = stream.next();
  if (after != '\n' && after != kEndOfData) stream.push_back(static_cast<char>(after));
}

// The trailing step after an item, `c` being the character that stopped it:
// blanks and TABs, then one separator, are consumed; any other character is
// pushed back for the next item.
template <class Stream>
void trailing_step(Stream& stream, int c) {
  while (is_blank(c)) c = stream.next();
  if (c == ',' || c == '\n' || c == '\r') {
    take_separator(stream, c);
  } else if (c != kEndOfData) {
    stream.push_back(static_cast<char>(c));
  }
}

// Appends to `item`, short of `limit`, the ordinary characters the stream
// has at hand, all at once, when it can hand them over so (see read_item).
template <class Stream>
void append_ordinary_run(Stream& stream, std::string& item, std::size_t limit) {
  if constexpr (requires { stream.lookahead(); }) {
    const std::string_view ahead = stream.lookahead().substr(0, limit - item.size());
    std::size_t count = 0;
    while (count < ahead.size() && kOrdinary[static_cast<unsigned char>(ahead[count])]) ++count;
    item.append(ahead.data(), count);
    stream.skip(count);
  }
}

}  // namespace item_reader_internal

// Reads one item from `stream`, which provides
//   int next();             // the next byte as 0-255, or kEndOfData
//   void push_back(char);   // one character handed back for the next read
// and may provide, to hand over runs of characters at once,
//   std::string_view lookahead();  // the bytes next() would give next, one for
//                                  // one up to the first CR or end mark
//   void skip(std::size_t);        // takes that many of them
// Leading blanks and TABs are skipped; the item ends at a separator (LF, CR
// with an LF right after it, an unquoted comma), which is taken, at the end of
// the data, or - for a numeric item - at an unquoted blank or TAB, after which
// blanks, TABs and one separator are taken. A double quote opening an item
// quotes commas and blanks up to the next double quote, which ends a text
// item as a blank ends a numeric one. At the limit the item ends as after a
// blank. A character read after the item and not taken is pushed back.
// The item replaces the contents of `item`, whose capacity a caller reading
// many items can keep.
template <class Stream>
void read_item(Stream& stream, ItemKind kind, std::string& item) {
  using namespace item_reader_internal;
  const bool numeric = kind == ItemKind::numeric;
  const std::size_t limit = numeric ? kNumericItemLimit : kTextItemLimit;

  item.clear();
  int c = stream.next();
  while (is_blank(c)) c = stream.next();
  bool quoted = false;
  bool ampersand_seen = false;
  for (;; c = stream.next()) {
    if (c == kEndOfData) return;
    if (c == '\n' || c == '\r' || (c == ',' && !quoted)) {
      take_separator(stream, c);
      return;
    }
    if (is_blank(c) && !quoted && numeric) {
      trailing_step(stream, c);
      return;
    }
    if (c == '"' && quoted) {
      quoted = false;
      if (numeric) continue;
      trailing_step(stream, stream.next());
      return;
    }
    if (c == '"' && item.empty()) {
      quoted = true;
      continue;
    }
    if (numeric && !ampersand_seen && (c == 'd' || c == 'D')) c += 'e' - 'd';
    if (c == '&') ampersand_seen = true;
    item.push_back(static_cast<char>(c));
    append_ordinary_run(stream, item, limit);
    if (item.size() == limit) {
      trailing_step(stream, stream.next());
      return;
    }
  }
}

template <class Stream>
std::string read_item(Stream& stream, ItemKind kind) {
  std::string item;
  read_item(stream, kind, item);
  return item;
}

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_ITEM_READER_H_
