// The go-to box's numbers: parsing in either radix and the radix switch.
#include "document/goto_text.h"

#include <gtest/gtest.h>

#include <climits>

namespace varnock {
namespace {

constexpr auto kHex = GotoRadix::Hex;
constexpr auto kDec = GotoRadix::Dec;

struct ParseCase {
  const char* text;
  GotoRadix radix;
  std::optional<int32_t> value;
};
void PrintTo(const ParseCase& c, std::ostream* os) {
  *os << '"' << c.text << (c.radix == kHex ? "\" hex" : "\" dec");
}

class ParseGotoTextTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseGotoTextTest, ReadsWholeNumbersOnly) {
  EXPECT_EQ(ParseGotoText(GetParam().text, GetParam().radix), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    GotoText, ParseGotoTextTest,
    ::testing::Values(
        ParseCase{"100", kHex, 256}, ParseCase{"100", kDec, 100}, ParseCase{"FF", kHex, 255},
        ParseCase{"ff", kHex, 255}, ParseCase{"FFFFFFFF", kHex, -1},
        ParseCase{"FFFFFFF0", kHex, -16}, ParseCase{"80000000", kHex, INT32_MIN},
        ParseCase{"7FFFFFFF", kHex, INT32_MAX}, ParseCase{"000000001", kHex, 1},
        ParseCase{"100000000", kHex, std::nullopt}, ParseCase{"", kHex, std::nullopt},
        ParseCase{"", kDec, std::nullopt}, ParseCase{"0x10", kHex, std::nullopt},
        ParseCase{"G", kHex, std::nullopt}, ParseCase{"-1", kHex, std::nullopt},
        ParseCase{"1 ", kHex, std::nullopt}, ParseCase{" 1", kDec, std::nullopt},
        ParseCase{"-1", kDec, -1}, ParseCase{"+7", kDec, 7}, ParseCase{"-0", kDec, 0},
        ParseCase{"-", kDec, std::nullopt}, ParseCase{"+", kDec, std::nullopt},
        ParseCase{"+-1", kDec, std::nullopt}, ParseCase{"12A", kDec, std::nullopt},
        ParseCase{"2147483647", kDec, INT32_MAX}, ParseCase{"2147483648", kDec, std::nullopt},
        ParseCase{"-2147483648", kDec, INT32_MIN}, ParseCase{"-2147483649", kDec, std::nullopt},
        ParseCase{"99999999999999999999", kDec, std::nullopt},
        ParseCase{"0000000000000000000000012", kDec, 12}));

struct ConvertCase {
  const char* text;
  GotoRadix from, to;
  std::optional<int32_t> value;
  const char* shown;
};
void PrintTo(const ConvertCase& c, std::ostream* os) {
  *os << '"' << c.text << (c.to == kHex ? "\" to hex" : "\" to dec");
}

class ConvertGotoTextTest : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(ConvertGotoTextTest, ShowsTheSameValueInTheOtherRadix) {
  const ConvertCase& c = GetParam();
  const auto converted = ConvertGotoText(c.text, c.from, c.to);
  ASSERT_EQ(converted.has_value(), c.value.has_value());
  if (!converted) return;
  EXPECT_EQ(converted->Value, *c.value);
  EXPECT_EQ(converted->Text, c.shown);
  EXPECT_EQ(ParseGotoText(converted->Text, c.to), c.value);  // and back again
}

INSTANTIATE_TEST_SUITE_P(
    GotoText, ConvertGotoTextTest,
    ::testing::Values(ConvertCase{"FF", kHex, kDec, 255, "255"},
                      ConvertCase{"255", kDec, kHex, 255, "FF"},
                      ConvertCase{"FFFFFFFF", kHex, kDec, -1, "-1"},
                      ConvertCase{"-1", kDec, kHex, -1, "FFFFFFFF"},
                      ConvertCase{"-2147483648", kDec, kHex, INT32_MIN, "80000000"},
                      ConvertCase{"80000000", kHex, kDec, INT32_MIN, "-2147483648"},
                      ConvertCase{"000A", kHex, kDec, 10, "10"},
                      ConvertCase{"0", kDec, kHex, 0, "0"},
                      ConvertCase{"abc", kDec, kHex, std::nullopt, ""},
                      ConvertCase{"", kHex, kDec, std::nullopt, ""}));

}  // namespace
}  // namespace varnock
