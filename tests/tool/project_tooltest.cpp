// extract, build and project add on the compressed sample's project: the pictures go out and
// come back as the windows would write them, all or nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>

#include "document/stream_link.h"
#include "document/stream_move.h"
#include "document/tile_block.h"
#include "io/file_io.h"
#include "pictures/picture_file.h"
#include "project/project_file.h"
#include "support/test_files.h"
#include "support/tool_run.h"

namespace varnock {
namespace {

using test::ReadFile;
using test::RunTool;
using test::TempDir;
using test::ToolRun;

constexpr int64_t kFont = 0x2C0;   // raw, 36 tiles in 12 columns
constexpr int64_t kCard = 0x2100;  // the LZ77 10 stream of the card
constexpr TileFormat kGbaFormat = 9;

// The sample's ROM and project in a scratch folder; the project's path.
std::string CopySample(const TempDir& dir) {
  dir.Write("sample-compressed.gba", ReadFile(VARNOCK_SAMPLES_DIR "/sample-compressed.gba"));
  return dir.Write("sample.vrkproj", ReadFile(VARNOCK_SAMPLES_DIR "/sample-compressed.vrkproj"));
}

TileSurface ReadPicture(const std::string& path) {
  TileSurface picture;
  const PictureReadResult read = ReadPictureFile(path, picture);
  EXPECT_TRUE(read.Ok && read.Indexed) << path << ": " << read.Reason.toStdString();
  return picture;
}

void WritePicture(const std::string& path, const TileSurface& picture) {
  const std::vector<uint8_t> file =
      EncodePictureFile(path, picture, {0, 0, picture.Width(), picture.Height()}, 16);
  ASSERT_FALSE(file.empty());
  ASSERT_TRUE(WriteFileSafely(path, file).Ok);
}

// One pixel of the picture at `path` takes the next index.
TileSurface ChangeOnePixel(const std::string& path, int x, int y) {
  TileSurface picture = ReadPicture(path);
  uint8_t& pixel = picture.Pixels[static_cast<size_t>(y * picture.Width() + x)];
  pixel = static_cast<uint8_t>((pixel + 1) % 16);
  WritePicture(path, picture);
  return picture;
}

TEST(ToolProject, BuildWritesTheChangedPicturesAsTheWindowsWould) {
  TempDir dir;
  const std::string project = CopySample(dir);
  const ToolRun extracted = RunTool(dir, {"extract", project});
  ASSERT_EQ(extracted.status, 0) << extracted.err;
  for (const char* name : {"swatches", "font", "card"})
    EXPECT_FALSE(ReadFile(dir.File(std::string("gfx/") + name + ".png")).empty()) << name;
  const TileSurface font = ChangeOnePixel(dir.File("gfx/font.png"), 13, 2);
  const TileSurface card = ChangeOnePixel(dir.File("gfx/card.png"), 25, 12);

  const ToolRun built = RunTool(dir, {"build", project, "-o", dir.File("out.gba")});
  ASSERT_EQ(built.status, 0) << built.err;
  EXPECT_NE(built.out.find("font: "), std::string::npos) << built.out;
  EXPECT_NE(built.out.find("card: "), std::string::npos) << built.out;
  EXPECT_EQ(built.out.find("swatches"), std::string::npos) << built.out;

  // The windows: the font's tiles encoded into the ROM window's image, the card edited in its
  // stream window and saved back into the source, then the ROM window's save.
  RomDocument rom;
  ASSERT_EQ(rom.LoadRom(dir.File("sample-compressed.gba")), kLoadLoaded);
  EncodeTileBlock(rom, kFont, kGbaFormat, kArrangement8x8, font);
  OpenedStream opened = OpenStreamAt(rom.BytesFrom(0), kCard, CompressionFormat::Lz10);
  ASSERT_TRUE(opened.ok());
  RomDocument stream;
  stream.LoadStream(opened.Bytes, opened.Link, rom.RomPath);
  EncodeTileBlock(stream, 0, kGbaFormat, kArrangement8x8, card);
  const StreamSavePlan plan = PlanStreamSave(opened.Link, rom.BytesFrom(0), stream.BytesFrom(0));
  ASSERT_EQ(plan.Verdict, StreamSaveVerdict::Write);
  rom.WriteBytes(kCard, plan.Bytes);
  ASSERT_TRUE(rom.SaveRom(dir.File("want.gba")).Ok);
  const std::vector<uint8_t> want = ReadFile(dir.File("want.gba"));
  EXPECT_EQ(ReadFile(dir.File("out.gba")), want);
  EXPECT_NE(want, ReadFile(dir.File("sample-compressed.gba")));

  // Built again over the result, nothing is left to write.
  ASSERT_EQ(RunTool(dir, {"build", project}).status, 0);
  const ToolRun again = RunTool(dir, {"build", project});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.out, "nothing changed\n");
  EXPECT_EQ(ReadFile(dir.File("sample-compressed.gba")), want);
}

TEST(ToolProject, ABuildWithOneFailureWritesNothingAndNamesEveryFailure) {
  TempDir dir;
  const std::string project = CopySample(dir);
  ASSERT_EQ(RunTool(dir, {"extract", project}).status, 0);
  const std::string romPath = dir.File("sample-compressed.gba");
  const std::vector<uint8_t> before = ReadFile(romPath);
  const FileIdentity identity = IdentifyFile(romPath);
  ChangeOnePixel(dir.File("gfx/font.png"), 0, 0);
  // Noise does not compress into the card's 1958 bytes.
  TileSurface card = ReadPicture(dir.File("gfx/card.png"));
  const std::vector<uint8_t> noise = test::PatternBytes(card.Pixels.size(), 5);
  for (size_t i = 0; i < card.Pixels.size(); ++i) card.Pixels[i] = noise[i] % 16;
  WritePicture(dir.File("gfx/card.png"), card);
  // And one picture that is missing.
  std::remove(dir.File("gfx/swatches.png").c_str());

  const ToolRun run = RunTool(dir, {"build", project});
  EXPECT_EQ(run.status, 1);
  const std::vector<std::string> lines = test::Lines(run.err);
  ASSERT_EQ(lines.size(), 3u) << run.err;
  EXPECT_NE(lines[0].find(": swatches: '"), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find(": card: The graphics take "), std::string::npos) << lines[1];
  EXPECT_NE(lines[1].find("only 1958 are free at 0x2100"), std::string::npos) << lines[1];
  EXPECT_NE(lines[2].find("2 of 3 resource(s) failed; nothing was written."), std::string::npos);
  EXPECT_EQ(ReadFile(romPath), before);
  EXPECT_EQ(IdentifyFile(romPath), identity);
}

// Noise in the card's picture does not compress into its room: it moves only with --move, into
// free space, the rest of the image kept, the project following a move in its own ROM.
TEST(ToolProject, AStreamThatNoLongerFitsMovesOnlyWithMove) {
  constexpr size_t kPointer = 0x8000;  // with free space: a pointer to the card, then 0xFF
  const struct {
    bool freeSpace;
    std::vector<std::string> options;
    int status;
    const char* says;
    bool repointed, projectMoved;
  } cases[] = {
      {true, {}, 1, "card: The graphics take ", false, false},
      {false, {"--move"}, 1, "card: No run of free bytes", false, false},
      {true, {"--move"}, 0, "(--repoint changes it)", false, true},
      {true, {"--move", "--repoint"}, 0, "it now points at the new one", true, true},
      {true, {"--move", "-o", "out.gba"}, 0, "its old place at 0x2100 is as it was", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.says);
    TempDir dir;
    const std::string project = CopySample(dir);
    std::vector<uint8_t> rom = ReadFile(dir.File("sample-compressed.gba"));
    if (c.freeSpace) {
      rom.resize(kPointer + 0x4000, 0xFF);
      std::ranges::copy(GbaPointerBytes(kCard), rom.begin() + kPointer);
    }
    const std::string romPath = dir.Write("sample-compressed.gba", rom);
    ASSERT_EQ(RunTool(dir, {"extract", project}).status, 0);
    TileSurface card = ReadPicture(dir.File("gfx/card.png"));
    const std::vector<uint8_t> noise = test::PatternBytes(card.Pixels.size(), 5);
    for (size_t i = 0; i < card.Pixels.size(); ++i) card.Pixels[i] = noise[i] % 16;
    WritePicture(dir.File("gfx/card.png"), card);
    const std::vector<uint8_t> projectBefore = ReadFile(project);

    std::vector<std::string> arguments = {"build", project};
    for (const std::string& option : c.options)
      arguments.push_back(option == "out.gba" ? dir.File(option) : option);
    const ToolRun run = RunTool(dir, arguments);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE((run.out + run.err).find(c.says), std::string::npos) << run.out << run.err;
    const std::vector<uint8_t> after =
        ReadFile(c.options.size() == 3 ? dir.File("out.gba") : romPath);
    if (c.status != 0) {
      EXPECT_EQ(ReadFile(romPath), rom);
      EXPECT_EQ(ReadFile(project), projectBefore);
      continue;
    }
    // Everything between the header (which a save rewrites) and the free space as it was, the
    // old place too; the stream where the project (or the output) says.
    ASSERT_EQ(after.size(), rom.size());
    EXPECT_TRUE(std::equal(rom.begin() + 0xC0, rom.begin() + kPointer, after.begin() + 0xC0));
    const ProjectReadResult read = ReadProjectFile(project);
    ASSERT_TRUE(read.Ok) << read.Message();
    const ProjectResource& moved = *read.Read.Find("card");
    EXPECT_EQ(moved.Offset != kCard, c.projectMoved) << std::hex << moved.Offset;
    if (!c.projectMoved) continue;
    EXPECT_GT(moved.Room.value_or(0), 1958) << "the room it takes now";
    EXPECT_TRUE(std::ranges::equal(std::span(after).subspan(kPointer, 4),
                                   GbaPointerBytes(c.repointed ? moved.Offset : kCard)));
    ASSERT_EQ(RunTool(dir, {"extract", project, "--only", "card"}).status, 0);
    EXPECT_EQ(ReadPicture(dir.File("gfx/card.png")).Pixels, card.Pixels);
    EXPECT_EQ(RunTool(dir, {"build", project}).out, "nothing changed\n");
  }
}

TEST(ToolProject, ABuildKeepsOffTheHeaderFieldsTheSaveRewrites) {
  TempDir dir;
  const std::string romPath =
      dir.Write("game.gba", ReadFile(VARNOCK_SAMPLES_DIR "/sample-compressed.gba"));
  const std::string project = dir.File("p.vrkproj");
  ASSERT_EQ(RunTool(dir, {"project", "add", project, "head", "--rom", romPath, "--offset", "0xA0",
                          "--tiles", "2"})
                .status,
            0);
  ASSERT_EQ(RunTool(dir, {"extract", project}).status, 0);
  const std::vector<uint8_t> before = ReadFile(romPath);
  struct Case {
    int X, Y;  // the pixel of the first tile (bytes 0xA0..0xBF) that changes
    std::vector<std::string> Options;
    int Status;
    const char* Says;
  };
  for (const Case& c :
       {Case{2, 7, {}, 1, "head: The import writes 0xBD..0xBD, over the GBA header complement"},
        Case{0, 0, {}, 0, "head: 1 bytes at 0xA0"},
        Case{2, 7, {"--no-checksum"}, 0, "head: 1 bytes at 0xBD"}}) {
    ASSERT_TRUE(WriteFileSafely(romPath, before).Ok);
    ASSERT_EQ(RunTool(dir, {"extract", project}).status, 0);
    ChangeOnePixel(dir.File("head.png"), c.X, c.Y);
    std::vector<std::string> arguments = {"build", project, "-o", dir.File("out.gba")};
    arguments.insert(arguments.end(), c.Options.begin(), c.Options.end());
    std::remove(dir.File("out.gba").c_str());
    const ToolRun run = RunTool(dir, arguments);
    EXPECT_EQ(run.status, c.Status) << run.err;
    EXPECT_NE((run.out + run.err).find(c.Says), std::string::npos) << run.out << run.err;
    EXPECT_EQ(ReadFile(dir.File("out.gba")).empty(), c.Status != 0);
  }
}

TEST(ToolProject, ExtractRefusesEveryBadResourceBeforeWritingAnyPicture) {
  TempDir dir;
  dir.Write("rom.gba", test::PatternBytes(0x1000, 2));
  const std::string project = dir.Write("p.vrkproj", [] {
    const std::string text =
        "rom = 'rom.gba'\n"
        "[[resource]]\nname = 'good'\noffset = 0x100\ntiles = 4\n"
        "[[resource]]\nname = 'past'\noffset = 0x1000\n"
        "[[resource]]\nname = 'nostream'\noffset = 0x200\ncompression = 'lz10'\n";
    return std::vector<uint8_t>(text.begin(), text.end());
  }());
  const ToolRun run = RunTool(dir, {"extract", project});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(": past: The offset 0x1000 lies past the end of the image (4096 bytes)."),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find(": nostream: No LZ77 10 stream starts at 0x200"), std::string::npos);
  EXPECT_TRUE(ReadFile(dir.File("good.png")).empty());
  // Only the good one asked for: it is written.
  EXPECT_EQ(RunTool(dir, {"extract", project, "--only", "good"}).status, 0);
  const TileSurface good = ReadPicture(dir.File("good.png"));
  EXPECT_EQ(good.Width(), 32);
  EXPECT_EQ(good.Height(), 8);
  EXPECT_EQ(RunTool(dir, {"extract", project, "--only", "none"}).err,
            "varnock-tool: " + project + ": There is no resource named 'none'.\n");
}

