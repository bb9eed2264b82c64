#include "textio/key_ring.h"

#include <gtest/gtest.h>

namespace zentrill {
namespace {

Key nth_key(std::size_t n) { return n % 3 == 0 ? Key::of(KeyCode::up) : Key::character(static_cast<char>(n)); }

TEST(KeyRing, HoldsAtMost511KeysAndRefusesTheNextWithoutLosingAny) {
  KeyRing ring;
  for (std::size_t n = 0; n < 511; ++n) ASSERT_TRUE(ring.push(nth_key(n))) << n;
  EXPECT_EQ(ring.size(), 511u);
  EXPECT_EQ(ring.room(), 0u);
  EXPECT_FALSE(ring.push(Key::character('z')));
  for (std::size_t n = 0; n < 511; ++n) EXPECT_EQ(ring.pop(), nth_key(n)) << n;
  EXPECT_EQ(ring.pop(), std::nullopt);
}

TEST(KeyRing, KeepsArrivalOrderAcrossTheWrap) {
  KeyRing ring;
  std::size_t pushed = 0;
  std::size_t popped = 0;
  // Rounds of 300 in, 200 out pass the end of the entries several times.
  for (int round = 0; round < 10; ++round) {
    while (ring.room() > 0 && pushed < popped + 300 + 211) ASSERT_TRUE(ring.push(nth_key(pushed++)));
    for (int i = 0; i < 200 && !ring.empty(); ++i) ASSERT_EQ(ring.pop(), nth_key(popped++));
    ASSERT_EQ(ring.size(), pushed - popped);
    ASSERT_EQ(ring.room(), 511 - (pushed - popped));
  }
  while (!ring.empty()) ASSERT_EQ(ring.pop(), nth_key(popped++));
  EXPECT_EQ(popped, pushed);
}

TEST(KeyRing, GivesNothingWhenEmpty) {
  KeyRing ring;
  EXPECT_TRUE(ring.empty());
  EXPECT_EQ(ring.pop(), std::nullopt);
  ring.push(Key::character('a'));
  EXPECT_EQ(ring.pop(), Key::character('a'));
  EXPECT_EQ(ring.pop(), std::nullopt);
}

}  // namespace
}  // namespace zentrill
