#include "project/project_file.h"

#include <gtest/gtest.h>

#include "project/project_paths.h"
#include "support/test_files.h"

namespace varnock {
namespace {

// ---- A bad file is refused with the line at fault and why.

struct BadProject {
  const char* Name;
  const char* Text;
  int Line;
  const char* Reason;  // a part of it
};

class BadProjectTest : public ::testing::TestWithParam<BadProject> {};

TEST_P(BadProjectTest, NamesTheLineAndTheReason) {
  const BadProject& c = GetParam();
  const ProjectReadResult result = ParseProject(c.Text);
  EXPECT_FALSE(result.Ok);
  EXPECT_EQ(result.Line, c.Line) << result.Message();
  EXPECT_NE(result.Reason.find(c.Reason), std::string::npos) << result.Reason;
  if (c.Line > 0) {
    EXPECT_EQ(result.Message().rfind("line " + std::to_string(c.Line) + ": ", 0), 0u);
  }
}

constexpr const char* kRom = "rom = \"a.gba\"\n[[resource]]\nname = \"x\"\n";  // lines 1-3

INSTANTIATE_TEST_SUITE_P(
    EveryKindOfFault, BadProjectTest,
    ::testing::Values(
        BadProject{"NotToml", "rom = \"a.gba\"\nname = = 3\n", 2, ""},
        BadProject{"NoRom", "[[resource]]\nname = \"x\"\noffset = 1\n", 0, "names no ROM"},
        BadProject{"RomNotText", "rom = 3\n", 1, "rom must be a text"},
        BadProject{"ResourceNotList", "rom = \"a.gba\"\nresource = 3\n", 2, "list of tables"},
        BadProject{"NoOffset", "rom = \"a.gba\"\n[[resource]]\nname = \"x\"\n", 2, "no offset"},
        BadProject{"NegativeOffset", "rom = \"a.gba\"\n[[resource]]\nname = \"x\"\noffset = -1\n",
                   4, "offset must be a whole number from 0 to 2147483647"},
        BadProject{"OffsetTooLarge",
                   "rom = \"a.gba\"\n[[resource]]\nname = \"x\"\noffset = 0x80000000\n", 4,
                   "from 0 to 2147483647"},
        BadProject{"UnknownFormat",
                   "rom = \"a.gba\"\n[[resource]]\nname = \"x\"\noffset = 0\nformat = \"n64\"\n", 5,
                   "unknown format 'n64'; the formats are 1bpp"},
        BadProject{
            "BadArrangement",
            "rom = \"a.gba\"\n[[resource]]\nname = \"x\"\noffset = 0\narrangement = \"9x9\"\n", 5,
            "unknown arrangement '9x9'"},
        BadProject{
            "TilesAndLength",
            "rom = \"a.gba\"\n[[resource]]\nname = \"x\"\noffset = 0\ntiles = 1\nlength = 2\n", 6,
            "exclude each other"},
        BadProject{"ZeroColumns",
                   "rom = \"a.gba\"\n[[resource]]\nname = \"x\"\noffset = 0\ncolumns = 0\n", 5,
                   "columns must be a whole number from 1 to 2048"},
        BadProject{"TwoPalettes",
                   "rom = \"a.gba\"\n[[resource]]\nname = \"x\"\noffset = 0\npalette = \"p.vrk\"\n"
                   "palette-rom = { offset = 0, encoding = \"rgb\", count = 16 }\n",
                   6, "exclude each other"},
        BadProject{"RomPaletteEncoding",
                   "rom = \"a.gba\"\n[[resource]]\nname = \"x\"\noffset = 0\n"
                   "palette-rom = { offset = 0, encoding = \"cmyk\", count = 16 }\n",
                   5, "unknown palette encoding 'cmyk'"},
        BadProject{"RomPaletteCount",
                   "rom = \"a.gba\"\n[[resource]]\nname = \"x\"\noffset = 0\n"
                   "palette-rom = { offset = 0, encoding = \"rgb\", count = 257 }\n",
                   5, "count must be a whole number from 1 to 256"},
        BadProject{
            "UnknownCompression",
            "rom = \"a.gba\"\n[[resource]]\nname = \"x\"\noffset = 0\ncompression = \"zip\"\n", 5,
            "unknown compression 'zip'; the compressions are lz10"},
        BadProject{"RoomWithoutStream",
                   "rom = \"a.gba\"\n[[resource]]\nname = \"x\"\noffset = 0\nroom = 100\n", 5,
                   "room of a compressed stream"},
        BadProject{"FillWithoutStream",
                   "rom = \"a.gba\"\n[[resource]]\nname = \"x\"\noffset = 0\nfill = 0xFF\n", 5,
                   "fill byte of a compressed stream"},
        BadProject{"FillPastAByte",
                   "rom = \"a.gba\"\n[[resource]]\nname = \"x\"\noffset = 0\n"
                   "compression = \"lz10\"\nfill = 256\n",
                   6, "fill must be a whole number from 0 to 255"},
        BadProject{"NameTwice",
                   "rom = \"a.gba\"\n[[resource]]\nname = \"x\"\noffset = 0\n"
                   "[[resource]]\nname = \"x\"\noffset = 8\n",
                   6, "a second resource is named 'x'"},
        BadProject{"EmptyName", "rom = \"a.gba\"\n[[resource]]\nname = \"\"\noffset = 0\n", 3,
                   "name is empty"}),
    [](const auto& info) { return std::string(info.param.Name); });

// ---- What the program does not know survives its rewrite; what it knows is rewritten.

TEST(ProjectRewrite, KeepsUnknownKeysAndTablesWhereTheyWere) {
  const ProjectReadResult read = ParseProject(R"(rom = "game.gba"
author = "me"
[build]
target = "patched.gba"

[[resource]]
name = "font"
offset = 0x100
notes = "the big one"
[resource.source]
file = "font.xcf"
layers = [1, 2]

[[resource]]
name = "title"
offset = 0x2000
compression = "lz10"
)");
  ASSERT_TRUE(read.Ok) << read.Message();
  Project project = read.Read;
  project.Resources[0].Name = "letters";
  project.Resources[0].Offset = 0x180;
  project.Resources.erase(project.Resources.begin() + 1);
  ProjectResource added;
  added.Name = "new";
  added.Offset = 0x40;
  project.Resources.push_back(added);

  const ProjectReadResult again = ParseProject(ProjectText(project));
  ASSERT_TRUE(again.Ok) << again.Message() << "\n" << ProjectText(project);
  const std::string text = ProjectText(again.Read);
  for (const char* kept : {"author = 'me'", "[build]", "target = 'patched.gba'",
                           "notes = 'the big one'", "[resource.source]", "file = 'font.xcf'",
                           "layers = [ 1, 2 ]", "name = 'letters'", "offset = 0x180"})
    EXPECT_NE(text.find(kept), std::string::npos) << kept << " is missing from\n" << text;
  EXPECT_EQ(text.find("title"), std::string::npos) << text;
  ASSERT_EQ(again.Read.Resources.size(), 2u);
  // The user's keys stay with their resource, not with the one now in its place.
  EXPECT_EQ(text.find("notes"), text.rfind("notes"));
  EXPECT_LT(text.find("notes"), text.find("name = 'new'"));
}

TEST(ProjectRewrite, EveryFieldReadsBackAsWritten) {
  Project project;
  project.Rom = "../roms/game.smc";
  ProjectResource a;
  a.Name = "font";
  a.Offset = 0x7FFF0000;
  a.Format = 6;  // SNES 4 bits
  a.Arrangement = TileArrangement{BlockOrder::Columns, 2, 3};
  a.Columns = 2048;
  a.Tiles = 37;
  a.Palette = {ResourcePalette::Source::Rom, "", 0x1234, kRomPaletteGenesis, 16};
  a.SubPalette = 3;
  a.Compression = CompressionFormat::Lz5;
  a.Room = 999;
  a.Fill = 0xFF;
  a.Picture = "gfx/font.png";
  ProjectResource b;
  b.Name = "sprites";
  b.Length = 100;
  b.Palette = {ResourcePalette::Source::File, "pal/x.sta", 0, 0, 0};
  project.Resources = {a, b};

  const ProjectReadResult read = ParseProject(ProjectText(project));
  ASSERT_TRUE(read.Ok) << read.Message();
  ASSERT_EQ(read.Read.Resources.size(), 2u);
  EXPECT_EQ(read.Read.Rom, project.Rom);
  for (size_t i = 0; i < 2; ++i) {
    const ProjectResource& want = project.Resources[i];
    const ProjectResource& got = read.Read.Resources[i];
    EXPECT_EQ(got.Name, want.Name);
    EXPECT_EQ(got.Offset, want.Offset);
    EXPECT_EQ(got.Format, want.Format);
    EXPECT_EQ(got.Arrangement, Canonical(want.Arrangement));
    EXPECT_EQ(got.Columns, want.Columns);
    EXPECT_EQ(got.Tiles, want.Tiles);
    EXPECT_EQ(got.Length, want.Length);
    EXPECT_EQ(got.Palette, want.Palette);
    EXPECT_EQ(got.SubPalette, want.SubPalette);
    EXPECT_EQ(got.Compression, want.Compression);
    EXPECT_EQ(got.Room, want.Room);
    EXPECT_EQ(got.Fill, want.Fill);
    EXPECT_EQ(got.Picture, want.Picture);
  }
}

TEST(ProjectRewrite, AFailedWriteLeavesTheFileWhole) {
  test::TempDir dir;
  Project project;
  project.Rom = "a.gba";
  const std::string path = dir.File("p.vrkproj");
  ASSERT_TRUE(WriteProjectFile(path, project).Ok);
  const std::vector<uint8_t> before = test::ReadFile(path);
  project.Resources.resize(2000);
  for (size_t i = 0; i < project.Resources.size(); ++i)
    project.Resources[i].Name = "resource" + std::to_string(i);
  {
    test::FullDisk full(before.size() + 100);
    EXPECT_FALSE(WriteProjectFile(path, project).Ok);
  }
  EXPECT_EQ(test::ReadFile(path), before);
  const ProjectReadResult read = ReadProjectFile(path);
  ASSERT_TRUE(read.Ok) << read.Message();
  EXPECT_EQ(read.Read.Rom, "a.gba");
}

// ---- Paths are the project folder's; names as given, bytes and all.

TEST(ProjectPaths, RelativeNamesAreTheProjectFoldersAndAbsoluteOnesStay) {
  struct Case {
    const char* Project;
    const char* Written;
    const char* Read;
  };
  for (const Case& c : {Case{"p.vrkproj", "game.gba", "game.gba"},
                        Case{"work/p.vrkproj", "game.gba", "work/game.gba"},
                        Case{"work/p.vrkproj", "../roms/game.gba", "roms/game.gba"},
                        Case{"/a/b/p.vrkproj", "gfx/\xff.png", "/a/b/gfx/\xff.png"},
                        Case{"work/p.vrkproj", "/abs/game.gba", "/abs/game.gba"}})
    EXPECT_EQ(ProjectFilePath(c.Project, c.Written), c.Read) << c.Project << " " << c.Written;
  for (const Case& c : {Case{"/a/b/p.vrkproj", "/a/b/game.gba", "game.gba"},
                        Case{"/a/b/p.vrkproj", "/a/roms/game.gba", "../roms/game.gba"},
                        Case{"/a/b/p.vrkproj", "/a/b/gfx/./x.png", "gfx/x.png"}})
    EXPECT_EQ(PathInProject(c.Project, c.Written), c.Read) << c.Project << " " << c.Written;
  ProjectResource font;
  font.Name = "font";
  EXPECT_EQ(ResourcePicturePath("work/p.vrkproj", font), "work/font.png");
}

}  // namespace
}  // namespace varnock
