// The reading of text files over arbitrary file bytes: the end-of-file test,
// numeric and text items, and the value of a numeric item.
//
// The input is the whole file. It is read three times (numeric items only,
// text items only, and the two kinds in turn) through FileSlots and compared,
// item by item and test by test, with a plain model of the reading rules:
// CR LF delivered as LF, nothing from the first 0x1A byte on, and the cutting
// rules of item reading. Besides the model:
//   - reading ends: at most one item per byte of data;
//   - numeric items hold at most 67 characters, text items at most 4096, and
//     no item holds a CR, an LF or a 0x1A byte;
//   - once the end-of-file test is true it stays true, and a further read
//     gives an empty item;
//   - nothing from the first 0x1A byte on matters (the model never sees it);
//   - the file read across the edge of a 64 KiB read block gives the same
//     items;
//   - a numeric item's value is never NaN, and a plain decimal reads as
//     strtod reads it;
//   - the long and short number forms of every finite value are printf's
//     "%.16g" and "% .7g" (of the value made single), with three exponent
//     digits at least;
//   - every finite value is written as a number line in its long number
//     form and reads back to a value with the same form (but for powers of
//     ten that no double holds).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_check.h"
#include "memory_file_system.h"
#include "textio/file_slots.h"
#include "textio/item_reader.h"
#include "textio/number_form.h"
#include "textio/text_ops.h"

namespace zentrill {
namespace {

using test_support::MemoryFileSystem;

constexpr int kSlot = 1;
constexpr std::string_view kFileName = "freq.txt";
constexpr char kEndOfFileMark = 0x1A;
constexpr std::size_t kReadBufferSize = 64 * 1024;  // FileSlots reads files in such blocks

// The characters of a file as item reading sees them: each CR LF pair as one
// LF, and nothing from the first 0x1A byte on.
std::string delivered_characters(std::string_view file_bytes) {
  file_bytes = file_bytes.substr(0, file_bytes.find(kEndOfFileMark));
  std::string characters;
  for (std::size_t i = 0; i < file_bytes.size(); ++i) {
    if (file_bytes[i] == '\r' && i + 1 < file_bytes.size() && file_bytes[i + 1] == '\n') ++i;
    characters += file_bytes[i];
  }
  return characters;
}

// The model of reading: how far the items have taken the characters. A
// character that the rules leave for the next item, or push back, is one not
// taken yet; the end-of-file test is true once every character is taken.
class ModelFile {
 public:
  explicit ModelFile(std::string_view file_bytes) : characters_(delivered_characters(file_bytes)) {}

  // The next character, not taken, or kEndOfData.
  int peek() const {
    return taken_ < characters_.size() ? static_cast<unsigned char>(characters_[taken_]) : kEndOfData;
  }
  void take() { ++taken_; }
  bool at_end() const { return taken_ == characters_.size(); }
  std::size_t size() const { return characters_.size(); }

 private:
  std::string characters_;
  std::size_t taken_ = 0;
};

bool is_blank(int c) { return c == ' ' || c == '\t'; }

// A comma, an LF, or a CR with the LF right after it, when one comes next,
// is taken as the separator that ends an item.
void take_separator(ModelFile& file) {
  const int c = file.peek();
  if (c == ',' || c == '\n') {
    file.take();
  } else if (c == '\r') {
    file.take();
    if (file.peek() == '\n') file.take();
  }
}

// The trailing step, from the character that stopped the item: blanks and
// TABs are taken, then a separator; any other character is left.
void trailing_step(ModelFile& file) {
  while (is_blank(file.peek())) file.take();
  take_separator(file);
}

// One item, by the table of rules: each character is looked at, then taken
// or left for what comes after the item.
std::string model_item(ModelFile& file, ItemKind kind) {
  const bool numeric = kind == ItemKind::numeric;
  const std::size_t limit = numeric ? 67 : 4096;
  while (is_blank(file.peek())) file.take();
  std::string item;
  bool quoted = false;
  bool ampersand_kept = false;
  for (;;) {
    const int c = file.peek();
    if (c == kEndOfData) return item;
    const bool line_end = c == '\n' || c == '\r';
    if (line_end || (c == ',' && !quoted)) {
      take_separator(file);
      return item;
    }
    if (is_blank(c) && !quoted && numeric) {
      trailing_step(file);
      return item;
    }
    file.take();
    if (c == '"' && quoted) {
      quoted = false;
      if (numeric) continue;
      trailing_step(file);  // from the character after the quote
      return item;
    }
    if (c == '"' && item.empty()) {
      quoted = true;
      continue;
    }
    if (numeric && !ampersand_kept && c == 'd') {
      item += 'e';
    } else if (numeric && !ampersand_kept && c == 'D') {
      item += 'E';
    } else {
      item += static_cast<char>(c);
    }
    if (c == '&') ampersand_kept = true;
    if (item.size() == limit) {
      trailing_step(file);  // from the character after the item
      return item;
    }
  }
}

// The same characters as a plain stream, for read_item without the runs it
// takes at once from a file.
class PlainStream {
 public:
  explicit PlainStream(std::string_view file_bytes) : characters_(delivered_characters(file_bytes)) {}

