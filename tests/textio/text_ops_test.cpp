#include "textio/text_ops.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace zentrill {
namespace {

TEST(UpperCase, ChangesOnlyAsciiLetters) {
  using namespace std::string_view_literals;
  const std::string_view lower = "yc#3-az{`@\xE9\xFF\0H"sv;
  const std::string_view upper = "YC#3-AZ{`@\xE9\xFF\0H"sv;
  for (std::size_t i = 0; i < lower.size(); ++i) EXPECT_EQ(upper_case(lower[i]), upper[i]) << i;
}

TEST(NumericValue, IsTheNumberATextStartsWith) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const struct {
    std::string text;
    double value;
  } cases[] = {
      {"", 0},        {" ", 0},          {"7", 7},          {"7x", 7},
      {"x7", 0},      {"1.5D1", 15},     {"1.5d1", 15},     {"1.5e1", 15},
      {"&B101", 5},   {"&H10", 16},      {"&h1f", 31},      {"&O17", 15},
      {"&17", 15},    {"&9", 0},         {"12", 12},        {"12 frames", 12},
      {"  -3.5", -3.5}, {"\t4", 4},      {"+2", 2},         {".5", 0.5},
      {"5.", 5},      {"1e", 1},         {"1e+", 1},        {"1e3x", 1000},
      {"-", 0},       {".", 0},          {"0", 0},          {"1", 1},
      {"9", 9},       {"nan", 0},        {"inf", 0},        {"NaN", 0},
      {"infinity", 0}, {"0x10", 0},      {"0x1p3", 0},      {"-.25e1", -2.5},
      {"1200.4", 1200.4}, {"&", 0},      {"&H", 0},
      {std::string("\0H", 2), 0}, {std::string("\0" "5", 2), 0},  // a zero byte first
      // Ampersand integers wrap at 64 bits.
      {"&HFFFFFFFFFFFFFFFF", -1}, {"&H10000000000000001", 1}, {"&H7FFFFFFFFFFFFFFF", 9223372036854775807.0},
      // Decimals out of the double's range become infinity or zero.
      {"1e400", kInf}, {"-1e400", -kInf}, {"1e-400", 0},
      {"4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()},
  };
  for (const auto& c : cases) EXPECT_EQ(numeric_value(c.text), c.value) << '"' << c.text << '"';
}

TEST(NumericItemValue, FollowsTheIntegerAndDecimalRules) {
  const struct {
    const char* item;
    double value;
  } cases[] = {
      {"", 0},
      {"1e3", 1000},          // d3 has become e3 while collecting
      {"&H1F", 31},
      {"&17", 15},
      {"abc", 0},
      {"12abc", 12},
      {"-5", -5},
      {"+5", 5},
      {"2.5", 2.5},
      {"123456789", 123456789},
      {"123456789012345678", 123456789012345678.0},
      {"-12345678901234567", -12345678901234567.0},
      // More than 18 characters without a point: a correctly rounded decimal.
      {"1234567890123456789", 1234567890123456789.0},
      {"12345678901234567890", 12345678901234567890.0},
      {"&H1e", 30},           // an exponent letter after '&' is a digit
      {"&H10.5", 16},
      {"1.5&", 1.5},
      {"155.5634918610405", 155.5634918610405},
      {"65.40650177001953", static_cast<double>(65.4065f)},
      {"nan", 0},
      {"inf", 0},
      {"1.0nan", 1},
      {"e5", 0},
      {".", 0},
      {"&", 0},
      {"&HFFFFFFFFFFFFFFFF", -1},
      {"&HFFFFFFFFFFFFFFFFFF", -1},
      // Sixteen digits read back to the nearest double, which is not exactly
      // twice the single 65.4065 (see the file slots' number lines).
      {"130.8130035400391", 130.8130035400391},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(numeric_item_value(c.item), c.value) << '"' << c.item << '"';
  }
}

}  // namespace
}  // namespace zentrill
