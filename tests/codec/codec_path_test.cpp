#include "codec/codec_path.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "codec/tile_codec.h"

namespace varnock {
namespace {

// Runs the body with `path` active and puts the previous path back afterwards.
template <typename Body>
void With(CodecPath path, Body&& body) {
  const CodecPath before = ActiveCodecPath();
  ASSERT_TRUE(SelectCodecPath(path)) << CodecPathName(path);
  body();
  SelectCodecPath(before);
}

struct Request {
  int Format, TileBytes, Skip, Column, Row, Across, Down;
};

// A random request around a random surface: origins off either edge, odd skips (negative too),
// more tiles than the surface holds, and now and then a tile step other than the format's.
struct RandomCase {
  int TilesAcross, TilesDown;
  Request Ask;
  size_t Length;  // bytes of the source or destination span

  RandomCase(std::mt19937& random, int format) {
    auto pick = [&](int low, int high) {
      return std::uniform_int_distribution<int>(low, high)(random);
    };
    const bool wide = pick(0, 3) == 0;
    TilesAcross = wide ? pick(16, 40) : pick(1, 12);
    TilesDown = pick(1, 5);
    const int bytes = TileFormatInfo(format).TileBytes;
    Ask.Format = format;
    Ask.TileBytes = pick(0, 7) == 0 ? pick(-bytes, 2 * bytes) : bytes;
    Ask.Skip = pick(0, 2) == 0 ? pick(-3, 9) : 0;
    Ask.Column = pick(0, 2) == 0 ? pick(-3, TilesAcross) : 0;
    Ask.Row = pick(0, 3) == 0 ? pick(-2, TilesDown) : 0;
    Ask.Across = pick(0, TilesAcross + 3);
    Ask.Down = pick(0, TilesDown + 2);
    // Enough for the whole request, or cut anywhere (a page at the end of an image).
    const size_t whole = static_cast<size_t>(std::max(1, (Ask.Across + std::max(Ask.Skip, 0)))) *
                         std::max(1, Ask.Down) * bytes;
    Length = pick(0, 2) == 0 ? static_cast<size_t>(pick(0, static_cast<int>(whole))) : whole;
  }