  int next() {
    if (pushed_back_ != kEndOfData) return std::exchange(pushed_back_, kEndOfData);
    if (position_ == characters_.size()) return kEndOfData;
    return static_cast<unsigned char>(characters_[position_++]);
  }

  void push_back(char c) {
    ZENTRILL_FUZZ_CHECK(pushed_back_ == kEndOfData);  // one character at most
    pushed_back_ = static_cast<unsigned char>(c);
  }

  bool at_end() const { return pushed_back_ == kEndOfData && position_ == characters_.size(); }

 private:
  std::string characters_;
  std::size_t position_ = 0;
  int pushed_back_ = kEndOfData;
};

enum class Schedule { numeric, text, alternating };

ItemKind kind_of_item(Schedule schedule, std::size_t index) {
  switch (schedule) {
    case Schedule::numeric: return ItemKind::numeric;
    case Schedule::text: return ItemKind::text;
    case Schedule::alternating: break;
  }
  return index % 2 == 0 ? ItemKind::numeric : ItemKind::text;
}

// An item as the model cuts it, and a numeric item's value.
struct Item {
  std::string text;
  double value = 0;
};

bool same_double(double a, double b) {
  return std::signbit(a) == std::signbit(b) && (a == b || (std::isnan(a) && std::isnan(b)));
}

// The items of the file through FileSlots; checks the model at every step.
std::vector<Item> read_and_compare(const std::string& file_bytes, Schedule schedule) {
  MemoryFileSystem files;
  files.files[std::string(kFileName)] = file_bytes;
  FileSlots slots(files);
  slots.open_for_reading(kSlot, kFileName);

  ModelFile model(file_bytes);
  PlainStream plain(file_bytes);
  std::vector<Item> items;
  for (;;) {
    const bool at_end = slots.at_end(kSlot);
    ZENTRILL_FUZZ_CHECK(at_end == model.at_end());
    ZENTRILL_FUZZ_CHECK(at_end == plain.at_end());
    if (at_end) break;
    ZENTRILL_FUZZ_CHECK(items.size() < model.size());

    const ItemKind kind = kind_of_item(schedule, items.size());
    Item item;
    item.text = model_item(model, kind);
    ZENTRILL_FUZZ_CHECK(read_item(plain, kind) == item.text);
    ZENTRILL_FUZZ_CHECK(item.text.size() <= (kind == ItemKind::numeric ? kNumericItemLimit
                                                                       : kTextItemLimit));
    ZENTRILL_FUZZ_CHECK(item.text.find_first_of("\r\n\x1A") == std::string::npos);
    if (kind == ItemKind::numeric) {
      item.value = numeric_item_value(item.text);
      ZENTRILL_FUZZ_CHECK(!std::isnan(item.value));
      ZENTRILL_FUZZ_CHECK(same_double(slots.read_numeric_item(kSlot), item.value));
    } else {
      ZENTRILL_FUZZ_CHECK(slots.read_text_item(kSlot) == item.text);
      ZENTRILL_FUZZ_CHECK(!std::isnan(numeric_value(item.text)));
    }
    items.push_back(std::move(item));
  }

  // The end stays the end: nothing more comes out, of either kind.
  ZENTRILL_FUZZ_CHECK(slots.read_text_item(kSlot).empty());
  ZENTRILL_FUZZ_CHECK(slots.at_end(kSlot));
  ZENTRILL_FUZZ_CHECK(same_double(slots.read_numeric_item(kSlot), 0.0));
  ZENTRILL_FUZZ_CHECK(slots.at_end(kSlot));
  slots.close(kSlot);
  ZENTRILL_FUZZ_CHECK(slots.at_end(kSlot));
  return items;
}

// A line of blanks ahead of the file gives one empty item and moves every
// later byte by its length; the length is chosen so that the edge of the
// first read block falls inside the data: after the first CR, or before the
// first 0x1A, from a point the data picks on (a CR LF pair split over two
// blocks, a 0x1A that only the next block holds). Reading 64 KiB is slow next
// to everything else, so only inputs whose last byte is a multiple of 8 are
// read this way.
void check_read_block_edge(const std::string& file_bytes, const std::vector<Item>& items) {
  if (file_bytes.empty() || file_bytes.back() % 8 != 0) return;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(file_bytes[i]); };
  std::size_t edge =
      (byte(0) | std::size_t{byte(file_bytes.size() / 2)} << 8) % (file_bytes.size() + 1);
  const std::size_t mark = file_bytes.find_first_of("\r\x1A", edge);
  if (mark != std::string::npos) edge = file_bytes[mark] == '\r' ? mark + 1 : mark;
  std::string shifted(kReadBufferSize - edge - 1, ' ');
  shifted += '\n';
  shifted += file_bytes;