TEST(ToolProject, ProjectAddWritesAResourceExtractCanShow) {
  TempDir dir;
  dir.Write("game.gba", ReadFile(VARNOCK_SAMPLES_DIR "/sample-compressed.gba"));
  const std::string project = dir.File("work/game.vrkproj");
  ASSERT_EQ(mkdir(dir.File("work").c_str(), 0755), 0);
  const ToolRun first =
      RunTool(dir, {"project", "add", project, "card", "--rom", dir.File("game.gba"), "--offset",
                    "0x2100", "--compressed", "lz10", "--room", "2000", "--columns", "8", "--png",
                    dir.File("work/gfx/c.png")});
  ASSERT_EQ(first.status, 0) << first.err;
  ASSERT_EQ(RunTool(dir, {"project", "add", project, "font", "--offset", "0x2C0", "--tiles", "36",
                          "--palette-rom", "0xC0:bgr15:16"})
                .status,
            0);
  // Without --room, the room the stream takes now is written down.
  const ToolRun card2 =
      RunTool(dir, {"project", "add", project, "card2", "--offset=0x2100", "--compressed=lz10"});
  ASSERT_EQ(card2.status, 0) << card2.err;
  const ProjectReadResult read = ReadProjectFile(project);
  ASSERT_TRUE(read.Ok) << read.Message();
  EXPECT_EQ(read.Read.Rom, "../game.gba");
  ASSERT_EQ(read.Read.Resources.size(), 3u);
  EXPECT_EQ(read.Read.Resources[2].Room, 1958);
  const ProjectResource& card = read.Read.Resources[0];
  EXPECT_EQ(card.Compression, CompressionFormat::Lz10);
  EXPECT_EQ(card.Room, 2000);
  EXPECT_EQ(card.Picture, "gfx/c.png");
  EXPECT_EQ(read.Read.Resources[1].Palette.From, ResourcePalette::Source::Rom);
  ASSERT_EQ(RunTool(dir, {"extract", project}).status, 0);
  EXPECT_EQ(ReadPicture(dir.File("work/gfx/c.png")).Width(), 64);
  EXPECT_EQ(ReadPicture(dir.File("work/font.png")).Height(), 24);

  // Refusals leave the file as it was.
  const std::vector<uint8_t> before = ReadFile(project);
  struct Refusal {
    std::vector<std::string> Arguments;
    int Status;
    const char* Says;
  };
  for (const Refusal& r :
       {Refusal{{"font", "--offset", "0"}, 1, "A resource named 'font' is in the project already."},
        Refusal{{"late", "--offset", "0x8000"}, 1, "late: The offset 0x8000 lies past the end"},
        Refusal{{"room", "--offset", "0x2100", "--compressed", "lz10", "--room", "100"},
                1,
                "a room of 100 bytes cannot hold it"},
        Refusal{{"x", "--offset", "0", "--room", "10"}, 2, "give --compressed too"},
        Refusal{{"x", "--offset", "0", "--rom", "a.gba"}, 2, "this one has its ROM"},
        Refusal{{"x"}, 2, "--offset O says where the tiles are"}}) {
    std::vector<std::string> arguments = {"project", "add", project};
    arguments.insert(arguments.end(), r.Arguments.begin(), r.Arguments.end());
    const ToolRun run = RunTool(dir, arguments);
    EXPECT_EQ(run.status, r.Status) << r.Says;
    EXPECT_NE(run.err.find(r.Says), std::string::npos) << run.err;
  }
  EXPECT_EQ(ReadFile(project), before);
}

}  // namespace
}  // namespace varnock
