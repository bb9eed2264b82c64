#include "textio/number_form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zentrill {
namespace {

TEST(LongNumberForm, SixteenDigitsWithThreeExponentDigits) {
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
  };
  for (const auto& c : cases) EXPECT_EQ(long_number_form(c.value), c.text) << c.text;
}

TEST(LongNumberForm, NonFiniteValues) {
  EXPECT_EQ(long_number_form(std::numeric_limits<double>::infinity()), "inf");
  EXPECT_EQ(long_number_form(-std::numeric_limits<double>::infinity()), "-inf");
  EXPECT_EQ(long_number_form(std::nan("")), "nan");
}

TEST(ShortNumberForm, SevenDigitsWithBlankForNonNegative) {
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

TEST(HexadecimalForm, UpperCaseTwosComplement) {
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

TEST(ByteText, LowEightBits) {
  EXPECT_EQ(byte_text(std::int64_t{0}), std::string(1, '\0'));
  EXPECT_EQ(byte_text(std::int64_t{255}), "\xFF");
  EXPECT_EQ(byte_text(std::int64_t{256}), std::string(1, '\0'));
  EXPECT_EQ(byte_text(std::int64_t{300}), "\x2C");
  EXPECT_EQ(byte_text(std::int64_t{-1}), "\xFF");
  EXPECT_EQ(byte_text(std::int64_t{10}), "\n");
  // A floating value goes through the 32-bit conversion first.
  EXPECT_EQ(byte_text(2.5), "\x02");
  EXPECT_EQ(byte_text(3.5), "\x04");
  EXPECT_EQ(byte_text(-1.0), "\xFF");
  EXPECT_EQ(byte_text(1e10), std::string(1, '\0'));  // out of range: -2147483648
}

TEST(FloatToInteger, NearestHalvesToEvenAndSmallestWhenOutOfRange) {
  EXPECT_EQ(to_int16(2.5L), 2);
  EXPECT_EQ(to_int16(3.5L), 4);
  EXPECT_EQ(to_int16(-2.5L), -2);
  EXPECT_EQ(to_int16(32767.0L), 32767);
  EXPECT_EQ(to_int16(32767.5L), -32768);
  EXPECT_EQ(to_int16(-32768.5L), -32768);
  EXPECT_EQ(to_int16(-32769.0L), -32768);
  EXPECT_EQ(to_int32(128.5L), 128);
  EXPECT_EQ(to_int32(129.5L), 130);
  EXPECT_EQ(to_int32(2147483647.0L), 2147483647);
  EXPECT_EQ(to_int32(2147483648.0L), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(to_int32(std::nanl("")), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(to_int64(150.842023567702L), 151);
  EXPECT_EQ(to_int64(9223372036854775807.0L), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(to_int64(9223372036854775808.0L), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(to_int64(std::numeric_limits<long double>::infinity()),
            std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(to_int64(std::nanl("")), std::numeric_limits<std::int64_t>::min());
}

TEST(FloatToInteger, DoubleGivesWhatItsLongDoubleGives) {
  const double cases[] = {2.5,
                          3.5,
                          -2.5,
                          128.5,
                          150.842023567702,
                          0.49999999999999994,
                          -0.5,
                          9223372036854774784.0,  // the largest double below 2^63
                          9223372036854775808.0,  // 2^63: out of range
                          -9223372036854775808.0,
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(),
                          std::nan("")};
  for (const double value : cases) {
    EXPECT_EQ(to_int64(value), to_int64(static_cast<long double>(value))) << value;
  }
  EXPECT_EQ(to_int64(186.5), 186);
  EXPECT_EQ(to_int64(9223372036854775808.0), std::numeric_limits<std::int64_t>::min());
}

}  // namespace
}  // namespace zentrill
