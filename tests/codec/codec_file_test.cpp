#include "codec/codec_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "codec/codec_registry.h"
#include "support/test_files.h"

namespace varnock {
namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

constexpr const char* kHeader = "[encoding]\nbits = 2\nbytes = 16\n";  // lines 1-3

// ---- A bad file is refused with the line at fault and why; one case per kind of fault.

struct BadFile {
  const char* Name;
  std::string Text;
  int Line;
  const char* Reason;  // a part of it
};

class BadFileTest : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadFileTest, NamesTheLineAndTheReason) {
  const BadFile& c = GetParam();
  const CodecFileResult result = ParseCodecFile(c.Text, "bad");
  EXPECT_FALSE(result.Ok);
  EXPECT_EQ(result.Line, c.Line) << result.Message();
  EXPECT_NE(result.Reason.find(c.Reason), std::string::npos) << result.Reason;
  EXPECT_EQ(result.Message().rfind("line " + std::to_string(c.Line) + ": ", 0), 0u);
}

const std::string kPlanes = "plane0 = 0, 1, 16\nplane1 = 8, 1, 16\n";  // lines 4-5

INSTANTIATE_TEST_SUITE_P(
    Kinds, BadFileTest,
    ::testing::Values(
        BadFile{"NotAKeyLine", "[encoding]\nbits = 1\njust words\n", 3, "not a [section] heading"},
        BadFile{"OpenSection", "; x\n[encoding\n", 2, "not a [section] heading"},
        BadFile{"SyntaxFirst", "[encoding]\njunk\nbits = x\n", 2, "not a [section] heading"},
        BadFile{"KeyBeforeSection", "bits = 2\n[encoding]\n", 1, "belong in the [encoding]"},
        BadFile{"OtherSection", "[tiles]\nbits = 2\n", 2, "not [tiles]"},
        BadFile{"UnknownKey", std::string(kHeader) + "planes = 3\n", 4, "unknown key 'planes'"},
        BadFile{"TwiceGiven", std::string(kHeader) + "Bits = 2\n", 4,
                "given twice, first on line 2"},
        BadFile{"NotANumber", "[encoding]\nbits = two\n", 2, "whole number, not \"two\""},
        BadFile{"BadOrder", std::string(kHeader) + "order = big\n", 4, "msb or lsb"},
        BadFile{"TwoNumbers", std::string(kHeader) + "plane0 = 0, 1\n", 4, "three whole numbers"},
        BadFile{"EmptyName", std::string(kHeader) + "name =\n", 4, "the name is empty"},
        BadFile{"Continued", "[encoding]\nbits = 2\n  3\n", 3, "continues the value of 'bits'"},
        BadFile{"LongLine", "[encoding]\n; " + std::string(300, 'x') + "\nbits = 1\n", 2,
                "longer than"},
        BadFile{"ZeroByte", std::string("[encoding]\nbits = 1\0\n", 22), 2, "zero byte"},
        BadFile{"PlaneBeyondBits", std::string(kHeader) + kPlanes + "plane2 = 128, 1, 8\n", 6,
                "a pixel has only 2 bits"},
        BadFile{"PlaneMissing", std::string(kHeader) + "plane0 = 0, 1, 16\n", 2, "needs 'plane1'"},
        BadFile{"NoBits", "[encoding]\nbytes = 16\n\n", 3, "no 'bits'"},
        BadFile{"NoBytes", "[encoding]\nbits = 2\n", 2, "no 'bytes'"},
        BadFile{"BitsOutOfRange", "[encoding]\nbytes = 16\nbits = 12\n", 3, "1 to 8, not 12"},
        BadFile{"TooFewBytes", "[encoding]\nbits = 2\nbytes = 8\n" + kPlanes, 3, "at least 16"},
        BadFile{"SharedBits",
                std::string(kHeader) + "plane0 = 0, 1, 16\n; same bits\nplane1 = 0, 1, 16\n", 6,
                "already holds plane 0"}),
    [](const auto& info) { return info.param.Name; });

// ---- What a good file may look like.

TEST(CodecFile, ReadsHexNegativeStepsCommentsCaseAndWindowsLineEnds) {
  const std::string text =
      "\xEF\xBB\xBF; NGPC words\r\n"
      "[Encoding]\r\n"
      "  BITS = 0x2   ; two\r\n"
      "bytes=16\r\n"
      "order = LSB\r\n"
      "plane0 = 14, -2, 0x10\r\n"
      "plane1 = +15,-2,16\r\n";
  const CodecFileResult result = ParseCodecFile(text, "words");
  ASSERT_TRUE(result.Ok) << result.Message();
  EXPECT_EQ(result.DisplayName, "words [2BPP]");
  CodecDescription expected;
  expected.BitsPerPixel = 2;
  expected.TileBytes = 16;
  expected.Order = BitOrder::LsbFirst;
  expected.Planes[0] = {14, -2, 16};
  expected.Planes[1] = {15, -2, 16};
  EXPECT_EQ(result.Description, expected);
  EXPECT_EQ(ParseCodecFile(std::string(kHeader) + kPlanes + "name = Mine\n", "x").DisplayName,
            "Mine");
}

// ---- Files on disk.

TEST(CodecFile, AFolderLoadsEveryDescriptionInNameOrderAndReportsTheBadOnes) {
  test::TempDir dir;
  const std::string good = std::string(kHeader) + kPlanes;
  dir.Write("b-second.VRKCODEC", Bytes(good));
  dir.Write("a-first.vrkcodec", Bytes(good));
  dir.Write("c-bad.vrkcodec", Bytes(std::string(kHeader) + "plane0 = 0, 1, 16\n"));
  dir.Write("notes.txt", Bytes(good));
  dir.Write("nes.vrkcodec", Bytes(good));  // a built-in format's name
  ::mkdir(dir.File("d-folder.vrkcodec").c_str(), 0700);

  const std::vector<CodecLoadResult> loads = LoadCodecFolder(dir.path());
  ASSERT_EQ(loads.size(), 5u);
  EXPECT_EQ(loads[0].Path, dir.File("a-first.vrkcodec"));
  EXPECT_TRUE(loads[0].Format);
  EXPECT_EQ(loads[1].Path, dir.File("b-second.VRKCODEC"));
  ASSERT_TRUE(loads[1].Format);
  EXPECT_STREQ(LookUpTileFormat(*loads[1].Format)->Name, "b-second [2BPP]");
  EXPECT_FALSE(loads[2].Format);
  EXPECT_EQ(loads[2].Message, "line 2: bits = 2 needs 'plane1', which is missing");
  EXPECT_FALSE(loads[3].Format);
  EXPECT_EQ(loads[3].Message, "the file cannot be read");
  EXPECT_FALSE(loads[4].Format);
  EXPECT_NE(loads[4].Message.find("built-in"), std::string::npos);

  // Loaded again after an edit, a file keeps its Tag and the Tag takes the new description.
  dir.Write("a-first.vrkcodec", Bytes(good + "name = Edited\n"));
  const CodecLoadResult again = LoadCodecFile(dir.File("a-first.vrkcodec"));
  EXPECT_EQ(again.Format, loads[0].Format);
  EXPECT_TRUE(again.Replaced);
  EXPECT_STREQ(LookUpTileFormat(*loads[0].Format)->Name, "Edited");
  EXPECT_EQ(DescribedFormatNamed("A-FIRST"), loads[0].Format);
  EXPECT_EQ(LookUpTileFormat(kLastDescribedFormat), nullptr);
  EXPECT_TRUE(LoadCodecFolder(dir.File("missing")).empty());
}

}  // namespace
}  // namespace varnock
