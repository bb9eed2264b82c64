#include "glide/frequency_list_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zentrill {
namespace {

TEST(FrequencyListReader, TakesOneDecimalALineSkippingBlankAndCommentLines) {
  const struct {
    std::string text;
    std::vector<double> frequencies;
  } cases[] = {
      {"", {}},
      {"440", {440}},
      {"# a riser\n\n \t\r\n1.1e2\r\n-.5\n+3.\n155.5634918610405\r\n", {110, -0.5, 3, 155.5634918610405}},
  };
  for (const auto& c : cases) {
    const FrequencyListRead list = read_frequency_list(c.text);
    EXPECT_FALSE(list.bad_line) << c.text;
    EXPECT_EQ(list.frequencies, c.frequencies) << c.text;
  }
}

TEST(FrequencyListReader, NamesTheFirstLineThatIsNotAFiniteDecimal) {
  const struct {
    std::string text;
    std::uint64_t number;
    std::string line;
    bool too_large = false;
  } cases[] = {{"440\n 440\n", 2, " 440"}, {"1d2", 1, "1d2"},     {"#\n\ninf\nx", 3, "inf"},
               {"1e", 1, "1e"},            {"0x10", 1, "0x10"},   {"1,5", 1, "1,5"},
               {"440\r\r\n", 1, "440\r"},  {"1e400", 1, "1e400", true}};
  for (const auto& c : cases) {
    const FrequencyListRead list = read_frequency_list(c.text);
    ASSERT_TRUE(list.bad_line) << c.text;
    EXPECT_EQ(list.bad_line->number, c.number) << c.text;
    EXPECT_EQ(list.bad_line->text, c.line) << c.text;
    EXPECT_EQ(list.bad_line->too_large, c.too_large) << c.text;
    EXPECT_TRUE(list.frequencies.empty()) << c.text;
  }
}

}  // namespace
}  // namespace zentrill