  TileSurface Surface(std::mt19937& random) const {
    TileSurface s;
    s.TilesAcross = TilesAcross;
    s.TilesDown = TilesDown;
    RebuildSurface(s);
    for (auto& p : s.Pixels) p = static_cast<uint8_t>(random());
    s.DecodeFormat = s.EncodeFormat = static_cast<TileFormat>(Ask.Format);
    s.DecodeTileBytes = s.EncodeTileBytes = Ask.TileBytes;
    s.DecodeSkip = s.EncodeSkip = Ask.Skip;
    s.DecodeColumn = s.EncodeColumn = Ask.Column;
    s.DecodeRow = s.EncodeRow = Ask.Row;
    s.DecodeAcross = s.EncodeAcross = Ask.Across;
    s.DecodeDown = s.EncodeDown = Ask.Down;
    return s;
  }
};

std::string Describe(const RandomCase& c, uint32_t seed) {
  std::ostringstream text;
  text << "seed " << seed << ": surface " << c.TilesAcross << "x" << c.TilesDown << ", request "
       << c.Ask.Across << "x" << c.Ask.Down << " at (" << c.Ask.Column << "," << c.Ask.Row
       << ") skip " << c.Ask.Skip << " step " << c.Ask.TileBytes << ", span " << c.Length;
  return text.str();
}

class VectorPathTest : public ::testing::TestWithParam<std::tuple<CodecPath, int>> {
 protected:
  void SetUp() override {
    if (!CodecPathAvailable(Path()))
      GTEST_SKIP() << "the " << CodecPathName(Path())
                   << " path is not available on this processor or build";
  }
  CodecPath Path() const { return std::get<0>(GetParam()); }
  int Format() const { return std::get<1>(GetParam()); }
};

TEST_P(VectorPathTest, DecodesLikeTheTablePath) {
  for (uint32_t seed = 0; seed < 400; ++seed) {
    std::mt19937 random(seed * 10 + Format());
    const RandomCase c(random, Format());
    std::vector<uint8_t> source(c.Length);
    for (auto& b : source) b = static_cast<uint8_t>(random());
    TileSurface expected = c.Surface(random);
    TileSurface actual = expected;
    With(CodecPath::Table, [&] { DecodeTiles(source, expected); });
    With(Path(), [&] { DecodeTiles(source, actual); });
    ASSERT_EQ(actual.Pixels, expected.Pixels) << Describe(c, seed);
  }
}

TEST_P(VectorPathTest, EncodesLikeTheTablePath) {
  for (uint32_t seed = 0; seed < 400; ++seed) {
    std::mt19937 random(seed * 10 + Format());
    const RandomCase c(random, Format());
    std::vector<uint8_t> expected(c.Length);
    for (auto& b : expected) b = static_cast<uint8_t>(random());
    std::vector<uint8_t> actual = expected;
    const TileSurface surface = c.Surface(random);
    With(CodecPath::Table, [&] { EncodeTiles(surface, expected); });
    With(Path(), [&] { EncodeTiles(surface, actual); });
    ASSERT_EQ(actual, expected) << Describe(c, seed);
  }
}

INSTANTIATE_TEST_SUITE_P(AllFormats, VectorPathTest,
                         ::testing::Combine(::testing::Values(CodecPath::Avx2, CodecPath::Gfni),
                                            ::testing::Range(0, kTileFormatCount)),
                         [](const auto& info) {
                           return std::string(CodecPathName(std::get<0>(info.param))) + "_format" +
                                  std::to_string(std::get<1>(info.param));
                         });

INSTANTIATE_TEST_SUITE_P(EightBitFormats, VectorPathTest,
                         ::testing::Combine(::testing::Values(CodecPath::Avx2, CodecPath::Gfni),
                                            ::testing::Range(kTileFormatCount,
                                                             kFixedTileFormatCount)),
                         [](const auto& info) {
                           return std::string(CodecPathName(std::get<0>(info.param))) + "_format" +
                                  std::to_string(std::get<1>(info.param));
                         });

// ---- Choosing a path.

TEST(CodecPath, NamesParseBackAndNothingElseDoes) {
  for (CodecPath path : kCodecPaths) EXPECT_EQ(ParseCodecPath(CodecPathName(path)), path);
  for (const char* name : {"", "GFNI", "avx", "sse2", "table "})
    EXPECT_FALSE(ParseCodecPath(name).has_value()) << name;
}

TEST(CodecPath, AnUnavailablePathIsRefusedAndTheActiveOneStays) {
  EXPECT_TRUE(CodecPathAvailable(CodecPath::Table));
  const CodecPath before = ActiveCodecPath();
  for (CodecPath path : kCodecPaths) {
    EXPECT_EQ(SelectCodecPath(path), CodecPathAvailable(path)) << CodecPathName(path);
    EXPECT_EQ(ActiveCodecPath(), CodecPathAvailable(path) ? path : CodecPath::Table);
    SelectCodecPath(CodecPath::Table);
  }
  SelectCodecPath(before);
  // The fallback never goes above what was asked for and never lands on a missing path.
  for (CodecPath path : kCodecPaths) {
    const CodecPath best = BestCodecPathUpTo(path);
    EXPECT_LE(static_cast<int>(best), static_cast<int>(path));
    EXPECT_TRUE(CodecPathAvailable(best));
    if (CodecPathAvailable(path)) {
      EXPECT_EQ(best, path);
    }
  }
}

// Run on its own (the first codec call of the process), the start-up choice is what
// VARNOCK_CODEC asks for, or the best the processor has. The next test runs it that way.
TEST(CodecPathStartUp, FollowsTheEnvironment) {
  const char* wanted = std::getenv("VARNOCK_CODEC");
  const auto asked = wanted ? ParseCodecPath(wanted) : std::nullopt;
  EXPECT_EQ(ActiveCodecPath(), BestCodecPathUpTo(asked.value_or(CodecPath::Gfni)));
}

struct EnvironmentCase {
  const char* Value;
  bool Known;
};

class CodecPathEnvironmentTest : public ::testing::TestWithParam<EnvironmentCase> {};

TEST_P(CodecPathEnvironmentTest, ForcesThePathAndWarnsOnceWhenItCannot) {
  const EnvironmentCase& c = GetParam();
  char self[4096] = {};
  ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
  const std::string errors = ::testing::TempDir() + "codec_path_stderr_" + c.Value;
  const std::string command = std::string("VARNOCK_CODEC='") + c.Value + "' '" + self +
                              "' --gtest_filter=CodecPathStartUp.* >/dev/null 2>'" + errors + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  std::ifstream in(errors);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) lines.push_back(line);
  const auto asked = ParseCodecPath(c.Value);
  EXPECT_EQ(asked.has_value(), c.Known);
  const bool warns = !asked || !CodecPathAvailable(*asked);
  ASSERT_EQ(lines.size(), warns ? 1u : 0u);
  if (warns) {
    EXPECT_EQ(lines[0].rfind(std::string("varnock: VARNOCK_CODEC=") + c.Value, 0), 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(Values, CodecPathEnvironmentTest,
                         ::testing::Values(EnvironmentCase{"table", true},
                                           EnvironmentCase{"avx2", true},
                                           EnvironmentCase{"gfni", true},
                                           EnvironmentCase{"fastest", false}),
                         [](const auto& info) { return std::string(info.param.Value); });

}  // namespace
}  // namespace varnock
