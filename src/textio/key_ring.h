// The pending keys: a ring of 512 entries holding at most 511 keys in the
// order they arrived. A full ring refuses a key rather than dropping the
// oldest; the console takes bytes from the terminal only while there is room
// for every key they can make, so no key is lost.
#ifndef ZENTRILL_TEXTIO_KEY_RING_H_
#define ZENTRILL_TEXTIO_KEY_RING_H_

#include <array>
#include <cstddef>
#include <optional>

#include "textio/key.h"

namespace zentrill {

class KeyRing {
 public:
  static constexpr std::size_t kEntries = 512;
  static constexpr std::size_t kCapacity = kEntries - 1;

  std::size_t size() const { return (tail_ + kEntries - head_) % kEntries; }
  std::size_t room() const { return kCapacity - size(); }
  bool empty() const { return head_ == tail_; }

  // False, leaving the ring as it was, when it is full.
  bool push(Key key) {
    const std::size_t next = (tail_ + 1) % kEntries;
    if (next == head_) return false;
    entries_[tail_] = key;
    tail_ = next;
    return true;
  }

  // The oldest key, removed; nothing when the ring is empty.
  std::optional<Key> pop() {
    if (empty()) return std::nullopt;
    const Key key = entries_[head_];
    head_ = (head_ + 1) % kEntries;
    return key;
  }

 private:
  std::array<Key, kEntries> entries_{};
  std::size_t head_ = 0;  // the oldest key
  std::size_t tail_ = 0;  // where the next key goes
};

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_KEY_RING_H_
