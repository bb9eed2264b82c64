// Cutting characters into items: a text line's values, a typed line's first.
#ifndef ZENTRILL_TEXTIO_ITEM_READER_H_
#define ZENTRILL_TEXTIO_ITEM_READER_H_

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace zentrill {

inline constexpr int kEndOfData = -1;

// Ends a text file's data (file_slots.h); never taken from a lookahead.
inline constexpr char kEndOfFileMark = 0x1A;

enum class ItemKind {
  numeric,  // ends at a blank; d and D become e and E unless an '&' came first
  text,     // keeps inner and trailing blanks
};

inline constexpr std::size_t kNumericItemLimit = 67;
inline constexpr std::size_t kTextItemLimit = 4096;

namespace item_reader_internal {

// The bytes no rule of item reading is about: they join the item as they are.
inline constexpr std::array<bool, 256> kOrdinary = [] {
  std::array<bool, 256> ordinary{};
  ordinary.fill(true);
  for (const char c : std::string_view("\n\r\t ,\"dD&")) ordinary[static_cast<unsigned char>(c)] = false;
  ordinary[static_cast<unsigned char>(kEndOfFileMark)] = false;
  return ordinary;
}();

inline bool is_blank(int c) { return c == ' ' || c == '\t'; }

// After a CR an LF belongs to the separator; any other character goes back.
template <class Stream>
void take_separator(Stream& stream, int c) {
  if (c != '\r') return;
  const int after = stream.next();
  if (after != '\n' && after != kEndOfData) stream.push_back(static_cast<char>(after));
}

// From `c`, which stopped the item: blanks, then a separator if one comes.
template <class Stream>
void trailing_step(Stream& stream, int c) {
  while (is_blank(c)) c = stream.next();
  if (c == ',' || c == '\n' || c == '\r') {
    take_separator(stream, c);
  } else if (c != kEndOfData) {
    stream.push_back(static_cast<char>(c));
  }
}

// A stream with lookahead() hands over a run of ordinary bytes at once.
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

// `stream` has int next() (a byte or kEndOfData) and push_back(char), and may
// have lookahead() (what next() would give, up to a CR or end mark) and
// skip(n). The item ends at a separator (LF, CR, CR LF, unquoted comma), which
// is taken; at the data's end; or, if numeric, at an unquoted blank, after
// which blanks and one separator are taken. An opening double quote protects
// commas and blanks up to the next one, which ends a text item as a blank ends
// a numeric one; so does the limit. `item` is reused, keeping its capacity.
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
