// The short names a user types for formats and arrangements.
#include "document/view_names.h"

#include <gtest/gtest.h>

#include "codec/codec_registry.h"

namespace varnock {
namespace {

TEST(FormatNames, EveryFixedFormatReadsBackAndDescribedOnesFollow) {
  for (int format = 0; format < kFixedTileFormatCount; ++format)
    EXPECT_EQ(ParseFormatName(FormatShortName(format)), format) << format;
  struct Case {
    const char* Text;
    std::optional<TileFormat> Format;
  };
  for (const Case& c : {Case{"NES", 1}, Case{"Genesis", 8}, Case{"snes8", kSnes8Format},
                        Case{"LINEAR8", kLinear8Format}, Case{"gameboy", std::nullopt},
                        Case{"nes ", std::nullopt}, Case{"", std::nullopt}})
    EXPECT_EQ(ParseFormatName(c.Text), c.Format) << c.Text;

  CodecDescription d;
  d.BitsPerPixel = 1;
  d.TileBytes = 8;
  d.Planes[0] = {0, 1, 8};
  const auto mine = RegisterDescribedFormat("Mine", "Mine [1BPP]", d).Format;
  ASSERT_TRUE(mine);
  EXPECT_EQ(ParseFormatName("mine"), mine);
  EXPECT_EQ(FormatShortName(*mine), "Mine");
  EXPECT_EQ(FormatShortName(kLastDescribedFormat), "");
  const std::string list = FormatNameList();
  EXPECT_EQ(list.rfind("1bpp nes gb vb ngpc snes3 snes4 sms genesis gba snes8 linear8 ", 0), 0u);
  EXPECT_NE(list.find(" Mine"), std::string::npos);
}

// ---- Names.

struct NameCase {
  const char* Text;
  std::optional<TileArrangement> Arrangement;
  const char* Name;  // as written back
};

class ArrangementNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ArrangementNameTest, ReadsAndWritesBack) {
  const NameCase& c = GetParam();
  const auto parsed = ParseArrangementName(c.Text);
  EXPECT_EQ(parsed, c.Arrangement);
  if (parsed) {
    EXPECT_EQ(ArrangementName(*parsed), c.Name);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Names, ArrangementNameTest,
    ::testing::Values(
        NameCase{"8x8", kArrangement8x8, "8x8"}, NameCase{"8X16", kArrangement8x16, "8x16"},
        NameCase{"16x16", kArrangement16x16, "16x16"},
        NameCase{"Cols:4X4", TileArrangement{BlockOrder::Columns, 4, 4}, "cols:4x4"},
        NameCase{"rows:3x2", TileArrangement{BlockOrder::Rows, 3, 2}, "rows:3x2"},
        NameCase{"rows:1x2", kArrangement8x16, "8x16"},
        NameCase{"cols:4x1", TileArrangement{BlockOrder::Rows, 4, 1}, "rows:4x1"},
        NameCase{"cols:1x1", kArrangement8x8, "8x8"}, NameCase{"cols:9x1", std::nullopt, ""},
        NameCase{"rows:0x2", std::nullopt, ""}, NameCase{"rows:2", std::nullopt, ""},
        NameCase{"rows:2x", std::nullopt, ""}, NameCase{"rows:+2x2", std::nullopt, ""},
        NameCase{"rows: 2x2", std::nullopt, ""}, NameCase{"8x8 ", std::nullopt, ""},
        NameCase{"", std::nullopt, ""}));

}  // namespace
}  // namespace varnock
