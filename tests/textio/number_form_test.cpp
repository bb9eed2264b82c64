#include "textio/number_form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zentrill {
namespace {

TEST(LongNumberForm, HasSixteenDigitsAndThreeExponentDigits) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {110, "110"},
      {65.4064, "65.4064"},
      {0.1, "0.1"},
      {static_cast<double>(65.4065f), "65.40650177001953"},
      {2.0 * static_cast<double>(65.4065f), "130.8130035400391"},
      {static_cast<double>(123.471f), "123.4710006713867"},
      {1e15, "1000000000000000"},
      {1e16, "1e+016"},
      {1e20, "1e+020"},
      {0.0001, "0.0001"},
      {0.00001, "1e-005"},
      {-2.5, "-2.5"},
      {0, "0"},
      {1.5e100, "1.5e+100"},
      {1e-300, "1e-300"},
      {155.5634918610405, "155.5634918610405"},
      {311.126983722081, "311.126983722081"},
      {std::numeric_limits<double>::max(), "1.797693134862316e+308"},
      {std::numeric_limits<double>::denorm_min(), "4.940656458412465e-324"},
      {std::numeric_limits<double>::infinity(), "inf"},
      {-std::numeric_limits<double>::infinity(), "-inf"},
      {std::nan(""), "nan"},
  };
  for (const auto& c : cases) EXPECT_EQ(long_number_form(c.value), c.text) << c.text;
}

TEST(ShortNumberForm, HasSevenDigitsAndABlankBeforeANonNegativeValue) {
  const struct {
    float value;
    const char* text;
  } cases[] = {
      {3, " 3"},
      {10, " 10"},
      {0.5f, " 0.5"},
      {65.4065f, " 65.4065"},
      {0.0000001f, " 1e-007"},
      {123456789.0f, " 1.234568e+008"},
      {-1, "-1"},
      {0, " 0"},
      {7, " 7"},
      {1234567.0f, " 1234567"},
      {12345678.0f, " 1.234568e+007"},
      {0.0001f, " 0.0001"},
      {-0.00001f, "-1e-005"},
      // Whole numbers below 10^7 take a shorter way to the same digits.
      {9999999.0f, " 9999999"},
      {-7654321.0f, "-7654321"},
      {10000000.0f, " 1e+007"},
      {-0.0f, "-0"},
      {2.5f, " 2.5"},
  };
  for (const auto& c : cases) EXPECT_EQ(short_number_form(c.value), c.text) << c.text;
}

TEST(RemoveLeadingBlanks, OnlyBlanksAreDropped) {
  EXPECT_EQ(remove_leading_blanks(" 3"), "3");
  EXPECT_EQ(remove_leading_blanks("   "), "");
  EXPECT_EQ(remove_leading_blanks(""), "");
  EXPECT_EQ(remove_leading_blanks(" \t 3"), "\t 3");
  EXPECT_EQ(remove_leading_blanks("-1 "), "-1 ");
  EXPECT_EQ(remove_leading_blanks(remove_leading_blanks(short_number_form(1e-7f))), "1e-007");
}

TEST(HexadecimalForm, IsUpperCaseTwosComplement) {
  const struct {
    std::int64_t value;
    const char* text;
  } cases[] = {
      {0, "0"},
      {10, "A"},
      {15, "F"},
      {128, "80"},
      {255, "FF"},
      {4096, "1000"},
      {72, "48"},
      {186, "BA"},
      {-1, "FFFFFFFFFFFFFFFF"},
      {std::numeric_limits<std::int64_t>::min(), "8000000000000000"},
      {std::numeric_limits<std::int64_t>::max(), "7FFFFFFFFFFFFFFF"},
  };
  for (const auto& c : cases) EXPECT_EQ(hexadecimal_form(c.value), c.text) << c.text;
}

constexpr std::int16_t kSmallest16 = std::numeric_limits<std::int16_t>::min();
constexpr std::int32_t kSmallest32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kSmallest64 = std::numeric_limits<std::int64_t>::min();

TEST(FloatToInteger, NearestHalvesToEvenAndSmallestWhenOutOfRange) {
  // Extended precision holds every bound exactly: 2^15, 2^31 and 2^63 are
  // the first values out of range, -2^15, -2^31 and -2^63 the last in it.
  const struct {
    long double value;
    std::int16_t int16;
    std::int32_t int32;
    std::int64_t int64;
  } cases[] = {
      {2.5L, 2, 2, 2},
      {3.5L, 4, 4, 4},
      {-2.5L, -2, -2, -2},
      {128.5L, 128, 128, 128},
      {129.5L, 130, 130, 130},
      {150.842023567702L, 151, 151, 151},
      {32767.0L, 32767, 32767, 32767},
      {32767.5L, kSmallest16, 32768, 32768},
      {32768.0L, kSmallest16, 32768, 32768},
      {-32768.0L, -32768, -32768, -32768},
      {-32768.5L, -32768, -32768, -32768},
      {-32769.0L, kSmallest16, -32769, -32769},
      {2147483647.0L, kSmallest16, 2147483647, 2147483647},
      {2147483648.0L, kSmallest16, kSmallest32, 2147483648},
      {-2147483648.0L, kSmallest16, -2147483648, -2147483648},
      {-2147483649.0L, kSmallest16, kSmallest32, -2147483649},
      {9223372036854775807.0L, kSmallest16, kSmallest32, std::numeric_limits<std::int64_t>::max()},
      {9223372036854775808.0L, kSmallest16, kSmallest32, kSmallest64},
      {-9223372036854775808.0L, kSmallest16, kSmallest32, kSmallest64},
      {-9223372036854775809.0L, kSmallest16, kSmallest32, kSmallest64},
      {std::numeric_limits<long double>::infinity(), kSmallest16, kSmallest32, kSmallest64},
      {std::nanl(""), kSmallest16, kSmallest32, kSmallest64},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(to_integer<std::int16_t>(c.value), c.int16) << c.value;
    EXPECT_EQ(to_integer<std::int32_t>(c.value), c.int32) << c.value;
    EXPECT_EQ(to_integer<std::int64_t>(c.value), c.int64) << c.value;
  }
}

TEST(FloatToInteger, DoubleGivesWhatItsLongDoubleGives) {
  const double cases[] = {2.5,
                          3.5,
                          -2.5,
                          128.5,
                          150.842023567702,
                          0.49999999999999994,
                          -0.5,
                          2147483647.0,
                          2147483648.0,
                          -2147483648.0,
                          -2147483649.0,
                          9223372036854774784.0,  // the largest double below 2^63
                          9223372036854775808.0,  // 2^63: out of range
                          -9223372036854775808.0,
                          -9223372036854777856.0,  // the next double below -2^63
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(),
                          std::nan("")};
  for (const double value : cases) {
    const long double wide = value;
    EXPECT_EQ(to_int64(value), to_integer<std::int64_t>(wide)) << value;
  }
  EXPECT_EQ(to_int64(186.5), 186);
  EXPECT_EQ(to_int64(9223372036854775808.0), kSmallest64);
  EXPECT_EQ(to_int64(-9223372036854775808.0), kSmallest64);
}

}  // namespace
}  // namespace zentrill
