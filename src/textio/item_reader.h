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
// The characters some rule of read_item is about, and the end mark; any other
// character just joins the item, after a single look-up.
inline constexpr std::array<bool, 256> kRuledCharacters = [] {
  std::array<bool, 256> ruled{};
  for (const char c : std::string_view("\n\r\t ,\"dD&")) ruled[static_cast<unsigned char>(c)] = true;
  ruled[static_cast<unsigned char>(kEndOfFileMark)] = true;
  return ruled;
}();
}  // namespace item_reader_internal

// Reads one item from `stream`, which provides
//   int next();             // the next byte as 0-255, or kEndOfData
//   void push_back(char);   // one character handed back for the next read
// and may provide, to hand over runs of characters at once,
//   std::string_view lookahead();  // the bytes next() would give next, one for
//                                  // one up to the first CR or end mark
//   void skip(std::size_t);        // takes that many of them
// Leading blanks and TABs are skipped; the item ends at LF, CR (with an LF
// right after it), an unquoted comma, the end of the data, or - for a numeric
// item - an unquoted blank or TAB, after which blanks, TABs and one following
// separator are consumed. A double quote opening an item quotes commas and
// blanks up to the next double quote. At the limit the item ends as after a
// blank. A character that ends an item without belonging to it is pushed back.
// The item replaces the contents of `item`, whose capacity a caller reading
// many items can keep.
template <class Stream>
void read_item(Stream& stream, ItemKind kind, std::string& item) {
  const std::size_t limit = kind == ItemKind::numeric ? kNumericItemLimit : kTextItemLimit;
  const auto is_blank = [](int c) { return c == ' ' || c == '\t'; };

  // After the item: blanks and TABs, then one comma or line end, are consumed;
  // any other character is left for the next item.
  const auto trailing_step = [&](int c) {
    while (is_blank(c)) c = stream.next();
    if (c == '\r') {
      const int after = stream.next();
      if (after != '\n' && after != kEndOfData) stream.push_back(static_cast<char>(after));
    } else if (c != ',' && c != '\n' && c != kEndOfData) {
      stream.push_back(static_cast<char>(c));
    }
  };

  item.clear();
  int c = stream.next();
  while (is_blank(c)) c = stream.next();
  bool quoted = false;
  bool ampersand_seen = false;
  for (;; c = stream.next()) {
    if (c == kEndOfData || item_reader_internal::kRuledCharacters[static_cast<std::size_t>(c)]) {
      if (c == kEndOfData || c == '\n') return;
      if (c == '\r') {
        const int after = stream.next();
        if (after != '\n' && after != kEndOfData) stream.push_back(static_cast<char>(after));
        return;
      }
      if (!quoted && c == ',') return;
      if (!quoted && is_blank(c) && kind == ItemKind::numeric) {
        trailing_step(c);
        return;
      }
      if (c == '"') {
        if (quoted) {
          quoted = false;
          if (kind == ItemKind::numeric) continue;
          trailing_step(stream.next());
          return;
        }
        if (item.empty()) {
          quoted = true;
          continue;
        }
      }
      if (kind == ItemKind::numeric && !ampersand_seen) {
        if (c == 'd') c = 'e';
        if (c == 'D') c = 'E';
      }
      if (c == '&') ampersand_seen = true;
    }
    item.push_back(static_cast<char>(c));
    if constexpr (requires { stream.lookahead(); }) {
      // The ordinary characters after it join the item in one go.
      const std::string_view ahead = stream.lookahead().substr(0, limit - item.size());
      std::size_t count = 0;
      while (count < ahead.size() &&
             !item_reader_internal::kRuledCharacters[static_cast<unsigned char>(ahead[count])]) {
        ++count;
      }
      item.append(ahead.data(), count);
      stream.skip(count);
    }
    if (item.size() == limit) {
      trailing_step(stream.next());
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
