#include "screen_model.h"

#include <algorithm>

namespace zentrill::test_support {

ScreenModel::ScreenModel(std::size_t width) : width_(std::max<std::size_t>(width, 1)) {}

std::string& ScreenModel::row_cells(std::size_t row) {
  if (rows_.size() <= row) rows_.resize(row + 1, std::string(width_, ' '));
  return rows_[row];
}

void ScreenModel::put(char c) {
  if (waiting_to_wrap_) {
    ++row_;
    column_ = 0;
    waiting_to_wrap_ = false;
  }
  row_cells(row_)[column_] = c;
  if (column_ + 1 < width_) {
    ++column_;
  } else {
    waiting_to_wrap_ = true;
  }
}

void ScreenModel::play(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (b == 0x1B) {
      i = control_sequence(bytes, i);
    } else if (b == '\r') {
      column_ = 0;
      waiting_to_wrap_ = false;
    } else if (b == '\n') {
      ++row_;
      waiting_to_wrap_ = false;
    } else if (b >= 0x20 && b != 0x7F) {
      put(static_cast<char>(b));
    }
  }
}

std::size_t ScreenModel::control_sequence(std::string_view bytes, std::size_t at) {
  if (at + 1 >= bytes.size() || bytes[at + 1] != '[') return at;
  std::size_t i = at + 2;
  std::size_t n = 0;
  bool has_n = false;
  while (i < bytes.size() && ((bytes[i] >= '0' && bytes[i] <= '9') || bytes[i] == ';')) {
    if (bytes[i] != ';') n = n * 10 + static_cast<std::size_t>(bytes[i] - '0');
    has_n = true;
    ++i;
  }
  if (i == bytes.size()) return i - 1;
  const std::size_t count = has_n ? std::max<std::size_t>(n, 1) : 1;
  waiting_to_wrap_ = false;
  switch (bytes[i]) {
    case 'A': row_ -= std::min(row_, count); break;
    case 'B': row_ += count; break;
    case 'C': column_ = std::min(width_ - 1, column_ + count); break;
    case 'D': column_ -= std::min(column_, count); break;
    case 'H': row_ = column_ = 0; break;
    case 'K':
      std::fill(row_cells(row_).begin() + static_cast<std::ptrdiff_t>(column_), row_cells(row_).end(), ' ');
      break;
    case 'J':
      if (has_n && n == 2) {
        rows_.clear();
        break;
      }
      std::fill(row_cells(row_).begin() + static_cast<std::ptrdiff_t>(column_), row_cells(row_).end(), ' ');
      if (rows_.size() > row_ + 1) rows_.resize(row_ + 1);
      break;
    default: break;
  }
  return i;
}

void ScreenModel::resize(std::size_t width) {
  width_ = std::max<std::size_t>(width, 1);
  for (std::string& cells : rows_) cells.resize(width_, ' ');
  column_ = std::min(column_, width_ - 1);
  waiting_to_wrap_ = false;
}

std::vector<std::string> ScreenModel::rows() const {
  std::vector<std::string> out;
  for (const std::string& cells : rows_) out.push_back(cells.substr(0, cells.find_last_not_of(' ') + 1));
  while (!out.empty() && out.back().empty()) out.pop_back();
  return out;
}

}  // namespace zentrill::test_support
