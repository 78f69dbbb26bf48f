// What the palette editor's channel boxes mean for their bars.
#include "palette/channel_text.h"

#include <gtest/gtest.h>

namespace varnock {
namespace {

struct ChannelCase {
  const char* text;
  std::optional<int32_t> value;
  const char* rewrite;
};
void PrintTo(const ChannelCase& c, std::ostream* os) {
  *os << '"' << c.text << '"';
}

class ChannelTextTest : public ::testing::TestWithParam<ChannelCase> {};

TEST_P(ChannelTextTest, GivesTheBarPositionAndTheTextToShow) {
  const ChannelCase& c = GetParam();
  const std::optional<ChannelEntry> entry = ChannelFromBoxText(c.text);
  ASSERT_EQ(entry.has_value(), c.value.has_value());
  if (!entry) return;
  EXPECT_EQ(entry->Value, *c.value);
  EXPECT_EQ(entry->Rewrite, c.rewrite);
}

INSTANTIATE_TEST_SUITE_P(
    ChannelText, ChannelTextTest,
    ::testing::Values(ChannelCase{"", 0, "0"}, ChannelCase{"0", 0, ""}, ChannelCase{"7", 7, ""},
                      ChannelCase{"007", 7, ""}, ChannelCase{"255", 255, ""},
                      ChannelCase{"256", 255, "255"}, ChannelCase{"300", 255, "255"},
                      ChannelCase{"2147483647", 255, "255"}, ChannelCase{"-5", 0, ""},
                      ChannelCase{"+9", 9, ""}, ChannelCase{"+-9", std::nullopt, ""},
                      ChannelCase{"+", std::nullopt, ""}, ChannelCase{"-", std::nullopt, ""},
                      ChannelCase{"abc", std::nullopt, ""}, ChannelCase{"1.5", std::nullopt, ""},
                      ChannelCase{" 5", std::nullopt, ""}, ChannelCase{"5 ", std::nullopt, ""},
                      ChannelCase{"0x1F", std::nullopt, ""},
                      ChannelCase{"99999999999", std::nullopt, ""}));

}  // namespace
}  // namespace varnock