  MemoryFileSystem files;
  files.files[std::string(kFileName)] = shifted;
  FileSlots slots(files);
  slots.open_for_reading(kSlot, kFileName);
  ZENTRILL_FUZZ_CHECK(!slots.at_end(kSlot));
  ZENTRILL_FUZZ_CHECK(slots.read_text_item(kSlot).empty());
  for (const Item& item : items) {
    ZENTRILL_FUZZ_CHECK(!slots.at_end(kSlot));
    ZENTRILL_FUZZ_CHECK(slots.read_text_item(kSlot) == item.text);
  }
  ZENTRILL_FUZZ_CHECK(slots.at_end(kSlot));
}

// A whole item in the decimal grammar: sign, digits, point, digits,
// exponent; at least one mantissa digit.
bool is_plain_decimal(std::string_view text) {
  std::size_t i = 0;
  const auto digits = [&] {
    const std::size_t from = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    return i - from;
  };
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t mantissa = digits();
  if (i < text.size() && text[i] == '.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (digits() == 0) return false;
  }
  return i == text.size();
}

// What printf gives for the format, with the exponent widened to three
// digits at least.
std::string printf_form(const char* format, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  std::string text = buffer;
  const std::size_t e = text.find('e');
  if (e == std::string::npos) return text;
  const std::size_t digits = text.size() - (e + 2);  // after the exponent's sign
  if (digits < 3) text.insert(e + 2, 3 - digits, '0');
  return text;
}

// True for the form of a power of ten: 1, 1000, 0.001, 1e+034. A power of
// ten that no double holds may read back as the double just below it, where
// sixteen digits are ten times finer and give another form (1e+034 reads as
// a value whose form is 9.999999999999999e+033). Everywhere else the double
// nearest to a form has that form again.
bool is_power_of_ten(std::string_view form) {
  std::string digits;
  for (const char c : form.substr(0, form.find('e'))) {
    if (c >= '0' && c <= '9') digits += c;
  }
  const std::size_t first = digits.find_first_not_of('0');
  return first != std::string::npos && digits[first] == '1' &&
         digits.find_first_not_of('0', first + 1) == std::string::npos;
}

void check_numeric_values(const std::vector<Item>& items) {
  std::vector<double> written;
  for (const Item& item : items) {
    if (std::isfinite(item.value)) {
      ZENTRILL_FUZZ_CHECK(long_number_form(item.value) == printf_form("%.16g", item.value));
      const float single = static_cast<float>(item.value);
      if (std::isfinite(single)) {
        ZENTRILL_FUZZ_CHECK(short_number_form(single) == printf_form("% .7g", single));
      }
    }
    const bool fractional = item.text.find_first_of(".eE") != std::string::npos;
    if (fractional && is_plain_decimal(item.text)) {
      ZENTRILL_FUZZ_CHECK(same_double(item.value, std::strtod(item.text.c_str(), nullptr)));
    }
    // The form of the largest doubles reads back as infinity, and "-0" as
    // the integer 0; neither is a frequency.
    if (std::isfinite(item.value) && std::fabs(item.value) <= 1e308 && item.value != 0) {
      written.push_back(item.value);
    }
  }

  // The frequency list's round trip: number lines out, each the long form
  // and CR LF, and numeric items back.
  MemoryFileSystem files;
  FileSlots slots(files);
  slots.open_for_writing(kSlot, kFileName);
  std::string lines;
  for (double value : written) {
    slots.write_number_line(kSlot, value);
    lines += long_number_form(value) + "\r\n";
  }
  slots.close(kSlot);
  ZENTRILL_FUZZ_CHECK(files.files[std::string(kFileName)] == lines);
  slots.open_for_reading(kSlot, kFileName);
  for (double value : written) {
    ZENTRILL_FUZZ_CHECK(!slots.at_end(kSlot));
    const std::string form = long_number_form(value);
    const double read = slots.read_numeric_item(kSlot);
    ZENTRILL_FUZZ_CHECK(same_double(read, numeric_item_value(form)));
    ZENTRILL_FUZZ_CHECK(long_number_form(read) == form || is_power_of_ten(form));
  }
  ZENTRILL_FUZZ_CHECK(slots.at_end(kSlot));
}

}  // namespace
}  // namespace zentrill

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zentrill;
  const std::string file_bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<Item> numeric = read_and_compare(file_bytes, Schedule::numeric);
  const std::vector<Item> text = read_and_compare(file_bytes, Schedule::text);
  read_and_compare(file_bytes, Schedule::alternating);
  check_read_block_edge(file_bytes, text);
  check_numeric_values(numeric);
  return 0;
}
